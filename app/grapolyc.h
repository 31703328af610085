// CGraPolyCurve: the chain of cubic Bézier segments ("Courbes de Bézier"),
// object kind 12, through at most 100 vertices. Each vertex has its
// principal point P, on which the curve passes, an incoming control point
// S1 and an outgoing one S2; segment i runs from P of vertex i through S2
// of i and S1 of i + 1 to P of i + 1, and a closed chain (its close
// definition) has a closing segment from the last vertex back to vertex 0.
// A control point on its principal point is collapsed (no tangent there).
//
// Handles: three per vertex, handle n is S1 (n % 3 = 0), P (1) or S2 (2)
// of vertex n / 3. The node mode of a vertex ties its control points: 1
// symmetric, 2 smooth (the tangent stays straight, each side keeps its
// length), 3 angular (free).
//
// Definitions: those of PolyPaint (app/polypaint.h) and the shadow's.
//
// Stored record (after the object's): begin, Int edit mode, Int editing,
// mark, the paint's definitions (pen, stroke brush, stroke pulsar, stroke
// colour, close, mark, fill, fill brush, fill pulsar, fill colour), Int
// count, repeat, per vertex {begin, Real S1.x S1.y P.x P.y S2.x S2.y, Int
// node mode, Int end mark, end}, end_repeat, mark, the box as 4 Reals,
// end. The chosen vertex, saved copy and selection are not stored. A count
// outside 0 .. 100 is refused with the stream error.
#ifndef LUMBRA_APP_GRAPOLYC_H
#define LUMBRA_APP_GRAPOLYC_H

#include "app/graobject.h"
#include "app/polychain.h"
#include "app/polypaint.h"

struct CurveVertex {
    DPoint s1;
    DPoint p;
    DPoint s2;
    short mode;
    // 1 on the last vertex appended while drawing.
    short end;
};

ZU_HANDLE(CGraPolyCurve, CGraObject)

class CGraPolyCurve : public CGraObject {
    ZU_CLASS(CGraPolyCurve, CGraObject)
public:
    enum { MAX_VERTICES = 100, MAX_HANDLES = 300, PROPERTIES = 9 };
    enum { MODE_SYMMETRIC = 1, MODE_SMOOTH = 2, MODE_ANGULAR = 3 };
    // Palette commands (icon numbers).
    enum {
        CMD_ADD = 100,
        CMD_REMOVE = 101,
        CMD_SYMMETRIC = 102,
        CMD_SMOOTH = 103,
        CMD_ANGULAR = 104,
        CMD_STRAIGHT = 105,
        CMD_CURVE = 106
    };

    CGraPolyCurve();
    ~CGraPolyCurve() override;
    void Delete() override;

    void CopyFrom(const CGraObjectRef& other) override;
    bool GetTypeName(ZuStringRef& out) const override;
    // Variant 0: 22, variant 1: 32, others -1.
    int GetIconId(int variant) const override;

    // ---- Handles and geometry
    int GetHandleCount() const override;
    int GetHandleType(int n) const override;
    DPoint GetHandlePosition(int n) const override;
    void SetHandlePosition(int n, const DPoint& p) override;
    // MoveHandleLinked, then the handle's vertex is the chosen one.
    void MoveHandle(int n, const DPoint& p) override;
    void SelectHandle(int n) override;
    bool IsHandleSelected(int n) const override;
    bool SaveGeometry(const ChangeRecord& change) override;
    // From the saved vertices; selected points stay. A scale (kind 2) with
    // flags bit 2 and no handle selected scales the pen by the mean factor.
    bool Transform(const ChangeRecord& change, int flags) override;
    bool AcceptsChange(const ChangeRecord& change) override;
    // Appends a vertex at points[0]; false, nothing changed, at 100.
    bool SetPoints(const DPoint* points, int n) override;
    // S2 of the last vertex at p, S1 mirrored; nothing without a vertex.
    void PlacePoint(const DPoint& p, int flags) override;
    // PlacePoint; whether another vertex fits.
    bool DragPoint(const DPoint& p, int flags) override;
    bool CanRemovePoint() const override;
    void RemoveLastPoint() override;

    // ---- Properties
    // a: the handle (-1 none), b: the segment (-1 none).
    void GetPropertyLayout(int a, int b, int c, int d, int* out) const override;
    // handle and segment as in the layout. Commands on a segment or handle
    // out of range, "Ajouter point" at 100 vertices and "Supprimer point"
    // below 3 change nothing.
    void EditPoints(int handle, int segment, const DPoint& p, int command) override;
    bool GetPropertyRange(int n, double& min, double& max) const override;
    bool GetPropertyValue(int n, double& out) const override;
    bool SetPropertyValue(int n, double value) override;
    bool GetPropertyHandles(int n, DPoint& a, DPoint& b, int& kind) const override;

    // ---- Debugging, definitions, editing
    bool GetDebugText(ZuStringRef& out) const override;
    void GetDefinitionKinds(int* out) const override;
    int GetEditMode() const override;
    // Also clears the selection and the chosen vertex.
    bool SetEditMode(int mode) override;
    int IsEditing() const override;
    bool SetEditing(int editing) override;
    bool GetDefinition(int kind, ZuObjectRef& out) const override;
    bool SetDefinition(int kind, const ZuObjectRef& def) override;
    bool PruneDefinitions() override;
    bool GetMissingDefinitions(int* kinds, int* count) const override;

    // ---- Hit tests and drawing
    bool HitTest(CGraPortRef& port, const DPoint& p, double zoom, int fill) override;
    // The segment hit (count - 1 the closing one), -1 none.
    int HitTestSegment(CGraPortRef& port, const DPoint& p, double zoom, int flags) override;
    bool Draw(CGraPortRef& port, int flags) override;
    bool DrawShadow(CGraPortRef& port, int flags) override;
    bool UpdateBoundingBox(CGraPortRef& port) override;

    // The chain has no drawing constraint.
    virtual void ConstrainPoint(int flags, int n, DPoint& p) const;

    // ---- The chain's own
    int GetCount() const { return count; }
    const CurveVertex& GetVertex(int i) const { return vertices[i]; }
    int GetChosen() const { return chosen; }
    // The mean of the principal points; the zero point without vertices.
    DPoint GetCentroid() const;
    void Offset(double dx, double dy);
    int NextIndex(int i) const;
    int PrevIndex(int i) const;
    // Moves handle n; a control point drags its counterpart by the node
    // mode, a principal point both control points.
    void MoveHandleLinked(int n, const DPoint& p);
    // Where the opposite control point goes when moved has moved.
    static DPoint CounterpartPoint(int mode, const DPoint& p, const DPoint& other,
                                   const DPoint& moved);
    // Splits the curve from the previous to the next vertex at the point
    // nearest to vertex i, which becomes a smooth vertex on it.
    void FitVertexToCurve(int i);
    // The chain's curves on the port.
    void AppendPath(CGraPortRef& port) const;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    bool IsHandle(int n) const { return n >= 0 && n < 3 * count; }
    VertexChain<CurveVertex> Chain() const;
    bool IsSegment(int s) const;
    DPoint& HandlePoint(int n);
    const DPoint& HandlePoint(int n) const;

    int edit_mode = 0;
    int editing = 1;
    PolyPaint paint;
    int count = 0;
    CurveVertex vertices[MAX_VERTICES] = {};
    int chosen = -1;
    CurveVertex saved[MAX_VERTICES] = {};
    double saved_width = 0.0;
    unsigned char selected[MAX_HANDLES] = {};
};
ZU_CLASS_END(CGraPolyCurve)

#endif
