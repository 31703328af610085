// CGraArrow: a straight line with a head at each end ("Flèche"), object
// kind 15. Between its two points it is the line (CGraLine): the same edit
// fields, chosen handle, selection marks, transforms, nine properties and
// stroke definitions. Each end has its own head definition (kinds 40 start
// and 41 end, CArrowDef): 66 none, 67 triangle, 68 round, 69 architect's
// tick.
//
// Handles: 0 the start, 1 the end; 2, 3, 4 the wing, notch and shaft end of
// the start head, 5, 6, 7 those of the end head. Moving a head handle
// changes the arrow's own head definition, not the line.
//
// Heads are filled in the stroke colour; outline drawing (flags 8 or 16)
// strokes them instead. Boxes and hits take the shaft and each head part
// by itself.
//
// Stored record (after the object's): begin, Int edit mode, Int editing,
// mark, pen, brush, pulsar, colour, mark, start head, end head, mark, Real
// start x, start y, end x, end y, mark, the box as 4 Reals, end.
#ifndef LUMBRA_APP_GRAARROW_H
#define LUMBRA_APP_GRAARROW_H

#include "app/arrowdef.h"
#include "app/graline.h"
#include "app/graobject.h"
#include "app/grapaint.h"
#include "app/pulsardef.h"

ZU_HANDLE(CGraArrow, CGraObject)

class CGraArrow : public CGraObject {
    ZU_CLASS(CGraArrow, CGraObject)
public:
    enum { HANDLES = 8 };

    // The four points of one head: the shaft end A, the notch B and the
    // wings C and D.
    struct Head {
        DPoint a;
        DPoint b;
        DPoint c;
        DPoint d;
    };

    CGraArrow();
    ~CGraArrow() override;
    void Delete() override;

    void CopyFrom(const CGraObjectRef& other) override;
    bool GetTypeName(ZuStringRef& out) const override;
    // Variant 0: 25, variant 1: 35, others -1.
    int GetIconId(int variant) const override;

    // ---- Handles and geometry
    int GetHandleCount() const override;
    int GetHandleType(int n) const override;
    DPoint GetHandlePosition(int n) const override;
    void SetHandlePosition(int n, const DPoint& p) override;
    void MoveHandle(int n, const DPoint& p) override;
    void SelectHandle(int n) override;
    bool IsHandleSelected(int n) const override;
    bool SaveGeometry(const ChangeRecord& change) override;
    bool Transform(const ChangeRecord& change, int flags) override;
    bool AcceptsChange(const ChangeRecord& change) override;
    bool SetPoints(const DPoint* points, int n) override;
    void PlacePoint(const DPoint& p, int flags) override;

    // ---- Properties: the line's
    void GetPropertyLayout(int a, int b, int c, int d, int* out) const override;
    bool GetPropertyValue(int n, double& out) const override;
    bool SetPropertyValue(int n, double value) override;
    bool GetPropertyHandles(int n, DPoint& a, DPoint& b, int& kind) const override;

    // ---- Debugging, definitions, editing
    bool GetDebugText(ZuStringRef& out) const override;
    void GetDefinitionKinds(int* out) const override;
    int GetEditMode() const override;
    bool SetEditMode(int mode) override;
    int IsEditing() const override;
    bool SetEditing(int editing) override;
    bool GetDefinition(int kind, ZuObjectRef& out) const override;
    bool SetDefinition(int kind, const ZuObjectRef& def) override;
    bool PruneDefinitions() override;
    bool GetMissingDefinitions(int* kinds, int* count) const override;

    // ---- Hit tests and drawing
    bool HitTest(CGraPortRef& port, const DPoint& p, double zoom, int flags) override;
    bool Draw(CGraPortRef& port, int flags) override;
    bool DrawShadow(CGraPortRef& port, int flags) override;
    bool UpdateBoundingBox(CGraPortRef& port) override;

    // As the line's.
    virtual void ConstrainPoint(int flags, int which, DPoint& p) const;

    // The head at the start (atEnd false) or at the end.
    Head ComputeHead(bool atEnd) const;
    // The shaft and both heads; triangles and circles filled when fill is
    // set, else stroked.
    void DrawParts(CGraPortRef& port, bool fill);

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // The pen, brush, pulsar and stroke colour.
    GraPaint Paint() const;
    LineEnds Ends() const;
    // One head's part on the port (no collection mode of its own).
    void AppendHead(CGraPortRef& port, bool atEnd, const Head& head) const;
    int HeadKind(bool atEnd) const;
    // Handles 2 to 4 (or 5 to 7) move the head's parameters.
    void MoveHeadHandle(bool atEnd, int which, const DPoint& p);

    int edit_mode = 0;
    int editing = 1;
    CPenDefRef pen;
    CPatternDefRef brush;
    CPulsarDefRef pulsar;
    CColorDefRef stroke_colour;
    CArrowDefRef start_head;
    CArrowDefRef end_head;
    DPoint start{0.0, 0.0};
    DPoint end{0.0, 0.0};
    int chosen = -1;
    DPoint saved_start{0.0, 0.0};
    DPoint saved_end{0.0, 0.0};
    double saved_width = 0.0;
    bool start_selected = false;
    bool end_selected = false;
};
ZU_CLASS_END(CGraArrow)

#endif
