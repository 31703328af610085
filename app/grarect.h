// CGraRect: the rectangle ("Rectangle"), object kind 11, possibly inclined,
// its four corners cut or rounded alike.
//
// A rectangle is its first corner P, the opposite corner Q in the
// rectangle's own axes and the inclination a (radians, as RotatePoint
// turns) about P. Width w = Q.x - P.x and height h = Q.y - P.y are signed.
// The corners on the page, numbered as the handles 0 to 3:
//   c0 = P, c1 = (P.x, Q.y), c2 = Q, c3 = (Q.x, P.y), the last three turned
//   by a about P.
// One optional corner definition (attribute kind 30) gives the kind and
// inset of all four corners; none means sharp corners.
//
// Definitions by attribute kind: 10 pen, 11 stroke brush, 12 stroke
// pulsar, 15 stroke colour, 20 fill, 21 fill brush, 22 fill pulsar, 25 fill
// colour, 30 corner; the shadow's are the base's.
//
// Stored record (after the object's): begin, Int edit mode, Int editing,
// mark, the pen, stroke brush, stroke pulsar, stroke colour, mark, the fill,
// fill brush, fill pulsar, fill colour, mark, the corner (objects, empty
// ones as such), mark, Real P.x, P.y, Q.x, Q.y, a, mark, the box as 4
// Reals, end. The saved geometry and the corner marks are not stored.
#ifndef LUMBRA_APP_GRARECT_H
#define LUMBRA_APP_GRARECT_H

#include "app/cornerdef.h"
#include "app/graobject.h"
#include "app/grapaint.h"
#include "app/pulsardef.h"

ZU_HANDLE(CGraRect, CGraObject)

class CGraRect : public CGraObject {
    ZU_CLASS(CGraRect, CGraObject)
public:
    enum { HANDLES = 9, PROPERTIES = 10, LAYOUT_WORDS = 15 };

    CGraRect();
    ~CGraRect() override;
    void Delete() override;

    void CopyFrom(const CGraObjectRef& other) override;
    bool GetTypeName(ZuStringRef& out) const override;
    // Variant 0: 21, variant 1: 31, others -1.
    int GetIconId(int variant) const override;

    // ---- Handles: 0 to 3 the corners, 4 to 7 the middles of the sides
    // c0-c1, c1-c2, c2-c3, c3-c0, 8 the inset along c0-c3.
    int GetHandleCount() const override;
    int GetHandleType(int n) const override;
    DPoint GetHandlePosition(int n) const override;
    // The point opposite the handle stays where it is on the page; the
    // side handles move across their side only.
    void SetHandlePosition(int n, const DPoint& p) override;
    void SelectHandle(int n) override;
    bool IsHandleSelected(int n) const override;
    bool SaveGeometry(const ChangeRecord& change) override;
    // A rotation turns the rectangle as a whole; any other change moves P
    // and the opposite corner on the page and keeps the saved inclination.
    bool Transform(const ChangeRecord& change, int flags) override;
    bool AcceptsChange(const ChangeRecord& change) override;
    // P = points[0], Q = points[1] (points[0] again when n is 1).
    bool SetPoints(const DPoint* points, int n) override;
    // Q at p, constrained by the flags.
    void PlacePoint(const DPoint& p, int flags) override;

    // ---- Properties
    void GetPropertyLayout(int a, int b, int c, int d, int* out) const override;
    bool GetPropertyValue(int n, double& out) const override;
    bool SetPropertyValue(int n, double value) override;
    bool GetPropertyHandles(int n, DPoint& a, DPoint& b, int& kind) const override;

    // ---- Debugging, definitions, editing
    bool GetDebugText(ZuStringRef& out) const override;
    void GetDefinitionKinds(int* out) const override;
    int GetEditMode() const override;
    // Also clears the corner marks.
    bool SetEditMode(int mode) override;
    int IsEditing() const override;
    bool SetEditing(int editing) override;
    bool GetDefinition(int kind, ZuObjectRef& out) const override;
    // False for a definition of another class than the kind's.
    bool SetDefinition(int kind, const ZuObjectRef& def) override;
    // A plain pen needs no brush or pulsar, a fill other than "Spécial"
    // neither, and a sharp corner is no corner.
    bool PruneDefinitions() override;
    bool GetMissingDefinitions(int* kinds, int* count) const override;

    // ---- Hit tests and drawing
    bool HitTest(CGraPortRef& port, const DPoint& p, double zoom, int fillAllowed) override;
    bool Draw(CGraPortRef& port, int flags) override;
    bool DrawShadow(CGraPortRef& port, int flags) override;
    bool UpdateBoundingBox(CGraPortRef& port) override;

    // With flags bit 2 and i a corner, the point is put on the diagonal
    // through the corner opposite i (a square on the pointer's side).
    virtual void ConstrainPoint(int flags, int i, DPoint& point) const;

    // Corner i (0 to 3) on the page.
    DPoint GetCorner(int i) const;
    // Where the cut of corner i starts (towards the previous corner) and
    // ends (towards the next); the corner itself without an inset.
    DPoint GetCornerStart(int i) const;
    DPoint GetCornerEnd(int i) const;
    // The closed outline, corner by corner, from c0.
    void BuildOutline(CGraPortRef& port);

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // Whether the corners are cut: a corner that is not sharp, with an
    // inset.
    bool HasCutCorners() const;
    double Inset() const;
    // The stroke and fill definitions.
    GraPaint Paint() const;

    int edit_mode = 0;
    int editing = 1;
    CPenDefRef pen;
    CPatternDefRef stroke_brush;
    CPulsarDefRef stroke_pulsar;
    CColorDefRef stroke_colour;
    CMotifDefRef fill;
    CPatternDefRef fill_brush;
    CPulsarDefRef fill_pulsar;
    CColorDefRef fill_colour;
    CCornerDefRef corner;
    DPoint p{0.0, 0.0};
    DPoint q{0.0, 0.0};
    double angle = 0.0;
    DPoint saved_p{0.0, 0.0};
    DPoint saved_q{0.0, 0.0};
    double saved_angle = 0.0;
    double saved_inset = 0.0;
    double saved_width = 0.0;
    bool selected[4] = {false, false, false, false};
};
ZU_CLASS_END(CGraRect)

#endif
