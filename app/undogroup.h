// CUndoGroup: one undoable user step: the actions (CUndoAction) of the tree
// changes it made, in recording order, the code of the step, the state of
// the selection when it began (CSavedState), and the group the selection
// had entered then with its depth. The group owns its list of actions and,
// through them, the nodes an undone step can bring back.
//
// Walk order: last to first when any action is a removal, else first to
// last; every walk over the actions (undo, redo, cancel, merge, dump) takes
// it.
//
// Stored record (after the object part): begin, the actions list (object),
// Int oper, the label (object), mark, the four corners and the centre of
// the saved state (ten Reals), Bool box shown, Int handle mode, mark, the
// entered group (object), Int entered depth, end. The saved page and layer
// are not stored. A stored group with a negative depth is refused as corrupt
// input; one without a list of actions gets an empty list.
#ifndef LUMBRA_APP_UNDOGROUP_H
#define LUMBRA_APP_UNDOGROUP_H

#include <cstdint>

#include "app/list.h"
#include "app/misc.h"
#include "app/undoaction.h"
#include "si/string.h"

// The state of the selection that a step saves and undo and redo give back:
// a block of 24 32-bit words, copied whole.
struct CSavedState {
    // The edited box's corners 0 to 3.
    DPoint corners[4];
    // The centre the box rotates about.
    DPoint centre;
    // The box-shown flag (in the word's first byte).
    std::int32_t boxShown;
    // 90, 91, 92 or 95.
    std::int32_t handleMode;
    // The stored view settings' current page and layer.
    std::int32_t page;
    std::int32_t layer;
};
static_assert(sizeof(CSavedState) == 24 * 4, "the saved state is 24 words");

ZU_HANDLE(CUndoGroup, ZuObject)

class CUndoGroup : public ZuObject {
    ZU_CLASS(CUndoGroup, ZuObject)
public:
    // The code (oper) of each user step.
    enum {
        STEP_DELETE = 10,
        STEP_INSERT = 11,
        STEP_CUT = 12,
        STEP_PASTE = 14,
        STEP_DUPLICATE = 20,
        // The selection tool: move, scale, rotate, corners and envelope
        // (and the handle drag of one object, as a move).
        STEP_MOVE = 30,
        STEP_SCALE = 31,
        STEP_ROTATE = 32,
        STEP_DEFORM = 33,
        STEP_MIRROR_X = 34,
        STEP_MIRROR_Y = 35,
        STEP_ROTATE_90 = 36,
        STEP_ROTATE_180 = 37,
        STEP_ROTATE_270 = 38,
        STEP_GROUP = 40,
        STEP_UNGROUP = 41,
        STEP_SEND_TO_FRONT = 50,
        STEP_SEND_TO_BACK = 51,
        STEP_MOVE_TO_FRONT = 52,
        STEP_MOVE_TO_BACK = 53,
        STEP_EDIT_POINTS = 61,
        STEP_ALIGN = 70,
        STEP_DISTRIBUTE = 71,
        STEP_SNAP_TO_GRID = 72,
        STEP_DEFINITIONS = 100,
        STEP_PROPERTY = 120,
        STEP_NEW_PAGE = 200,
        STEP_DELETE_PAGE = 201,
        STEP_MOVE_PAGE = 202,
        STEP_NEW_LAYER = 203,
        STEP_DELETE_LAYER = 204,
        STEP_MOVE_LAYER = 205
    };

    // An empty list of actions, oper 0, no label, a zero saved state.
    CUndoGroup();
    ~CUndoGroup() override;
    // Deletes the list of actions (and so the actions).
    void Delete() override;

    int GetCount() const;
    int GetOper() const { return oper; }
    void SetOper(int code) { oper = code; }
    ZuStringRef GetLabel() const { return label; }
    void GetSavedState(CSavedState& out) const { out = savedState; }
    void SetSavedState(const CSavedState& state) { savedState = state; }
    void GetEnteredGroup(CTreeNodeRef& group, int& depth) const
    {
        group = enteredGroup;
        depth = enteredDepth;
    }
    void SetEnteredGroup(const CTreeNodeRef& group, int depth)
    {
        enteredGroup = group;
        enteredDepth = depth;
    }

    // Appends the list node carrying an action.
    void AddAction(const CListNodeRef& node);
    // Starts the walk in the group's walk order.
    void StartIteration();
    // The next list node of the walk; empty at the end.
    void GetNext(CListNodeRef& out);
    // The next action of the walk, list nodes that carry no action passed
    // over; empty at the end.
    CUndoActionRef NextAction();

    // Same oper, same count, and each action, pairwise in walk order, can
    // merge with the older one's.
    bool CanMerge(CUndoGroupRef older);
    // Each action merged with the older one's, pairwise in walk order.
    void Merge(CUndoGroupRef older);

    // Trace: the group's line, then (withActions) its actions in walk
    // order.
    void Dump(bool withActions);

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    CListRef actions;
    int oper = 0;
    ZuStringRef label;
    CSavedState savedState;
    CTreeNodeRef enteredGroup;
    int enteredDepth = 0;
};
ZU_CLASS_END(CUndoGroup)

#endif
