// CGraPolyLine: the free polygon ("Polygone quelconque"), object kind 13: a
// polyline through at most 100 vertices, open or closed by its close
// definition, whose vertices may each have a corner of their own (rounded,
// bevelled ... by a CCornerDef).
//
// A vertex has a corner when the vertex corners array is set, its entry is
// set and the entry's value is not 110 "Pointu". Its entry point then lies
// the corner's length from the vertex towards the previous vertex, its exit
// point as far towards the next one (both wrap around, also when open);
// without a corner both are the vertex itself.
//
// Handles: three per vertex, handle n is the entry point (n % 3 = 0), the
// vertex (1) or the exit point (2) of vertex n / 3. Dragging an entry or
// exit point gives the vertex a corner whose length is the drag's distance
// from the vertex.
//
// The polygon's own corner (kind 30) is what the attribute panes show and
// set with no vertex chosen; setting it gives every vertex a copy of it
// (none for "Pointu"). With a vertex chosen, kind 30 is that vertex's.
//
// Stored record (after the object's): begin, Int edit mode, Int editing,
// mark, the paint's definitions (app/polypaint.h), mark, the corner and the
// vertex corners array (objects), Int count, repeat, per vertex {begin,
// Real x, y, Int end mark, end}, end_repeat, mark, the box as 4 Reals, end.
// A count outside 0 .. 100 is refused with the stream error, and so is, when
// the restored graph is woken (Awake), a vertex corners array that is not
// 100 places each empty or a corner; until then such places count as none.
#ifndef LUMBRA_APP_GRAPOLYL_H
#define LUMBRA_APP_GRAPOLYL_H

#include "app/cornerdef.h"
#include "app/graobject.h"
#include "app/polychain.h"
#include "app/polypaint.h"
#include "si/array.h"

struct PolyVertex {
    DPoint p;
    // 1 on the last vertex appended while drawing.
    short end;
};

ZU_HANDLE(CGraPolyLine, CGraObject)

class CGraPolyLine : public CGraObject {
    ZU_CLASS(CGraPolyLine, CGraObject)
public:
    enum { MAX_VERTICES = 100, MAX_HANDLES = 300, PROPERTIES = 10, CORNER_KIND = 30 };
    enum { CMD_ADD = 100, CMD_REMOVE = 101 };

    CGraPolyLine();
    ~CGraPolyLine() override;
    void Delete() override;

    void CopyFrom(const CGraObjectRef& other) override;
    bool GetTypeName(ZuStringRef& out) const override;
    // Variant 0: 23, variant 1: 33, others -1.
    int GetIconId(int variant) const override;

    // ---- Handles and geometry
    int GetHandleCount() const override;
    int GetHandleType(int n) const override;
    DPoint GetHandlePosition(int n) const override;
    // Sets a vertex; nothing for the corner handles.
    void SetHandlePosition(int n, const DPoint& p) override;
    void MoveHandle(int n, const DPoint& p) override;
    void SelectHandle(int n) override;
    bool IsHandleSelected(int n) const override;
    bool SaveGeometry(const ChangeRecord& change) override;
    // From the saved vertices; selected vertices stay. A scale (kind 2)
    // with flags bit 2 and no handle selected scales the pen by the mean
    // factor, as the curve chain does.
    bool Transform(const ChangeRecord& change, int flags) override;
    bool AcceptsChange(const ChangeRecord& change) override;
    // The first press makes two vertices (the second follows the drag),
    // later ones append one; false, nothing changed, at 100.
    bool SetPoints(const DPoint* points, int n) override;
    // The last vertex at p, constrained by the flags; nothing without one.
    void PlacePoint(const DPoint& p, int flags) override;
    // PlacePoint; a click without a drag leaves a single vertex. Whether
    // another vertex fits.
    bool DragPoint(const DPoint& p, int flags) override;
    bool CanRemovePoint() const override;
    void RemoveLastPoint() override;

    // ---- Properties
    // a: the handle (-1 none), b: the segment (-1 none).
    void GetPropertyLayout(int a, int b, int c, int d, int* out) const override;
    // Commands on a segment or handle out of range, "Ajouter point" at 100
    // vertices and "Supprimer point" below 3 change nothing.
    void EditPoints(int handle, int segment, const DPoint& p, int command) override;
    bool GetPropertyRange(int n, double& min, double& max) const override;
    bool GetPropertyOption(int n, int& out) const override;
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
    bool HitTest(CGraPortRef& port, const DPoint& p, double zoom, int fill) override;
    // The straight edge hit (count - 1 the closing one), -1 none.
    int HitTestSegment(CGraPortRef& port, const DPoint& p, double zoom, int flags) override;
    bool Draw(CGraPortRef& port, int flags) override;
    bool DrawShadow(CGraPortRef& port, int flags) override;
    bool UpdateBoundingBox(CGraPortRef& port) override;

    // With flags bit 2, p goes onto the horizontal or the vertical of the
    // vertex before vertex n: horizontal when |dy| <= |dx|.
    virtual void ConstrainPoint(int flags, int n, DPoint& p) const;

    // ---- The polygon's own
    int GetCount() const { return count; }
    const PolyVertex& GetVertex(int i) const { return vertices[i]; }
    int GetChosen() const { return chosen; }
    DPoint GetCentroid() const;
    void Offset(const DPoint& d);
    int NextIndex(int i) const;
    int PrevIndex(int i) const;
    // The corner of vertex i, empty when it has none (or a sharp one).
    CCornerDefRef GetVertexCorner(int i) const;
    DPoint GetCornerEntry(int i) const;
    DPoint GetCornerExit(int i) const;
    // Every vertex gets a copy of the corner, or none for an empty or
    // sharp corner.
    void RebuildCorners(const CCornerDefRef& corner);
    void MoveHandleLinked(int n, const DPoint& p);
    // The outline with its corners on the port.
    void AppendPath(CGraPortRef& port) const;

    // After a read (the storage's FinallyAwake): vertex corners that are
    // not empty or 100 places of corners are refused with ZuExcStream.
    void Awake() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    bool IsHandle(int n) const { return n >= 0 && n < 3 * count; }
    VertexChain<PolyVertex> Chain() const;
    bool IsVertex(int i) const { return i >= 0 && i < count; }
    bool IsSegment(int s) const;
    // Entry i of the vertex corners; empty past the array's end or for an
    // object that is no corner.
    CCornerDefRef CornerAt(int i) const;
    // Empty, or 100 places each empty or a corner.
    bool CornersWellFormed() const;
    // The array of 100 places, made when there is none (or, from a restored
    // array of another shape, with the corners it held).
    void EnsureCorners();

    int edit_mode = 0;
    int editing = 1;
    PolyPaint paint;
    CCornerDefRef corner;
    int count = 0;
    PolyVertex vertices[MAX_VERTICES] = {};
    CCornerDefArray corners;
    int chosen = -1;
    PolyVertex saved[MAX_VERTICES] = {};
    double saved_width = 0.0;
    unsigned char selected[MAX_HANDLES] = {};
};
ZU_CLASS_END(CGraPolyLine)

#endif
