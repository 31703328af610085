// CGraLine: the straight line between two points ("Droite"), object kind 10.
//
// The line sets the scheme the other drawing objects follow:
// - two edit fields (the edit mode given by SetEditMode, and the editing
//   flag, set at creation; handles are selected only while it is set);
// - the stroke definitions by attribute kind: 10 pen, 11 stroke brush, 12
//   stroke pulsar, 15 stroke colour (a new pen and colour at creation, no
//   brush or pulsar); SetDefinition clones what it is given;
// - a chosen handle (the one being moved, -1 none) and selection marks;
// - SaveGeometry keeps the points and the pen width, Transform starts from
//   them again each time (a selected end stays put; a scale of kind 2 with
//   flags bit 2 scales the pen by (|fx| + |fy|) / 2);
// - nine properties in user coordinates, addressing the chosen point C and
//   the other point R;
// - drawing flags: 1 hands the pen (brush and pulsar too) to the port, 2 the
//   colour; the shadow only with 4 and neither 8 nor 16;
// - the box of the stroked path from the interpreter, widened by the
//   shadow; hits only inside that box, asked of the interpreter.
//
// Stored record (after the object's): begin, Int edit mode, Int editing,
// mark, the pen, brush, pulsar and colour (objects, empty ones as such),
// mark, Real start x, start y, end x, end y, mark, the box as 4 Reals, end.
// The chosen handle, saved geometry and marks are not stored.
#ifndef LUMBRA_APP_GRALINE_H
#define LUMBRA_APP_GRALINE_H

#include "app/graobject.h"
#include "app/grapaint.h"
#include "app/graprops.h"
#include "app/pulsardef.h"

// LineEnds: the two ends of the line, the arrow and the line of text, with
// what editing them needs: the ends' selection marks (set only while the
// object's editing flag is), the copy of the ends that Transform starts
// from and, for the line and the arrow, the chosen end. The objects keep
// the fields (their records and subclasses name them); LineEnds points at
// them, as GraPaint does at the definitions.
struct LineEnds {
    DPoint* start;
    DPoint* end;
    DPoint* saved_start;
    DPoint* saved_end;
    bool* start_selected;
    bool* end_selected;
    // None for the line of text.
    int* chosen = nullptr;

    // Handle 0 the start, 1 the end; the zero point for any other.
    DPoint Get(int n) const;
    // Nothing for a handle other than 0 and 1.
    void Set(int n, const DPoint& p) const;
    // Set, and the end moved becomes the chosen one.
    void Move(int n, const DPoint& p) const;
    void Select(int editing, int n) const;
    bool IsSelected(int editing, int n) const;
    // No end selected and none chosen.
    void ClearMarks() const;
    void Save() const;
    // Each end not selected goes from its saved place through the change;
    // whether neither is selected (the object moved as a whole).
    bool Transform(const ChangeRecord& change) const;
    // The ends, their saved copy, their marks and the chosen end.
    void CopyFrom(const LineEnds& other) const;
};

ZU_HANDLE(CGraLine, CGraObject)

class CGraLine : public CGraObject {
    ZU_CLASS(CGraLine, CGraObject)
public:
    enum { PROPERTIES = 9, LAYOUT_WORDS = 15 };

    CGraLine();
    ~CGraLine() override;
    void Delete() override;

    void CopyFrom(const CGraObjectRef& other) override;
    bool GetTypeName(ZuStringRef& out) const override;
    // Variant 0: 20, variant 1: 30, others -1.
    int GetIconId(int variant) const override;

    // ---- Handles: 0 the start, 1 the end
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
    // Both ends at points[0].
    bool SetPoints(const DPoint* points, int n) override;
    // The end at p, constrained by the flags.
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
    // Also clears the selection marks and the chosen handle.
    bool SetEditMode(int mode) override;
    int IsEditing() const override;
    bool SetEditing(int editing) override;
    bool GetDefinition(int kind, ZuObjectRef& out) const override;
    bool SetDefinition(int kind, const ZuObjectRef& def) override;
    // A plain pen (40) needs no brush or pulsar.
    bool PruneDefinitions() override;
    bool GetMissingDefinitions(int* kinds, int* count) const override;

    // ---- Hit tests and drawing
    bool HitTest(CGraPortRef& port, const DPoint& p, double zoom, int flags) override;
    bool Draw(CGraPortRef& port, int flags) override;
    bool DrawShadow(CGraPortRef& port, int flags) override;
    bool UpdateBoundingBox(CGraPortRef& port) override;

    // With flags bit 2, p is made horizontal or vertical from the start
    // (which non-zero) or the end: horizontal when |dy| <= |dx|.
    virtual void ConstrainPoint(int flags, int which, DPoint& p) const;

    // ---- The line's geometry and its nine properties, shared with the
    // arrow, which is a line with heads. chosen is the chosen handle.
    static void ConstrainLinePoint(const DPoint& start, const DPoint& end, int flags, int which,
                                   DPoint& p);
    static const GraPropertyTable& LineProperties();
    static bool LinePropertyValue(const DPoint& start, const DPoint& end, int chosen, int n,
                                  double& out);
    // False, nothing changed, when the result would be two equal points or
    // a point off the page, or when 3 to 8 are set with no chosen point.
    static bool SetLineProperty(DPoint& start, DPoint& end, int& chosen, int n, double value);
    static bool LinePropertyHandles(const DPoint& start, const DPoint& end, int chosen, int n,
                                    DPoint& a, DPoint& b, int& kind);
    static void LineDebugText(const DPoint& start, const DPoint& end, ZuStringRef& out);

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    // The pen, brush, pulsar and stroke colour.
    GraPaint Paint() const;
    LineEnds Ends() const;

    int edit_mode = 0;
    int editing = 1;
    CPenDefRef pen;
    CPatternDefRef brush;
    CPulsarDefRef pulsar;
    CColorDefRef stroke_colour;
    DPoint start{0.0, 0.0};
    DPoint end{0.0, 0.0};
    int chosen = -1;
    DPoint saved_start{0.0, 0.0};
    DPoint saved_end{0.0, 0.0};
    double saved_width = 0.0;
    bool start_selected = false;
    bool end_selected = false;
};
ZU_CLASS_END(CGraLine)

#endif
