// CGraPolyReg: the regular polygon or regular star ("Polygone régulier"),
// object kind 14.
//
// It is its centre, its first outer vertex (the distance between the two
// is the radius R, the direction the inclination) and a shape definition
// (CPolyRegDef: n sides, the star flag, the indentation t). Its outline has
// 2n angular positions k, half a side apart (step 2 pi / 2n): the outer
// point k is the vertex turned by k steps about the centre, the inner point
// k lies on the same ray at R (1 - t). A polygon joins the outer points of
// even k; a star alternates them with the inner points of odd k. Whatever a
// definition holds, the sides are taken within 3 .. 50 and the indentation
// within 0 .. 1.
//
// Definitions by attribute kind: 10 pen, 11 stroke brush, 12 stroke
// pulsar, 15 stroke colour, 20 fill, 21 fill brush, 22 fill pulsar, 25 fill
// colour, 50 shape, 30 outer corners, 31 inner corners (of a star); the
// shadow's are the base's.
//
// Stored record (after the object's): begin, Int edit mode, Int editing,
// mark, the pen, stroke brush, stroke pulsar, stroke colour, mark, the fill,
// fill brush, fill pulsar, fill colour, mark, the shape, outer corner,
// inner corner (objects, empty ones as such), mark, Real centre x, centre
// y, vertex x, vertex y, mark, the box as 4 Reals, mark, Real spare, end. A
// record that ends before the spare leaves it 0.0. The saved geometry and
// the marks are not stored.
#ifndef LUMBRA_APP_GRAPOLYR_H
#define LUMBRA_APP_GRAPOLYR_H

#include "app/cornerdef.h"
#include "app/graobject.h"
#include "app/grapaint.h"
#include "app/polyrdef.h"
#include "app/pulsardef.h"

ZU_HANDLE(CGraPolyReg, CGraObject)

class CGraPolyReg : public CGraObject {
    ZU_CLASS(CGraPolyReg, CGraObject)
public:
    enum { HANDLES = 5, PROPERTIES = 8, LAYOUT_WORDS = 15 };

    CGraPolyReg();
    ~CGraPolyReg() override;
    void Delete() override;

    void CopyFrom(const CGraObjectRef& other) override;
    bool GetTypeName(ZuStringRef& out) const override;
    // Variant 0: 24, variant 1: 34, others -1.
    int GetIconId(int variant) const override;

    // ---- Handles: 0 the centre, 1 the vertex, 2 the indentation (the
    // first inner point), 3 the end of the first outer corner's cut, 4 the
    // start of the first inner corner's cut. After any move the insets are
    // kept within their limits.
    int GetHandleCount() const override;
    int GetHandleType(int n) const override;
    DPoint GetHandlePosition(int n) const override;
    void SetHandlePosition(int n, const DPoint& p) override;
    void SelectHandle(int n) override;
    bool IsHandleSelected(int n) const override;
    bool SaveGeometry(const ChangeRecord& change) override;
    // Only the centre and the vertex move (a marked one stays): the polygon
    // stays regular.
    bool Transform(const ChangeRecord& change, int flags) override;
    bool AcceptsChange(const ChangeRecord& change) override;
    // Centre = points[0], vertex = points[1] (points[0] again when n is 1).
    bool SetPoints(const DPoint* points, int n) override;
    // The vertex at p, constrained by the flags.
    void PlacePoint(const DPoint& p, int flags) override;

    // ---- Properties
    void GetPropertyLayout(int a, int b, int c, int d, int* out) const override;
    // A polygon that is not a star hides rows 5 and 7 (flag 4).
    bool GetPropertyFlags(int n, int& out) const override;
    bool GetPropertyValue(int n, double& out) const override;
    // False, the centre and vertex unchanged, when they would coincide or
    // leave the page, or for a value that is no number.
    bool SetPropertyValue(int n, double value) override;
    bool GetPropertyHandles(int n, DPoint& a, DPoint& b, int& kind) const override;

    // ---- Debugging, definitions, editing
    bool GetDebugText(ZuStringRef& out) const override;
    void GetDefinitionKinds(int* out) const override;
    int GetEditMode() const override;
    // Also clears the marks.
    bool SetEditMode(int mode) override;
    int IsEditing() const override;
    bool SetEditing(int editing) override;
    bool GetDefinition(int kind, ZuObjectRef& out) const override;
    // False for a definition of another class than the kind's.
    bool SetDefinition(int kind, const ZuObjectRef& def) override;
    bool PruneDefinitions() override;
    bool GetMissingDefinitions(int* kinds, int* count) const override;

    // ---- Hit tests and drawing
    bool HitTest(CGraPortRef& port, const DPoint& p, double zoom, int fillAllowed) override;
    // 0 on a hit (the outline is one part), else -1.
    int HitTestSegment(CGraPortRef& port, const DPoint& p, double zoom, int fillAllowed) override;
    bool Draw(CGraPortRef& port, int flags) override;
    bool DrawShadow(CGraPortRef& port, int flags) override;
    bool UpdateBoundingBox(CGraPortRef& port) override;

    // With flags bit 2, the point is put level with the vertex (which 0)
    // or the centre, or straight above or below it: level when
    // |dy| <= |dx|.
    virtual void ConstrainPoint(int flags, int which, DPoint& point) const;

    // ---- Geometry (k counts half sides from the vertex, 0 .. 2n - 1)
    int GetSides() const;
    bool IsStar() const;
    double GetIndentation() const;
    DPoint GetOuterPoint(int k) const;
    DPoint GetInnerPoint(int k) const;
    int NextIndex(int k) const;
    int PrevIndex(int k) const;
    // Where the cut of a corner starts and ends; the corner itself when
    // it is sharp or has no inset.
    DPoint GetOuterCornerStart(int k) const;
    DPoint GetOuterCornerEnd(int k) const;
    DPoint GetInnerCornerStart(int i) const;
    DPoint GetInnerCornerEnd(int i) const;
    // The closed outline, corner by corner, from the vertex.
    void BuildOutline(CGraPortRef& port);

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    static double InsetOf(const CCornerDefRef& corner);
    static int KindOf(const CCornerDefRef& corner);
    // The neighbour towards which the first outer corner is cut.
    DPoint FirstNeighbour() const;
    // Cuts the insets back to what the outline can hold.
    void LimitInsets();
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
    CPolyRegDefRef shape;
    CCornerDefRef outer;
    CCornerDefRef inner;
    DPoint centre{0.0, 0.0};
    DPoint vertex{0.0, 0.0};
    double spare = 0.0;
    DPoint saved_centre{0.0, 0.0};
    DPoint saved_vertex{0.0, 0.0};
    double saved_outer = 0.0;
    double saved_inner = 0.0;
    double saved_width = 0.0;
    bool selected[2] = {false, false};
};
ZU_CLASS_END(CGraPolyReg)

#endif
