// CGraGroup: a group of drawing objects ("Groupe"). The group holds no
// members itself: its members are the drawing objects of the children of
// its own tree node, walked afresh in child order by every operation
// (children whose object is not a drawing object are skipped; without a
// tree node there are no members).
//
// The group draws a frame around its rectangle (dashed red in edit mode 0,
// plain black otherwise) and then its members, forwards every geometric
// edit and every definition to them, keeps its rectangle on the union of
// their boxes, and answers a definition only when all members that hold
// one agree. Handles 0 to 3 sit at (x1, y1), (x2, y2), (x1, y2), (x2, y1).
//
// Draw and DrawShadow with flags bit 0x20 (NO_MEMBERS) leave the members
// alone, for a caller that draws each member itself. A printed or exported
// page draws a group through its members only: the frame is a mark of the
// screen.
//
// Stored record (after the object's): begin, the tree node (object), mark,
// Int edit mode, Int editing, mark, Real x1, y1, x2, y2, mark, the box as
// 4 Reals, end. The frame pen and colour and the handle marks are not
// stored: a restored group has fresh ones.
#ifndef LUMBRA_APP_GRAGROUP_H
#define LUMBRA_APP_GRAGROUP_H

#include <vector>

#include "app/graobject.h"

ZU_HANDLE(CGraGroup, CGraObject)

class CGraGroup : public CGraObject {
    ZU_CLASS(CGraGroup, CGraObject)
public:
    enum { HANDLES = 4, PROPERTIES = 2, NO_MEMBERS = 0x20 };

    CGraGroup();
    ~CGraGroup() override;
    // The frame definitions go; the members stay in the tree.
    void Delete() override;

    // The fields, fresh clones of the other's frame definitions, then a copy
    // of each member under a new node linked below this group's node (which
    // must be set). The shadow definitions are not copied: a group has none
    // of its own.
    void CopyFrom(const CGraObjectRef& other) override;
    bool GetTypeName(ZuStringRef& out) const override;

    // ---- Handles: the four corners of the rectangle
    int GetHandleCount() const override;
    int GetHandleType(int n) const override;
    DPoint GetHandlePosition(int n) const override;
    void SetHandlePosition(int n, const DPoint& p) override;
    void SelectHandle(int n) override;
    bool IsHandleSelected(int n) const override;
    // Geometric edits go to the members; the rectangle follows at the next
    // UpdateBoundingBox.
    bool SaveGeometry(const ChangeRecord& change) override;
    bool Transform(const ChangeRecord& change, int flags) override;
    bool AcceptsChange(const ChangeRecord& change) override;
    bool SetPoints(const DPoint* points, int n) override;
    void PlacePoint(const DPoint& p, int flags) override;

    // ---- Properties: the centre's X and Y in user coordinates
    int GetPropertyCount() const override;
    bool GetPropertyFlags(int n, int& out) const override;
    bool GetPropertyUnit(int n, int& out) const override;
    bool GetPropertyName(int n, ZuStringRef& out) const override;
    bool GetPropertyDescription(int n, ZuStringRef& out) const override;
    bool GetPropertyRange(int n, double& min, double& max) const override;
    bool GetPropertyStep(int n, double& out) const override;
    bool GetPropertyValue(int n, double& out) const override;
    // Moves the members so that the centre gets the value.
    bool SetPropertyValue(int n, double value) override;
    bool GetPropertyHandles(int n, DPoint& a, DPoint& b, int& kind) const override;

    // ---- Debugging, definitions, editing
    bool GetDebugText(ZuStringRef& out) const override;
    // The kinds of every drawing object.
    void GetDefinitionKinds(int* out) const override;
    int GetEditMode() const override;
    // Also clears the handle marks.
    bool SetEditMode(int mode) override;
    int IsEditing() const override;
    bool SetEditing(int editing) override;
    // The first member's definition when every member that answers holds an
    // equal one; false, out untouched, otherwise.
    bool GetDefinition(int kind, ZuObjectRef& out) const override;
    bool SetDefinition(int kind, const ZuObjectRef& def) override;
    bool PruneDefinitions() override;
    bool GetMissingDefinitions(int* kinds, int* count) const override;

    // ---- Hit tests and drawing
    // Inside the box widened by 3 / zoom: a hit on the band along its edge,
    // inside it only through a member.
    bool HitTest(CGraPortRef& port, const DPoint& p, double zoom, int flags) override;
    bool Draw(CGraPortRef& port, int flags) override;
    bool DrawShadow(CGraPortRef& port, int flags) override;
    // The box and rectangle become the union of the members' boxes; without
    // members the rectangle, normalised.
    bool UpdateBoundingBox(CGraPortRef& port) override;

    // With flags bit 2 the dragged corner makes a square with the opposite
    // one (only y changes).
    virtual void ConstrainPoint(int flags, int which, DPoint& p) const;

    // The members: the drawing objects of the node's children, in child
    // order, walked afresh. None while the group is already walking them
    // (a group that a stored tree made its own member), and the walk ends
    // at a child met twice or one that names another parent.
    std::vector<CGraObjectRef> Members() const;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    int edit_mode = 0;
    int editing = 1;
    CPenDefRef frame_pen;
    CColorDefRef frame_colour;
    DRect rect{0.0, 0.0, 0.0, 0.0};
    bool selected[HANDLES] = {false, false, false, false};

private:
    // Marks the group as walking its members for the guard's lifetime.
    class Walking;
    mutable bool walking = false;
};
ZU_CLASS_END(CGraGroup)

#endif
