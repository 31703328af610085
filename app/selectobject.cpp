#include "app/selectobject.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "app/editshell.h"
#include "app/gragroup.h"
#include "app/treeit.h"
#include "si/array.h"
#include "si/classfactory.h"
#include "si/error.h"
#include "si/rtclass.h"
#include "si/time.h"

ZU_IMPLEMENT_CLASS(CSelectObject, "app/selectobject", ZU_CLASS_NOT_STORED)

namespace {

const char* const kSource = "selectobject";

// The attribute kinds in the order every walk over an object's definitions
// visits them: stroke, the closed-path switch, fill, shadow, polygon and
// arc, arrow heads, corners, font and text.
const int kKindOrder[] = {11,  12, 15, 10, 18, 21, 22, 25,  20,  100, 102, 105,
                          101, 50, 51, 40, 41, 30, 31, 120, 125, 126, 127};

CGraObjectRef DrawingObject(const CTreeNodeRef& node)
{
    if (node.IsInvalid())
        return CGraObjectRef();
    const ZuObjectRef& o = node->RetObject();
    if (o.IsInvalid() || !o->IsKindOf(CGraObjectRef::RetRuntime()))
        return CGraObjectRef();
    return CGraObjectRef(o);
}

// Each child of parent that holds a drawing object, first to last; the
// walk has moved on when f gets a node, so f may unlink it.
template <class F>
void ForEachChild(const CTreeNodeRef& parent, F f)
{
    if (parent.IsInvalid())
        return;
    CTreeItRef it = ZuNew<CTreeIt>(nullptr, __LINE__, kSource);
    it->Init(parent, 1);
    for (CTreeNodeRef node; it->Next(node), node.IsValid();) {
        const CGraObjectRef o = DrawingObject(node);
        if (o.IsValid())
            f(node, o);
    }
}

CListRef NewList()
{
    return ZuNew<CList>(nullptr, __LINE__, kSource);
}

// The mean of four points.
DPoint Mean(const DPoint p[4])
{
    return DPoint{(p[0].x + p[1].x + p[2].x + p[3].x) * 0.25,
                  (p[0].y + p[1].y + p[2].y + p[3].y) * 0.25};
}

DPoint Middle(const DPoint& p, const DPoint& q)
{
    return DPoint{(p.x + q.x) * 0.5, (p.y + q.y) * 0.5};
}

} // namespace

CSelectObject::CSelectObject()
{
    std::memset(&changeRecord, 0, sizeof changeRecord);
    std::memset(editBox, 0, sizeof editBox);
    std::memset(boxPoints, 0, sizeof boxPoints);
    std::memset(&pressRecord, 0, sizeof pressRecord);
    std::memset(pressBox, 0, sizeof pressBox);
    undoList = NewList();
    redoList = NewList();
}

CSelectObject::~CSelectObject() {}

// ---------------------------------------------------------------- wiring

void CSelectObject::SetDocument(CDocumentRef d)
{
    document = d;
}

void CSelectObject::SetViewSettings(CViewRef v)
{
    viewSettings = v;
}

void CSelectObject::SetPorts(CGraPortRef edit, CGraPortRef second)
{
    editPort = edit;
    secondPort = second;
}

int CSelectObject::GetToolState(int code) const
{
    return RetEditShell().GetToolState(code);
}

// ---------------------------------------------------------------- the selection set

bool CSelectObject::EndSelection()
{
    if (selectedCount == 0)
        return false;
    CTreeNodeRef parent;
    GetEditParent(parent);
    ForEachChild(parent, [](const CTreeNodeRef& node, const CGraObjectRef& o) {
        const int mode = o->GetEditMode();
        // Only a line of text is dropped for being empty: an object
        // without text answers "empty" too.
        if (mode == 2 && o->HasText() && o->IsTextEmpty()) {
            node->Unlink();
            node->Delete();
        } else if (mode != 0) {
            o->SetEditMode(0);
        }
    });
    selectedAlone = false;
    const bool wasEditing = editingObject;
    editingObject = false;
    selectedCount = 0;
    UpdateSelectionCommands();
    // A paste takes from the other clipboard now.
    if (wasEditing)
        UpdateClipboardCommands();
    RebuildPropertyDlg(false);
    return true;
}

void CSelectObject::RebuildSelection()
{
    selectedCount = 0;
    ZuArrayRef array = ZuNew<ZuArray>(nullptr, __LINE__, kSource);
    array->SetSize(KINDS);
    CDefArray defs = array;
    bool same[KINDS];
    for (bool& s : same)
        s = true;
    CTreeNodeRef layer;
    GetCurrentLayerNode(layer);
    if (layer.IsValid()) {
        CTreeItRef it = ZuNew<CTreeIt>(nullptr, __LINE__, kSource);
        it->InitDeep(layer, 1);
        for (CTreeNodeRef node; it->NextDeep(node), node.IsValid();) {
            const CGraObjectRef o = DrawingObject(node);
            if (o.IsInvalid() || o->GetEditMode() == 0)
                continue;
            if (node->GetDepth() - 3 != enteredDepth) {
                o->SetEditMode(0);
            } else {
                selectedCount += 1;
                CollectCommonDefs(o, defs, same);
            }
        }
    }
    bool noBox = true;
    for (const DPoint& p : editBox)
        noBox = noBox && p.x == 0.0 && p.y == 0.0;
    if (noBox)
        FitBoxToSelectedObjects();
    if (selectedCount != 0)
        ApplyCommonDefs(defs, same);
    UpdateSelectionCommands();
    RebuildPropertyDlg(false);
}

// ---------------------------------------------------------------- undo and redo

namespace {

// A new group for the step on the list, with the selection's state.
void AppendGroup(const CListRef& list, int oper, const CSavedState& state,
                 const CTreeNodeRef& entered, int depth)
{
    CUndoGroupRef group = ZuNew<CUndoGroup>(nullptr, __LINE__, kSource);
    group->SetOper(oper);
    group->SetSavedState(state);
    group->SetEnteredGroup(entered, depth);
    CListNodeRef node = ZuNew<CListNode>(nullptr, __LINE__, kSource);
    node->SetObject(group);
    list->Append(node);
}

CUndoGroupRef GroupOf(const CListNodeRef& node)
{
    if (node.IsInvalid())
        return CUndoGroupRef();
    const ZuObjectRef& o = node->GetObject();
    if (o.IsInvalid() || !o->IsKindOf(CUndoGroupRef::RetRuntime()))
        return CUndoGroupRef();
    return CUndoGroupRef(o);
}

void AppendAction(const CListRef& list, const CUndoActionRef& action)
{
    const CUndoGroupRef group = GroupOf(list->GetLast());
    ZU_ASSERT_TEXT(group.IsValid(), "an action recorded with no step open");
    CListNodeRef node = ZuNew<CListNode>(nullptr, __LINE__, kSource);
    node->SetObject(action);
    group->AddAction(node);
}

} // namespace

void CSelectObject::OpenUndoGroup(int oper, bool clearRedo)
{
    CSavedState state;
    GetSavedState(state);
    AppendGroup(undoList, oper, state, enteredGroup, enteredDepth);
    // The old list is let go through its handle.
    if (clearRedo)
        redoList = NewList();
    UpdateUndoRedoCommands();
}

void CSelectObject::OpenRedoGroup(int oper)
{
    CSavedState state;
    GetSavedState(state);
    AppendGroup(redoList, oper, state, enteredGroup, enteredDepth);
    UpdateUndoRedoCommands();
}

void CSelectObject::AddUndoAction(CUndoActionRef action)
{
    AppendAction(undoList, action);
}

void CSelectObject::AddRedoAction(CUndoActionRef action)
{
    AppendAction(redoList, action);
}

bool CSelectObject::Undo()
{
    return Replay(true);
}

bool CSelectObject::Redo()
{
    return Replay(false);
}

bool CSelectObject::Replay(bool undo)
{
    const CListRef from = undo ? undoList : redoList;
    const CListNodeRef last = from->GetLast();
    const CUndoGroupRef group = GroupOf(last);
    if (group.IsInvalid())
        return false;
    const int oper = group->GetOper();
    EndSelection();
    CSavedState state;
    group->GetSavedState(state);
    const int page = viewSettings.IsValid() ? viewSettings->current_page : 0;
    const int layer = viewSettings.IsValid() ? viewSettings->current_layer : 0;
    SetSavedState(state);
    group->GetEnteredGroup(enteredGroup, enteredDepth);
    if (undo)
        OpenRedoGroup(oper);
    else
        OpenUndoGroup(oper, false);
    // The place of the last action replayed is shown again.
    CTreeNodeRef refresh;
    group->StartIteration();
    for (CUndoActionRef action = group->NextAction(); action.IsValid();
         action = group->NextAction()) {
        refresh = action->GetParentNode();
        CUndoActionRef inverse;
        action->MakeInverse(inverse);
        if (undo)
            AddRedoAction(inverse);
        else
            AddUndoAction(inverse);
    }
    from->Remove(last);
    const bool pagesChanged =
        oper == CUndoGroup::STEP_NEW_PAGE || oper == CUndoGroup::STEP_DELETE_PAGE ||
        oper == CUndoGroup::STEP_NEW_LAYER || oper == CUndoGroup::STEP_DELETE_LAYER;
    if (pagesChanged || (viewSettings.IsValid() && (viewSettings->current_page != page ||
                                                    viewSettings->current_layer != layer))) {
        UpdatePageDialog();
        UpdateLayerDialog();
    }
    RebuildSelection();
    if (refresh.IsValid())
        UpdateEnclosingBoxes(refresh, true);
    UpdateUndoRedoCommands();
    if (document.IsValid())
        document->SetModified(true);
    return true;
}

void CSelectObject::CancelLastUndoGroup()
{
    const CListNodeRef last = undoList->GetLast();
    const CUndoGroupRef group = GroupOf(last);
    if (group.IsInvalid())
        return;
    group->GetEnteredGroup(enteredGroup, enteredDepth);
    CTreeNodeRef refresh;
    group->StartIteration();
    for (CUndoActionRef action = group->NextAction(); action.IsValid();
         action = group->NextAction()) {
        refresh = action->GetParentNode();
        // The inverse is made for its change alone.
        CUndoActionRef inverse;
        action->MakeInverse(inverse);
    }
    undoList->Remove(last);
    if (refresh.IsValid())
        UpdateEnclosingBoxes(refresh, true);
    UpdateUndoRedoCommands();
}

bool CSelectObject::MergeLastUndoGroups()
{
    const CListNodeRef last = undoList->GetLast();
    const CUndoGroupRef newer = GroupOf(last);
    if (newer.IsInvalid())
        return false;
    const CListNodeRef before = last->GetPrevious();
    const CUndoGroupRef older = GroupOf(before);
    if (older.IsInvalid() || !newer->CanMerge(older))
        return false;
    CSavedState state;
    older->GetSavedState(state);
    newer->SetSavedState(state);
    newer->Merge(older);
    undoList->Remove(before);
    return true;
}

void CSelectObject::ClearUndo()
{
    undoList->Delete();
    redoList->Delete();
    undoList = NewList();
    redoList = NewList();
    UpdateUndoRedoCommands();
}

// ---------------------------------------------------------------- edit parent and entered groups

void CSelectObject::GetCurrentLayerNode(CTreeNodeRef& out) const
{
    out = CTreeNodeRef();
    if (document.IsInvalid() || viewSettings.IsInvalid() || document->GetTree().IsInvalid())
        return;
    // Negative indexes would name the root or a page.
    if (viewSettings->current_page < 0 || viewSettings->current_layer < 0)
        return;
    document->GetTree()->GetNode(out, viewSettings->current_page, viewSettings->current_layer);
}

void CSelectObject::GetEditParent(CTreeNodeRef& out) const
{
    if (enteredDepth != 0 && enteredGroup.IsValid())
        out = enteredGroup;
    else
        GetCurrentLayerNode(out);
}

void CSelectObject::GetEnteredGroupBox(DRect& out) const
{
    out = DRect{0.0, 0.0, 0.0, 0.0};
    if (enteredDepth == 0)
        return;
    const CGraObjectRef o = DrawingObject(enteredGroup);
    if (o.IsValid())
        out = o->GetBoundingBox();
}

void CSelectObject::GetFirstSelectedNode(CTreeNodeRef& out) const
{
    out = CTreeNodeRef();
    if (selectedCount == 0)
        return;
    CTreeNodeRef parent;
    GetEditParent(parent);
    ForEachChild(parent, [&out](const CTreeNodeRef& node, const CGraObjectRef& o) {
        if (out.IsInvalid() && o->GetEditMode() != 0)
            out = node;
    });
}

bool CSelectObject::GroupGoIn()
{
    if (!IsSingleGroupSelected())
        return false;
    EndSelection();
    enteredGroup = singleSelectedNode;
    enteredDepth += 1;
    UpdateSelectionCommands();
    RebuildPropertyDlg(false);
    return true;
}

bool CSelectObject::GroupGoOut()
{
    if (enteredDepth == 0)
        return false;
    EndSelection();
    enteredDepth -= 1;
    if (enteredGroup.IsInvalid())
        return false;
    const CTreeNodeRef left = enteredGroup;
    // The level above first: the box is fitted among the group's siblings.
    enteredGroup = enteredDepth == 0 ? CTreeNodeRef() : CTreeNodeRef(left->RetParent());
    const CGraObjectRef o = DrawingObject(left);
    if (o.IsValid()) {
        o->SetEditMode(1);
        if (editPort.IsValid())
            o->UpdateBoundingBox(editPort);
        selectedCount = 1;
        FitBoxToSelection();
    }
    UpdateSelectionCommands();
    RebuildPropertyDlg(false);
    return true;
}

void CSelectObject::StartBox(const DPoint& p)
{
    for (DPoint& corner : editBox)
        corner = p;
    boxPoints[4] = p;
}

void CSelectObject::DragBox(const DPoint& p)
{
    editBox[1] = p;
    editBox[2].y = p.y;
    editBox[3].x = p.x;
}

void CSelectObject::EndBox(const DPoint& p)
{
    DragBox(p);
    boxPoints[4] = MidPoint(editBox[0], editBox[1]);
}

// ---------------------------------------------------------------- the box and its handles

int CSelectObject::GetHandleCount() const
{
    switch (boxHandleMode) {
    case MODE_SCALE:
        return 8;
    case MODE_ROTATE:
        return 5;
    case MODE_CORNERS:
        return 4;
    case MODE_ENVELOPE:
        return 12;
    default:
        return 0;
    }
}

int CSelectObject::GetHandleStyle(int n) const
{
    if ((boxHandleMode == MODE_SCALE || boxHandleMode == MODE_ENVELOPE) && n >= 4)
        return 3;
    if (boxHandleMode == MODE_ROTATE && n == 4)
        return 5;
    return 2;
}

DPoint CSelectObject::GetHandlePoint(int n) const
{
    if (n < 0 || n >= GetHandleCount())
        return Mean(editBox);
    if (n < 4)
        return editBox[n];
    switch (boxHandleMode) {
    case MODE_SCALE: {
        static const int ends[4][2] = {{0, 3}, {1, 2}, {0, 2}, {1, 3}};
        return Middle(editBox[ends[n - 4][0]], editBox[ends[n - 4][1]]);
    }
    case MODE_ROTATE:
        return boxPoints[4];
    default: {
        const int j = n - 4;
        if (DeformationGoesOn(5))
            return changeRecord.g[j];
        // Until a deformation goes on, the edge points stand where a press
        // puts them: a third of the way along each edge from either end
        // (the edges from corner 0 to 3, 3 to 1, 1 to 2 and 2 to 0).
        static const int around[4] = {0, 3, 1, 2};
        const DPoint& from = editBox[around[j / 2]];
        const DPoint& to = editBox[around[(j / 2 + 1) % 4]];
        const double third = 1.0 / 3.0;
        return j % 2 == 0 ? InterpolatePoint(from, to, third) : InterpolatePoint(to, from, third);
    }
    }
}

int CSelectObject::GetOppositeHandle(int n) const
{
    return n >= 0 && n < 8 ? n ^ 1 : -1;
}

DPoint CSelectObject::ConstrainPoint(const DPoint& p, int modifiers, int handle) const
{
    const DPoint& a = changeRecord.a;
    const DPoint& r = changeRecord.b;
    const bool shift = (modifiers & 2) != 0;
    if (handle == -1 && shift) {
        if (std::fabs(p.y - a.y) <= std::fabs(p.x - a.x))
            return DPoint{p.x, a.y};
        return DPoint{a.x, p.y};
    }
    if (handle >= 0 && handle <= 3 && boxHandleMode == MODE_SCALE && !shift) {
        // A box of no width has no diagonal to keep to.
        if (r.x == a.x)
            return p;
        const double y = (p.x - a.x) * (r.y - a.y) / (r.x - a.x) + a.y;
        if (!std::isfinite(y))
            return p;
        return DPoint{p.x, y};
    }
    return p;
}

DPoint CSelectObject::GetCenter() const
{
    if (boxShown)
        return Mean(editBox);
    CTreeNodeRef first;
    GetFirstSelectedNode(first);
    const CGraObjectRef o = DrawingObject(first);
    if (o.IsInvalid())
        return Mean(editBox);
    const DRect box = o->GetBoundingBox();
    return DPoint{(box.x1 + box.x2) * 0.5, (box.y1 + box.y2) * 0.5};
}

DPoint CSelectObject::GetBoxCorner(int n) const
{
    return n >= 0 && n < 4 ? editBox[n] : DPoint{0.0, 0.0};
}

void CSelectObject::GetSavedState(CSavedState& out) const
{
    std::memset(&out, 0, sizeof out);
    for (int i = 0; i < 4; i++)
        out.corners[i] = editBox[i];
    out.centre = boxPoints[4];
    out.boxShown = boxShown ? 1 : 0;
    out.handleMode = boxHandleMode;
    if (viewSettings.IsValid()) {
        out.page = viewSettings->current_page;
        out.layer = viewSettings->current_layer;
    }
}

void CSelectObject::SetSavedState(const CSavedState& state)
{
    for (int i = 0; i < 4; i++)
        editBox[i] = state.corners[i];
    boxPoints[4] = state.centre;
    // The flag is a byte of its word.
    boxShown = (state.boxShown & 0xFF) != 0;
    boxHandleMode = state.handleMode;
    if (viewSettings.IsValid()) {
        viewSettings->current_page = state.page;
        viewSettings->current_layer = state.layer;
    }
}

// ---------------------------------------------------------------- command states

void CSelectObject::UpdateUndoRedoCommands()
{
    IEditShell& shell = RetEditShell();
    shell.EnableCommand("Undo", CanUndo());
    shell.EnableCommand("Redo", CanRedo());
}

void CSelectObject::UpdateSelectionCommands()
{
    IEditShell& shell = RetEditShell();
    const bool any = HasSelection();
    const bool group = IsSingleGroupSelected();
    shell.EnableCommand("ClipboardCut", any);
    shell.EnableCommand("ClipboardCopy", any);
    shell.EnableCommand("EndSelected", CanEnd());
    shell.EnableCommand("DeleteSelected", any);
    shell.EnableCommand("DuplicateSelected", CanDuplicate());
    shell.EnableCommand("GroupGoIn", group);
    shell.EnableCommand("GroupGoOut", CanGoOutOfGroup());
    shell.EnableCommand("SelectGroup", CanGroup());
    shell.EnableCommand("SelectUngroup", group);
    for (const char* command :
         {"SelectSendToFront", "SelectSendToBack", "SelectMoveToFront", "SelectMoveToBack",
          "SelectMirrorX", "SelectMirrorY", "SelectRotate90", "SelectRotate180", "SelectRotate270"})
        shell.EnableCommand(command, any);
}

void CSelectObject::UpdateClipboardCommands()
{
    IEditShell& shell = RetEditShell();
    shell.EnableCommand("ClipboardCut", HasSelection());
    shell.EnableCommand("ClipboardCopy", HasSelection());
    shell.EnableCommand("ClipboardPaste", CanPaste());
}

void CSelectObject::UpdateSwapGridCommand()
{
    RetEditShell().SetCommandCheck("SwapGrid", viewSettings.IsValid() &&
                                                   viewSettings->switches[CView::SHOW_GRID]);
}

void CSelectObject::UpdateSwapOutlineCommand()
{
    RetEditShell().SetCommandCheck("SwapOutline", viewSettings.IsValid() &&
                                                      viewSettings->switches[CView::OUTLINE]);
}

void CSelectObject::UpdateSwapPropertyCommand()
{
    IEditShell& shell = RetEditShell();
    shell.SetCommandCheck("SwapProperty", shell.IsPropertyDlgVisible());
}

void CSelectObject::UpdateAllCommands()
{
    UpdateUndoRedoCommands();
    UpdateSelectionCommands();
    UpdateClipboardCommands();
    UpdateSwapGridCommand();
    UpdateSwapOutlineCommand();
    UpdateSwapPropertyCommand();
}

bool CSelectObject::CanDuplicate() const
{
    return selectedCount != 0 && !editingObject;
}

bool CSelectObject::CanEnd() const
{
    return HasSelection() || drawing;
}

bool CSelectObject::CanGoOutOfGroup() const
{
    return enteredDepth != 0;
}

bool CSelectObject::CanGroup() const
{
    return selectedCount >= 2;
}

bool CSelectObject::IsSingleGroupSelected()
{
    if (selectedCount != 1)
        return false;
    CTreeNodeRef node;
    GetFirstSelectedNode(node);
    const CGraObjectRef o = DrawingObject(node);
    if (o.IsInvalid() || !o->IsKindOf(CGraGroupRef::RetRuntime()))
        return false;
    singleSelectedNode = node;
    return true;
}

bool CSelectObject::CanPaste() const
{
    const IEditShell& shell = RetEditShell();
    return editingObject ? shell.HasClipboardText() : shell.HasClipboardTree();
}

bool CSelectObject::CanUndo() const
{
    return undoList->GetCount() != 0;
}

bool CSelectObject::CanRedo() const
{
    return redoList->GetCount() != 0;
}

void CSelectObject::Dump()
{
    Zuvi_Trace("\n");
    const CTreeRef tree = document.IsValid() ? document->GetTree() : CTreeRef();
    const CTreeNodeRef root = tree.IsValid() ? tree->RetRoot() : CTreeNodeRef();
    if (root.IsValid())
        tree->Dump(root);
    Zuvi_Trace("Objects in CTree :\n");
    if (root.IsValid()) {
        CTreeItRef it = ZuNew<CTreeIt>(nullptr, __LINE__, kSource);
        it->InitDeep(root, 1);
        for (CTreeNodeRef node; it->NextDeep(node), node.IsValid();)
            node->Dump();
    }
    const auto dumpList = [](const CListRef& list) {
        list->StartIteration(1);
        for (CListNodeRef node = list->GetNext(); node.IsValid(); node = list->GetNext()) {
            const CUndoGroupRef group = GroupOf(node);
            if (group.IsValid())
                group->Dump(true);
        }
    };
    Zuvi_Trace("UndoList :\n");
    dumpList(undoList);
    Zuvi_Trace("RedoList :\n");
    dumpList(redoList);
}

// ---------------------------------------------------------------- shared with the other operations

void CSelectObject::SetBoxFromRect(const DRect& r)
{
    editBox[0] = DPoint{r.x1, r.y1};
    editBox[1] = DPoint{r.x2, r.y2};
    editBox[2] = DPoint{r.x1, r.y2};
    editBox[3] = DPoint{r.x2, r.y1};
    boxPoints[4] = Middle(editBox[0], editBox[1]);
}

void CSelectObject::FitBoxToSelection()
{
    if (selectedCount >= 2) {
        boxShown = true;
        return;
    }
    boxShown = false;
    if (selectedCount != 1)
        return;
    CTreeNodeRef node;
    GetFirstSelectedNode(node);
    const CGraObjectRef o = DrawingObject(node);
    if (o.IsValid() && o->IsKindOf(CGraGroupRef::RetRuntime()) && o->GetEditMode() != 0) {
        boxShown = true;
        SetBoxFromRect(o->GetBoundingBox());
    }
}

void CSelectObject::FitBoxToSelectedObjects()
{
    if (!boxShown || selectedCount == 0)
        return;
    CTreeNodeRef parent;
    GetEditParent(parent);
    DRect all{0.0, 0.0, 0.0, 0.0};
    ForEachChild(parent, [&all](const CTreeNodeRef&, const CGraObjectRef& o) {
        if (o->GetEditMode() != 0)
            all = UnionRect(all, o->GetBoundingBox());
    });
    SetBoxFromRect(all);
}

void CSelectObject::UpdateEnclosingBoxes(const CTreeNodeRef& node, bool includeNode)
{
    if (node.IsInvalid() || editPort.IsInvalid())
        return;
    const int levels = node->GetDepth() - 3;
    if (includeNode) {
        const CGraObjectRef o = DrawingObject(node);
        if (o.IsValid())
            o->UpdateBoundingBox(editPort);
    }
    CTreeNodeRef above = node->RetParent();
    for (int i = 0; i < levels && above.IsValid(); i++) {
        const CGraObjectRef o = DrawingObject(above);
        if (o.IsValid())
            o->UpdateBoundingBox(editPort);
        above = CTreeNodeRef(above->RetParent());
    }
}

void CSelectObject::RebuildPropertyDlg(bool force)
{
    IEditShell& shell = RetEditShell();
    if (!force && !shell.IsPropertyDlgVisible())
        return;
    CGraObjectRef single;
    if (selectedCount == 1) {
        CTreeNodeRef node;
        GetFirstSelectedNode(node);
        single = DrawingObject(node);
    }
    shell.ShowSelectionProperties(CSelectObjectRef(this), single);
}

void CSelectObject::CollectCommonDefs(const CGraObjectRef& object, CDefArray& defs,
                                      bool* same) const
{
    if (object.IsInvalid())
        return;
    for (int kind : kKindOrder) {
        ZuObjectRef found;
        if (!object->GetDefinition(kind, found))
            continue;
        if (found.IsInvalid() || !found->IsKindOf(CDefRef::RetRuntime()))
            continue;
        const CDefRef def(found);
        const CDefRef held = defs[unsigned(kind)];
        if (held.IsInvalid())
            defs[unsigned(kind)] = def;
        else if (!held->IsEqualCurrent(def))
            same[kind] = false;
    }
}

void CSelectObject::ApplyCommonDefs(CDefArray& defs, const bool* same)
{
    for (int kind : kKindOrder) {
        if (!same[kind])
            continue;
        const CDefRef def = defs[unsigned(kind)];
        if (def.IsValid())
            SetCurrentDef(kind, def);
    }
    RetEditShell().RedisplayDefinitions();
}

void CSelectObject::SelectForOwnEditing(const CTreeNodeRef& node)
{
    const CGraObjectRef o = SelectableObject(node);
    if (o.IsInvalid())
        return;
    if (o->GetEditMode() == 0)
        selectedCount += 1;
    o->SetEditMode(2);
    editingObject = true;
    selectedAlone = false;
    boxShown = false;
    UpdateSelectionCommands();
    // A paste takes from the text clipboard now.
    UpdateClipboardCommands();
    RebuildPropertyDlg(false);
}

// ---------------------------------------------------------------- selecting objects

CGraObjectRef CSelectObject::SelectableObject(const CTreeNodeRef& node) const
{
    const CGraObjectRef o = DrawingObject(node);
    if (o.IsInvalid())
        return o;
    // Only the level being edited can be selected, or the count would
    // stray from the objects it counts.
    CTreeNodeRef parent;
    GetEditParent(parent);
    const CTreeNodeRef above = node->RetParent();
    if (parent.IsInvalid() || above.IsInvalid() || above.Resolve() != parent.Resolve())
        return CGraObjectRef();
    return o;
}

void CSelectObject::SelectionChanged()
{
    FitBoxToSelection();
    FitBoxToSelectedObjects();
    UpdateSelectionCommands();
    RebuildPropertyDlg(false);
}

void CSelectObject::SelectOnly(const CTreeNodeRef& node)
{
    EndSelection();
    const CGraObjectRef o = SelectableObject(node);
    if (o.IsValid()) {
        o->SetEditMode(1);
        selectedCount = 1;
        SelectionChanged();
    }
    selectedAlone = true;
}

void CSelectObject::AddToSelection(const CTreeNodeRef& node)
{
    const CGraObjectRef o = SelectableObject(node);
    if (o.IsValid()) {
        // An object already selected is counted once.
        if (o->GetEditMode() == 0)
            selectedCount += 1;
        o->SetEditMode(1);
        SelectionChanged();
    }
    selectedAlone = false;
}

void CSelectObject::RemoveFromSelection(const CTreeNodeRef& node)
{
    const CGraObjectRef o = SelectableObject(node);
    if (o.IsValid()) {
        if (o->GetEditMode() != 0) {
            selectedCount -= 1;
            // The object in its own editing was the one selected.
            if (o->GetEditMode() == 2) {
                editingObject = false;
                UpdateClipboardCommands();
            }
        }
        o->SetEditMode(0);
        SelectionChanged();
    }
    selectedAlone = false;
}

void CSelectObject::RubberBandSelect(bool handles)
{
    DRect band{editBox[0].x, editBox[0].y, editBox[1].x, editBox[1].y};
    NormaliseRect(band);
    ZuArrayRef array = ZuNew<ZuArray>(nullptr, __LINE__, kSource);
    array->SetSize(KINDS);
    CDefArray defs = array;
    bool same[KINDS];
    for (bool& s : same)
        s = true;
    CTreeNodeRef parent;
    GetEditParent(parent);
    ForEachChild(parent, [&](const CTreeNodeRef&, const CGraObjectRef& o) {
        if (o->GetEditMode() != 0)
            return;
        const DRect box = o->GetBoundingBox();
        bool take = IsRectInRect(box, band);
        if (!take && handles && o->IsEditing() == 1 && DoRectsIntersect(box, band)) {
            const int count = o->GetHandleCount();
            for (int i = 0; i < count && !take; i++) {
                DPoint at;
                take = o->GetHandleType(i) == 2 && o->GetHandle(i, at) && IsPointInRect(at, band);
            }
        }
        if (!take)
            return;
        o->SetEditMode(1);
        selectedCount += 1;
        CollectCommonDefs(o, defs, same);
    });
    if (selectedCount != 0)
        ApplyCommonDefs(defs, same);
    SelectionChanged();
}

bool CSelectObject::HitBox(const DPoint& p)
{
    if (!boxShown || editPort.IsInvalid())
        return false;
    editPort->BeginHitTest();
    editPort->DrawLine(editBox[0], editBox[2]);
    editPort->DrawLine(editBox[2], editBox[1]);
    editPort->DrawLine(editBox[1], editBox[3]);
    editPort->DrawLine(editBox[3], editBox[0]);
    return editPort->EndHitTest(p, 1.0, true, false, true);
}

bool CSelectObject::GetSelectionBox(DRect& out) const
{
    // A box left shown after the selection ended frames nothing.
    if (selectedCount == 0)
        return false;
    if (boxShown) {
        out = DRect{editBox[0].x, editBox[0].y, editBox[1].x, editBox[1].y};
        return true;
    }
    if (selectedCount != 1)
        return false;
    CTreeNodeRef node;
    GetFirstSelectedNode(node);
    const CGraObjectRef o = DrawingObject(node);
    if (o.IsInvalid())
        return false;
    out = o->GetBoundingBox();
    return true;
}

bool CSelectObject::ComputeSelectionBounds(DRect& out) const
{
    ClearRect(out);
    if (selectedCount == 0)
        return false;
    CTreeNodeRef parent;
    GetEditParent(parent);
    DRect all{0.0, 0.0, 0.0, 0.0};
    ForEachChild(parent, [&all](const CTreeNodeRef&, const CGraObjectRef& o) {
        if (o->GetEditMode() != 0)
            all = UnionRect(all, o->GetBoundingBox());
    });
    out = all;
    return true;
}

bool CSelectObject::GetSelectionText(ZuStringRef& out) const
{
    if (selectedCount != 1 || boxShown)
        return false;
    CTreeNodeRef node;
    GetFirstSelectedNode(node);
    const CGraObjectRef o = DrawingObject(node);
    return o.IsValid() && o->GetDebugText(out);
}

// ---------------------------------------------------------------- the selection tool

namespace {

// The corner entries of a change record of kinds 4 and 5, in the order of
// the box's corners 0, 3, 1, 2.
DPoint& Entry(ChangeRecord& r, int i)
{
    switch (i) {
    case 0:
        return r.c;
    case 1:
        return r.d;
    case 2:
        return r.e;
    default:
        return r.f;
    }
}

const DPoint& Entry(const ChangeRecord& r, int i)
{
    return Entry(const_cast<ChangeRecord&>(r), i);
}

// The record's corner entry of each corner handle, and the box corner of
// each entry.
const int kEntryOfHandle[4] = {0, 2, 3, 1};
const int kCornerOfEntry[4] = {0, 3, 1, 2};

// A rotation with Shift turns by 22.5 degrees.
const double kRotationStep = 0.3926990816875;

bool SamePoint(const DPoint& p, const DPoint& q)
{
    return p.x == q.x && p.y == q.y;
}

} // namespace

CUndoGroupRef CSelectObject::DragGroup() const
{
    if (dragStep.IsInvalid())
        return CUndoGroupRef();
    const CListNodeRef last = undoList->GetLast();
    if (last.IsInvalid() || last.Resolve() != dragStep.Resolve())
        return CUndoGroupRef();
    return GroupOf(dragStep);
}

bool CSelectObject::DeformationGoesOn(int kind) const
{
    if (kind < 4 || changeRecord.kind != kind)
        return false;
    bool same = true;
    for (int i = 0; i < 4; i++)
        same = same && SamePoint(Entry(changeRecord, i), editBox[kCornerOfEntry[i]]);
    // The earlier deformation goes on only while its step is the newest:
    // any step since has copies of its own that are not this one's.
    const CListNodeRef last = undoList.IsValid() ? undoList->GetLast() : CListNodeRef();
    return same && deformStep.IsValid() && last.IsValid() && last.Resolve() == deformStep.Resolve();
}

bool CSelectObject::SelectPress(const DPoint& p, int, int handle)
{
    dragStep = CListNodeRef();
    dragStepOpened = false;
    if (selectedCount == 0)
        return false;
    toolValues[0] = p.x;
    toolValues[1] = p.y;
    if (handle < 0 || handle >= GetHandleCount())
        handle = -1;
    int kind = 1;
    if (handle != -1) {
        switch (boxHandleMode) {
        case MODE_SCALE:
            kind = 2;
            break;
        case MODE_ROTATE:
            kind = 3;
            break;
        case MODE_CORNERS:
            kind = 4;
            break;
        default:
            kind = 5;
            break;
        }
    }
    if (DeformationGoesOn(kind)) {
        dragStep = deformStep;
        pressRecord = changeRecord;
        for (int i = 0; i < 4; i++)
            pressBox[i] = editBox[i];
        pressBox[4] = boxPoints[4];
        return false;
    }
    ChangeRecord& r = changeRecord;
    std::memset(&r, 0, sizeof r);
    r.kind = kind;
    switch (kind) {
    case 1:
        r.a = r.b = p;
        break;
    case 2:
        r.a = GetHandlePoint(GetOppositeHandle(handle));
        r.b = GetHandlePoint(handle);
        r.c = DPoint{1.0, 1.0};
        break;
    case 3:
        r.a = boxPoints[4];
        r.b = p;
        break;
    default:
        r.a = editBox[0];
        r.b = editBox[1];
        for (int i = 0; i < 4; i++)
            Entry(r, i) = editBox[kCornerOfEntry[i]];
        if (kind == 5) {
            const double third = 1.0 / 3.0;
            for (int k = 0; k < 4; k++) {
                const DPoint& from = Entry(r, k);
                const DPoint& to = Entry(r, (k + 1) % 4);
                r.g[2 * k] = InterpolatePoint(from, to, third);
                r.g[2 * k + 1] = InterpolatePoint(to, from, third);
            }
        }
        break;
    }
    static const int codes[6] = {0,
                                 CUndoGroup::STEP_MOVE,
                                 CUndoGroup::STEP_SCALE,
                                 CUndoGroup::STEP_ROTATE,
                                 CUndoGroup::STEP_DEFORM,
                                 CUndoGroup::STEP_DEFORM};
    OpenUndoGroup(codes[kind], true);
    dragStep = undoList->GetLast();
    dragStepOpened = true;
    deformStep = kind >= 4 ? dragStep : CListNodeRef();
    for (int i = 0; i < 4; i++)
        boxPoints[i] = editBox[i];
    boxPoints[5] = boxPoints[4];
    CTreeNodeRef parent;
    GetEditParent(parent);
    ForEachChild(parent, [this](const CTreeNodeRef& node, const CGraObjectRef& o) {
        if (o->GetEditMode() == 0)
            return;
        CGraObjectRef copy(
            ZuObjectRef(ZuClassFactory::New(o->RetRuntime(), nullptr, __LINE__, kSource)));
        if (copy.IsInvalid())
            return;
        CTreeNodeRef copyNode = ZuNew<CTreeNode>(nullptr, __LINE__, kSource);
        copyNode->SetObject(copy);
        copy->CopyFrom(o);
        copy->SaveGeometry(changeRecord);
        CUndoActionRef action = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
        action->RecordReplace(copyNode, node);
        AddUndoAction(action);
    });
    return true;
}

void CSelectObject::DragTo(const DPoint& p, int modifiers, int handle)
{
    const DPoint at = ConstrainPoint(p, modifiers, handle);
    ChangeRecord& r = changeRecord;
    bool moveCentre = true;
    switch (r.kind) {
    case 1:
        r.b = at;
        break;
    case 2: {
        DPoint f = PointRatio(r.a, r.b, at);
        // An axis along which the box has no extent has nothing to scale.
        if (handle == 4 || handle == 5 || r.a.x == r.b.x)
            f.x = 1.0;
        if (handle == 6 || handle == 7 || r.a.y == r.b.y)
            f.y = 1.0;
        r.c = f;
        break;
    }
    case 3:
        if (handle == 4) {
            boxPoints[4] = at;
            moveCentre = false;
        } else {
            double angle = AngleBetween(r.a, r.b, at);
            if ((modifiers & 2) != 0)
                angle = int(angle * 2.546479089543109 + 0.19634954084375) * kRotationStep;
            r.c.x = angle;
        }
        break;
    case 4:
    case 5:
        if (handle >= 0 && handle < 4) {
            const int k = kEntryOfHandle[handle];
            if (r.kind == 5) {
                // The edge points on the corner's two edges keep their
                // places along the edges.
                DPoint corners[4];
                for (int i = 0; i < 4; i++)
                    corners[i] = Entry(r, i);
                DPoint moved[4];
                for (int i = 0; i < 4; i++)
                    moved[i] = corners[i];
                moved[k] = at;
                for (int e : {k, (k + 3) % 4}) {
                    const int next = (e + 1) % 4;
                    for (int j : {2 * e, 2 * e + 1}) {
                        const double t = LineParam(corners[e], corners[next], r.g[j]);
                        r.g[j] = InterpolatePoint(moved[e], moved[next], t);
                    }
                }
            }
            Entry(r, k) = at;
        } else if (r.kind == 5 && handle >= 4 && handle < 12) {
            r.g[handle - 4] = at;
        }
        break;
    default:
        break;
    }
    ApplyChangeRecord(moveCentre);
    if (selectedCount == 1) {
        const CUndoGroupRef group = DragGroup();
        if (group.IsValid()) {
            group->StartIteration();
            const CUndoActionRef action = group->NextAction();
            if (action.IsValid())
                RefreshPropertyDlg(DrawingObject(action->GetAttachNode()), at, 0);
        }
    }
}

void CSelectObject::ApplyChangeRecord(bool moveCentre)
{
    for (int i = 0; i < 4; i++) {
        DPoint q = boxPoints[i];
        TransformPoints(q, q, changeRecord);
        editBox[i] = q;
    }
    if (moveCentre) {
        DPoint q = boxPoints[5];
        TransformPoints(q, q, changeRecord);
        boxPoints[4] = q;
    }
    const CUndoGroupRef group = DragGroup();
    if (group.IsInvalid())
        return;
    group->StartIteration();
    for (CUndoActionRef action = group->NextAction(); action.IsValid();
         action = group->NextAction()) {
        const CGraObjectRef copy = DrawingObject(action->GetAttachNode());
        if (copy.IsValid())
            copy->Transform(changeRecord, selectOption);
    }
}

bool CSelectObject::SelectDrag(const DPoint& p, int modifiers, int handle)
{
    if (DragGroup().IsInvalid())
        return false;
    DragTo(p, modifiers, handle);
    return true;
}

bool CSelectObject::SelectRelease(const DPoint& p, int modifiers, int handle)
{
    const CUndoGroupRef group = DragGroup();
    const bool opened = dragStepOpened;
    if (group.IsInvalid()) {
        dragStep = CListNodeRef();
        return false;
    }
    const bool inPlace = p.x == toolValues[0] && p.y == toolValues[1];
    if (inPlace && !opened) {
        // A press that went on with a finished deformation, released where
        // it was pressed: everything as it was at the press.
        changeRecord = pressRecord;
        ApplyChangeRecord(true);
        for (int i = 0; i < 4; i++)
            editBox[i] = pressBox[i];
        boxPoints[4] = pressBox[4];
        dragStep = CListNodeRef();
        return false;
    }
    DragTo(p, modifiers, handle);
    dragStep = CListNodeRef();
    if (changeRecord.kind == 3 && handle == 4) {
        // The centre moved: the step stays, and its undo puts the centre
        // back through the state it saved.
        if (document.IsValid())
            document->SetModified(true);
        UpdateSelectionCommands();
        return true;
    }
    if (inPlace) {
        CancelLastUndoGroup();
        for (int i = 0; i < 4; i++)
            editBox[i] = boxPoints[i];
        boxPoints[4] = boxPoints[5];
        deformStep = CListNodeRef();
        UpdateSelectionCommands();
        return false;
    }
    CTreeNodeRef last;
    group->StartIteration();
    for (CUndoActionRef action = group->NextAction(); action.IsValid();
         action = group->NextAction()) {
        const CTreeNodeRef node = action->GetAttachNode();
        const CGraObjectRef copy = DrawingObject(node);
        if (copy.IsInvalid())
            continue;
        copy->AcceptsChange(changeRecord);
        if (editPort.IsValid())
            copy->UpdateBoundingBox(editPort);
        last = node;
    }
    if (last.IsValid())
        UpdateEnclosingBoxes(last, false);
    if (document.IsValid())
        document->SetModified(true);
    UpdateSelectionCommands();
    return true;
}

void CSelectObject::RefreshPropertyDlg(const CGraObjectRef& object, const DPoint& position,
                                       int option)
{
    IEditShell& shell = RetEditShell();
    if (object.IsValid() && shell.IsPropertyDlgVisible())
        shell.RefreshObjectProperties(object, position, option);
}

// ---------------------------------------------------------------- drawing new objects

bool CSelectObject::CreatePress(const DPoint& p, int option, int code)
{
    boxPoints[6] = p;
    if (drawing && newObject.IsValid()) {
        newObject->SetPoints(&p, option);
        return true;
    }
    newObject = NewGraObject(GetGraObjectRuntime(code));
    if (newObject.IsInvalid())
        return false;
    newObject->SetPoints(&p, option);
    for (int kind : kKindOrder) {
        const CDefRef def = GetCurrentDef(kind);
        if (def.IsValid())
            newObject->SetDefinition(kind, def);
    }
    newObject->PruneDefinitions();
    return true;
}

void CSelectObject::CreateDrag(const DPoint& p, int option)
{
    if (newObject.IsValid())
        newObject->PlacePoint(p, option);
}

void CSelectObject::CreateAddPoint(const DPoint& p, int option, bool withStart)
{
    if (newObject.IsInvalid())
        return;
    if (newObject->DragPoint(p, option)) {
        if (withStart)
            newObject->DragPoint(boxPoints[6], option);
        if (!drawing) {
            drawing = true;
            UpdateSelectionCommands();
        }
    } else if (!withStart) {
        CreateFinish(false);
    }
}

bool CSelectObject::IsCreatingText() const
{
    return newObject.IsValid() && newObject->HasText();
}

void CSelectObject::EndCreating()
{
    if (!drawing)
        return;
    drawing = false;
    UpdateSelectionCommands();
}

void CSelectObject::DropCreated()
{
    newObject = CGraObjectRef();
    EndCreating();
}

bool CSelectObject::CreateFinish(bool select)
{
    EndCreating();
    // The object leaves the tool here: later drags must not reach it in
    // the tree.
    const CGraObjectRef o = newObject;
    newObject = CGraObjectRef();
    if (viewSettings.IsValid() && viewSettings->switches[CView::SELECT_NEW_OBJECTS])
        select = true;
    CTreeNodeRef parent;
    GetEditParent(parent);
    if (o.IsInvalid() || parent.IsInvalid() || !o->CanRemovePoint())
        return false;
    if (editPort.IsValid())
        o->UpdateBoundingBox(editPort);
    CTreeNodeRef node = ZuNew<CTreeNode>(nullptr, __LINE__, kSource);
    node->SetObject(o);
    InsertNewObject(node, parent);
    if (select)
        AddToSelection(node);
    if (document.IsValid())
        document->SetModified(true);
    return true;
}

void CSelectObject::InsertNewObject(CTreeNodeRef node, CTreeNodeRef parent)
{
    CUndoActionRef action = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
    action->RecordInsert(node, parent, CUndoAction::LAST_CHILD);
    OpenUndoGroup(CUndoGroup::STEP_INSERT, true);
    AddUndoAction(action);
    UpdateEnclosingBoxes(node, false);
    if (document.IsValid())
        document->SetModified(true);
}

// ---------------------------------------------------------------- one object's handles

void CSelectObject::BeginHandleEdit(int handle, const DPoint& p)
{
    singleSelectedPart = handle;
    toolValues[0] = p.x;
    toolValues[1] = p.y;
    // Where the handle itself stands, so that the release can put the
    // object back exactly as it was.
    CTreeNodeRef node;
    GetFirstSelectedNode(node);
    const CGraObjectRef o = DrawingObject(node);
    handleStart = selectedCount == 1 && o.IsValid() ? o->GetHandlePosition(handle) : p;
}

void CSelectObject::HandleEditDrag(const DPoint& p, int option)
{
    if (selectedCount != 1 || singleSelectedPart < 0)
        return;
    CTreeNodeRef node;
    GetFirstSelectedNode(node);
    const CGraObjectRef o = DrawingObject(node);
    if (o.IsInvalid())
        return;
    o->MoveHandle(singleSelectedPart, p);
    RefreshPropertyDlg(o, p, option);
}

bool CSelectObject::HandleEditRelease(const DPoint& p, int option)
{
    const int handle = singleSelectedPart;
    singleSelectedPart = -1;
    if (selectedCount != 1 || handle < 0)
        return false;
    CTreeNodeRef node;
    GetFirstSelectedNode(node);
    const CGraObjectRef o = DrawingObject(node);
    if (o.IsInvalid())
        return false;
    o->MoveHandle(handle, handleStart);
    CGraObjectRef copy(
        ZuObjectRef(ZuClassFactory::New(o->RetRuntime(), nullptr, __LINE__, kSource)));
    if (copy.IsInvalid())
        return false;
    CTreeNodeRef copyNode = ZuNew<CTreeNode>(nullptr, __LINE__, kSource);
    copyNode->SetObject(copy);
    copy->CopyFrom(o);
    copy->MoveHandle(handle, p);
    if (editPort.IsValid())
        copy->UpdateBoundingBox(editPort);
    CUndoActionRef action = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
    action->RecordReplace(copyNode, node);
    OpenUndoGroup(CUndoGroup::STEP_MOVE, true);
    AddUndoAction(action);
    UpdateEnclosingBoxes(copyNode, false);
    RefreshPropertyDlg(copy, p, option);
    if (document.IsValid())
        document->SetModified(true);
    return true;
}

// ---------------------------------------------------------------- current definitions

CDefRef CSelectObject::GetCurrentDef(int kind) const
{
    return RetEditShell().RetCurrentDefinition(kind);
}

void CSelectObject::SetCurrentDef(int kind, const ZuObjectRef& def)
{
    const std::int64_t start = ZuTime::NowLocalAbsTime();
    RetEditShell().SetCurrentDefinition(kind, CDefRef(def));
    if (document.IsValid())
        document->SetModified(true);
    Zuvi_Trace("CSelectObject::SetCurrentDef att=%d t=%d\n", kind,
               int(ZuTime::NowLocalAbsTime() - start));
}

void CSelectObject::SetCurrentAll(CGraObjectRef object)
{
    const std::int64_t start = ZuTime::NowLocalAbsTime();
    if (object.IsValid()) {
        for (int kind : kKindOrder) {
            ZuObjectRef def;
            if (!object->GetDefinition(kind, def))
                continue;
            // A kind the object answers without a definition leaves the
            // dialog's alone.
            if (def.IsValid() && def->IsKindOf(CDefRef::RetRuntime()))
                SetCurrentDef(kind, def);
        }
    }
    const std::int64_t looped = ZuTime::NowLocalAbsTime();
    RetEditShell().RedisplayDefinitions();
    const std::int64_t end = ZuTime::NowLocalAbsTime();
    Zuvi_Trace("CSelectObject::SetCurrentAll t=%d (%d %d)\n", int(end - start), int(looped - start),
               int(end - looped));
}

namespace {

// The object's kinds marked in used; a kind outside the work arrays is
// passed over.
void MarkKinds(const CGraObjectRef& object, bool* used)
{
    int list[2 * CSelectObject::KINDS];
    std::memset(list, 0, sizeof list);
    object->GetDefinitionKinds(list);
    // A list that never ends stops at the buffer's end.
    list[2 * CSelectObject::KINDS - 1] = 0;
    for (const int* k = list; *k != 0; k++)
        if (*k > 0 && *k < CSelectObject::KINDS)
            used[*k] = true;
}

// The marked kinds in increasing order, ended by 0.
std::vector<int> KindList(const bool* marked)
{
    std::vector<int> out;
    for (int k = 1; k < CSelectObject::KINDS; k++)
        if (marked[k])
            out.push_back(k);
    out.push_back(0);
    return out;
}

} // namespace

void CSelectObject::ShowKindsOfSelection()
{
    ZuArrayRef array = ZuNew<ZuArray>(nullptr, __LINE__, kSource);
    array->SetSize(KINDS);
    CDefArray defs = array;
    bool same[KINDS];
    bool used[KINDS];
    for (int k = 0; k < KINDS; k++) {
        same[k] = true;
        used[k] = false;
    }
    CTreeNodeRef parent;
    GetEditParent(parent);
    bool done = false;
    ForEachChild(parent, [&](const CTreeNodeRef&, const CGraObjectRef& o) {
        if (done || o->GetEditMode() == 0)
            return;
        MarkKinds(o, used);
        CollectCommonDefs(o, defs, same);
        done = selectedCount == 1;
    });
    bool differing[KINDS];
    for (int k = 0; k < KINDS; k++)
        differing[k] = !same[k];
    const std::vector<int> first = KindList(used);
    const std::vector<int> second = KindList(differing);
    IEditShell& shell = RetEditShell();
    shell.SetDefDlgUsedKinds(first.data(), second.data());
    shell.SetSampleDlgUsedKinds(first.data(), second.data());
}

void CSelectObject::ShowKindsOfNewObject(int code)
{
    std::vector<int> first;
    const CGraObjectRef o = NewGraObject(GetGraObjectRuntime(code));
    if (o.IsValid()) {
        int list[2 * KINDS];
        std::memset(list, 0, sizeof list);
        o->GetDefinitionKinds(list);
        list[2 * KINDS - 1] = 0;
        for (const int* k = list; *k != 0; k++)
            if (*k > 0 && *k < KINDS)
                first.push_back(*k);
    }
    first.push_back(0);
    const int none[1] = {0};
    IEditShell& shell = RetEditShell();
    shell.SetDefDlgUsedKinds(first.data(), none);
    shell.SetSampleDlgUsedKinds(first.data(), none);
}

// ---------------------------------------------------------------- whole-selection edits

namespace {

// Each selected child of parent in the direction given, at most count of
// them (all when count < 0); the walk has moved on when f gets a node.
template <class F>
void ForEachSelected(const CTreeNodeRef& parent, int direction, int count, F f)
{
    if (parent.IsInvalid())
        return;
    CTreeItRef it = ZuNew<CTreeIt>(nullptr, __LINE__, kSource);
    it->Init(parent, direction);
    while (count != 0) {
        CTreeNodeRef node;
        it->Next(node);
        if (node.IsInvalid())
            break;
        const CGraObjectRef o = DrawingObject(node);
        if (o.IsInvalid() || o->GetEditMode() == 0)
            continue;
        if (count > 0)
            --count;
        f(node, o);
    }
}

} // namespace

CTreeNodeRef CSelectObject::CopyInNewNode(const CGraObjectRef& object, CGraObjectRef& copy) const
{
    copy = NewGraObject(object->RetRuntime());
    if (copy.IsInvalid())
        return CTreeNodeRef();
    CTreeNodeRef node = ZuNew<CTreeNode>(nullptr, __LINE__, kSource);
    node->SetObject(copy);
    copy->CopyFrom(object);
    return node;
}

void CSelectObject::ChangeCopy(const CGraObjectRef& copy, const ChangeRecord& record)
{
    copy->SaveGeometry(record);
    copy->Transform(record, false);
    copy->AcceptsChange(record);
    if (editPort.IsValid())
        copy->UpdateBoundingBox(editPort);
}

void CSelectObject::RecordReplaceNode(const CTreeNodeRef& fresh, const CTreeNodeRef& old)
{
    CUndoActionRef action = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
    action->RecordReplace(fresh, old);
    AddUndoAction(action);
    UpdateEnclosingBoxes(fresh, false);
}

// Each selected object of the edit parent replaced, as one recorded action,
// by a copy that `change` alters first; an object that cannot be copied
// stays.
template <class F>
void CSelectObject::ReplaceSelectedByCopies(F change)
{
    CTreeNodeRef parent;
    GetEditParent(parent);
    ForEachSelected(parent, 1, -1, [&](const CTreeNodeRef& old, const CGraObjectRef& o) {
        CGraObjectRef copy;
        const CTreeNodeRef node = CopyInNewNode(o, copy);
        if (node.IsInvalid())
            return;
        change(copy);
        RecordReplaceNode(node, old);
    });
}

CTreeRef CSelectObject::CopySelectionToTree()
{
    CTreeRef tree = ZuNew<CTree>(nullptr, __LINE__, kSource);
    const CTreeNodeRef root = tree->RetRoot();
    CTreeNodeRef parent;
    GetEditParent(parent);
    ForEachSelected(parent, 1, -1, [&](const CTreeNodeRef&, const CGraObjectRef& o) {
        CGraObjectRef copy;
        const CTreeNodeRef node = CopyInNewNode(o, copy);
        if (node.IsInvalid())
            return;
        if (editPort.IsValid())
            copy->UpdateBoundingBox(editPort);
        node->InsertLastChild(root);
    });
    return tree;
}

void CSelectObject::RemoveSelected(int oper, const CTreeRef& clipboard)
{
    OpenUndoGroup(oper, true);
    CTreeNodeRef parent;
    GetEditParent(parent);
    ForEachSelected(parent, 1, -1, [this](const CTreeNodeRef& node, const CGraObjectRef&) {
        CUndoActionRef action = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
        action->RecordRemove(node);
        AddUndoAction(action);
    });
    if (clipboard.IsValid())
        RetEditShell().SetClipboard(clipboard);
    UpdateEnclosingBoxes(parent, true);
    selectedCount = 0;
    selectedAlone = false;
    editingObject = false;
    UpdateSelectionCommands();
    if (clipboard.IsValid())
        UpdateClipboardCommands();
    RebuildPropertyDlg(false);
    if (document.IsValid())
        document->SetModified(true);
}

bool CSelectObject::DeleteSelected()
{
    if (selectedCount == 0)
        return false;
    RemoveSelected(CUndoGroup::STEP_DELETE, CTreeRef());
    return true;
}

bool CSelectObject::Cut()
{
    if (selectedCount == 0)
        return false;
    // The copies are made before anything leaves the tree.
    RemoveSelected(CUndoGroup::STEP_CUT, CopySelectionToTree());
    return true;
}

bool CSelectObject::Copy()
{
    if (selectedCount == 0)
        return false;
    RetEditShell().SetClipboard(CopySelectionToTree());
    UpdateClipboardCommands();
    return true;
}

bool CSelectObject::Paste()
{
    const CTreeRef clipboard = RetEditShell().RetClipboard();
    if (clipboard.IsInvalid())
        return false;
    EndSelection();
    OpenUndoGroup(CUndoGroup::STEP_PASTE, true);
    CTreeNodeRef parent;
    GetEditParent(parent);
    ForEachChild(clipboard->RetRoot(), [&](const CTreeNodeRef&, const CGraObjectRef& o) {
        CGraObjectRef copy;
        const CTreeNodeRef node = CopyInNewNode(o, copy);
        if (node.IsInvalid() || parent.IsInvalid())
            return;
        // Pasted copies are the new selection, whatever mode the cut
        // objects had (one taken into its own editing included).
        copy->SetEditMode(1);
        if (editPort.IsValid())
            copy->UpdateBoundingBox(editPort);
        CUndoActionRef action = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
        action->RecordInsert(node, parent, CUndoAction::LAST_CHILD);
        AddUndoAction(action);
        ++selectedCount;
    });
    UpdateEnclosingBoxes(parent, true);
    FitBoxToSelection();
    FitBoxToSelectedObjects();
    UpdateSelectionCommands();
    UpdateClipboardCommands();
    RebuildPropertyDlg(false);
    if (document.IsValid())
        document->SetModified(true);
    return true;
}

bool CSelectObject::ApplyDefinitions(const int* kinds, int n)
{
    if (drawing) {
        if (newObject.IsInvalid())
            return false;
        for (int i = 0; i < n; i++)
            newObject->SetDefinition(kinds[i], GetCurrentDef(kinds[i]));
        newObject->PruneDefinitions();
        return true;
    }
    if (selectedCount == 0)
        return false;
    OpenUndoGroup(CUndoGroup::STEP_DEFINITIONS, true);
    ReplaceSelectedByCopies([&](const CGraObjectRef& copy) {
        for (int i = 0; i < n; i++)
            copy->SetDefinition(kinds[i], GetCurrentDef(kinds[i]));
        copy->PruneDefinitions();
        // What the copy needs now (a shadow's pen and fills) from the
        // current definitions too; room for as many kinds as there are.
        int missing[KINDS] = {};
        int count = 0;
        copy->GetMissingDefinitions(missing, &count);
        for (int i = 0; i < count && i < KINDS; i++)
            copy->SetDefinition(missing[i], GetCurrentDef(missing[i]));
        if (editPort.IsValid())
            copy->UpdateBoundingBox(editPort);
    });
    MergeLastUndoGroups();
    FitBoxToSelectedObjects();
    if (document.IsValid())
        document->SetModified(true);
    return true;
}

bool CSelectObject::SetPropertyValue(int refresh, int property, double value, int kind)
{
    if (selectedCount == 0)
        return false;
    OpenUndoGroup(CUndoGroup::STEP_PROPERTY, true);
    CTreeNodeRef parent;
    GetEditParent(parent);
    if (selectedCount == 1) {
        CTreeNodeRef old;
        GetFirstSelectedNode(old);
        const CGraObjectRef o = DrawingObject(old);
        CGraObjectRef copy;
        const CTreeNodeRef node = o.IsValid() ? CopyInNewNode(o, copy) : CTreeNodeRef();
        if (node.IsValid()) {
            copy->SetPropertyValue(property, value);
            if (editPort.IsValid())
                copy->UpdateBoundingBox(editPort);
            RecordReplaceNode(node, old);
            RefreshPropertyDlg(copy, GetCenter(), refresh);
            ZuObjectRef def;
            if (kind != -1 && copy->GetDefinition(kind, def) && def.IsValid())
                SetCurrentDef(kind, def);
            FitBoxToSelectedObjects();
        }
    } else {
        const DPoint centre = PageToUserPoint(GetCenter());
        ChangeRecord record;
        std::memset(&record, 0, sizeof record);
        record.kind = 1;
        if (property == 0)
            record.b.x = value - centre.x;
        else
            record.b.y = value - centre.y;
        TransformPoints(editBox[0], editBox[1], record);
        TransformPoints(editBox[2], editBox[3], record);
        ReplaceByChangedCopies(record);
        RefreshPropertyDlg(CGraObjectRef(), GetCenter(), refresh);
    }
    MergeLastUndoGroups();
    if (document.IsValid())
        document->SetModified(true);
    return true;
}

bool CSelectObject::EditPoints(int a, int b, const DPoint& p, int command)
{
    if (selectedCount == 0)
        return false;
    OpenUndoGroup(CUndoGroup::STEP_EDIT_POINTS, true);
    ReplaceSelectedByCopies([&](const CGraObjectRef& copy) {
        copy->EditPoints(a, b, p, command);
        if (editPort.IsValid())
            copy->UpdateBoundingBox(editPort);
    });
    if (document.IsValid())
        document->SetModified(true);
    return true;
}

void CSelectObject::ReplaceByChangedCopies(const ChangeRecord& record)
{
    ReplaceSelectedByCopies([&](const CGraObjectRef& copy) { ChangeCopy(copy, record); });
}

// ---------------------------------------------------------------- stacking order and groups

bool CSelectObject::Restack(int oper, int direction, const CTreeNodeRef& attach, int mode)
{
    OpenUndoGroup(oper, true);
    CTreeNodeRef parent;
    GetEditParent(parent);
    // The count keeps an object moved to the end the walk goes to from
    // being met again.
    ForEachSelected(parent, direction, selectedCount,
                    [&](const CTreeNodeRef& node, const CGraObjectRef&) {
                        CUndoActionRef out = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
                        out->RecordRemove(node);
                        AddUndoAction(out);
                        CUndoActionRef in = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
                        in->RecordInsert(node, attach, mode);
                        AddUndoAction(in);
                    });
    if (document.IsValid())
        document->SetModified(true);
    return true;
}

bool CSelectObject::SendToFront()
{
    if (selectedCount == 0)
        return false;
    CTreeNodeRef parent;
    GetEditParent(parent);
    return Restack(CUndoGroup::STEP_SEND_TO_FRONT, 1, parent, CUndoAction::LAST_CHILD);
}

bool CSelectObject::SendToBack()
{
    if (selectedCount == 0)
        return false;
    CTreeNodeRef parent;
    GetEditParent(parent);
    return Restack(CUndoGroup::STEP_SEND_TO_BACK, -1, parent, CUndoAction::FIRST_CHILD);
}

bool CSelectObject::MoveToFront()
{
    if (selectedCount == 0)
        return false;
    CTreeNodeRef parent;
    GetEditParent(parent);
    CTreeNodeRef front;
    ForEachSelected(parent, -1, 1,
                    [&front](const CTreeNodeRef& node, const CGraObjectRef&) { front = node; });
    if (front.IsInvalid())
        return false;
    const CTreeNodeRef next = front->RetNext();
    if (next.IsInvalid())
        return false;
    const CTreeNodeRef after = next->RetNext();
    if (after.IsValid())
        return Restack(CUndoGroup::STEP_MOVE_TO_FRONT, 1, after, CUndoAction::BEFORE);
    return Restack(CUndoGroup::STEP_MOVE_TO_FRONT, 1, CTreeNodeRef(next->RetParent()),
                   CUndoAction::LAST_CHILD);
}

bool CSelectObject::MoveToBack()
{
    if (selectedCount == 0)
        return false;
    CTreeNodeRef parent;
    GetEditParent(parent);
    CTreeNodeRef back;
    ForEachSelected(parent, 1, 1,
                    [&back](const CTreeNodeRef& node, const CGraObjectRef&) { back = node; });
    if (back.IsInvalid())
        return false;
    const CTreeNodeRef previous = back->RetPrev();
    if (previous.IsInvalid())
        return false;
    const CTreeNodeRef before = previous->RetPrev();
    if (before.IsValid())
        return Restack(CUndoGroup::STEP_MOVE_TO_BACK, -1, before, CUndoAction::AFTER);
    return Restack(CUndoGroup::STEP_MOVE_TO_BACK, -1, CTreeNodeRef(previous->RetParent()),
                   CUndoAction::FIRST_CHILD);
}

bool CSelectObject::Group()
{
    if (selectedCount == 0)
        return false;
    CTreeNodeRef parent;
    GetEditParent(parent);
    if (parent.IsInvalid())
        return false;
    OpenUndoGroup(CUndoGroup::STEP_GROUP, true);
    DRect box{0.0, 0.0, 0.0, 0.0};
    GetSelectionBox(box);
    CGraGroupRef group = ZuNew<CGraGroup>(nullptr, __LINE__, kSource);
    group->SetHandlePosition(0, DPoint{box.x1, box.y1});
    group->SetHandlePosition(1, DPoint{box.x2, box.y2});
    if (editPort.IsValid())
        group->UpdateBoundingBox(editPort);
    CTreeNodeRef groupNode = ZuNew<CTreeNode>(nullptr, __LINE__, kSource);
    groupNode->SetObject(group);
    CUndoActionRef insert = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
    insert->RecordInsert(groupNode, parent, CUndoAction::LAST_CHILD);
    AddUndoAction(insert);
    ForEachSelected(parent, 1, selectedCount,
                    [&](const CTreeNodeRef& node, const CGraObjectRef& o) {
                        CUndoActionRef out = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
                        out->RecordRemove(node);
                        AddUndoAction(out);
                        CUndoActionRef in = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
                        in->RecordInsert(node, groupNode, CUndoAction::LAST_CHILD);
                        AddUndoAction(in);
                        o->SetEditMode(0);
                    });
    group->SetEditMode(1);
    selectedCount = 1;
    FitBoxToSelection();
    UpdateSelectionCommands();
    RebuildPropertyDlg(false);
    if (document.IsValid())
        document->SetModified(true);
    return true;
}

bool CSelectObject::Ungroup()
{
    if (!IsSingleGroupSelected())
        return false;
    const CTreeNodeRef groupNode = singleSelectedNode;
    OpenUndoGroup(CUndoGroup::STEP_UNGROUP, true);
    ForEachChild(groupNode, [&](const CTreeNodeRef& node, const CGraObjectRef& o) {
        o->SetEditMode(1);
        ++selectedCount;
        CUndoActionRef out = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
        out->RecordRemove(node);
        AddUndoAction(out);
        CUndoActionRef in = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
        in->RecordInsert(node, groupNode, CUndoAction::BEFORE);
        AddUndoAction(in);
    });
    CUndoActionRef out = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
    out->RecordRemove(groupNode);
    AddUndoAction(out);
    --selectedCount;
    FitBoxToSelection();
    UpdateSelectionCommands();
    RebuildPropertyDlg(false);
    if (document.IsValid())
        document->SetModified(true);
    return true;
}

// ---------------------------------------------------------------- duplicate, mirror, rotate

bool CSelectObject::Duplicate(const DPoint& offset)
{
    if (selectedCount == 0)
        return false;
    ChangeRecord record;
    std::memset(&record, 0, sizeof record);
    record.kind = 1;
    record.b = offset;
    // The box follows the copies; its centre point stays.
    TransformPoints(editBox[0], editBox[1], record);
    TransformPoints(editBox[2], editBox[3], record);
    OpenUndoGroup(CUndoGroup::STEP_DUPLICATE, true);
    CTreeNodeRef parent;
    GetEditParent(parent);
    // The copies go to the end of the children walked: the count stops the
    // walk before it meets them.
    ForEachSelected(parent, 1, selectedCount, [&](const CTreeNodeRef&, const CGraObjectRef& o) {
        CGraObjectRef copy;
        const CTreeNodeRef node = CopyInNewNode(o, copy);
        if (node.IsInvalid())
            return;
        ChangeCopy(copy, record);
        if (editPort.IsValid())
            o->UpdateBoundingBox(editPort);
        o->SetEditMode(0);
        CUndoActionRef action = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
        action->RecordInsert(node, parent, CUndoAction::LAST_CHILD);
        AddUndoAction(action);
        UpdateEnclosingBoxes(node, false);
        if (selectedCount == 1)
            RefreshPropertyDlg(copy, offset, -1);
    });
    if (document.IsValid())
        document->SetModified(true);
    return true;
}

// Mirroring and turning about the selection's centre: one step of changed
// copies, the record's kind and factors as given.
bool CSelectObject::ChangeAboutCentre(int oper, int kind, const DPoint& factors)
{
    if (selectedCount == 0)
        return false;
    OpenUndoGroup(oper, true);
    std::memset(&changeRecord, 0, sizeof changeRecord);
    changeRecord.kind = kind;
    changeRecord.a = GetCenter();
    changeRecord.c = factors;
    ReplaceByChangedCopies(changeRecord);
    FitBoxToSelectedObjects();
    if (document.IsValid())
        document->SetModified(true);
    return true;
}

bool CSelectObject::MirrorX()
{
    return ChangeAboutCentre(CUndoGroup::STEP_MIRROR_X, 2, DPoint{-1.0, 1.0});
}

bool CSelectObject::MirrorY()
{
    return ChangeAboutCentre(CUndoGroup::STEP_MIRROR_Y, 2, DPoint{1.0, -1.0});
}

bool CSelectObject::Rotate90()
{
    return Rotate(1.57079632675, CUndoGroup::STEP_ROTATE_90);
}

bool CSelectObject::Rotate180()
{
    return Rotate(3.1415926535, CUndoGroup::STEP_ROTATE_180);
}

bool CSelectObject::Rotate270()
{
    return Rotate(4.71238898025, CUndoGroup::STEP_ROTATE_270);
}

bool CSelectObject::Rotate(double angle, int oper)
{
    return ChangeAboutCentre(oper, 3, DPoint{angle, 0.0});
}

// ---------------------------------------------------------------- alignment, distribution, the grid

namespace {

// Where the view settings keep the grid: its own origin in the first two
// further values, its steps in the last two.
const int kGridOriginValue = 0;
const int kGridStepValue = 4;

DPoint RectMiddle(const DRect& r)
{
    return DPoint{(r.x1 + r.x2) * 0.5, (r.y1 + r.y2) * 0.5};
}

double SnapAxis(double p, double origin, double step)
{
    if (step == 0.0)
        return p;
    if (p >= origin)
        return origin + std::trunc((p - origin + step / 2) / step) * step;
    return origin - std::trunc((origin - p + step / 2) / step) * step;
}

} // namespace

DRect CSelectObject::PageRect() const
{
    const double w = document.IsValid() ? document->GetPageWidth() : 0.0;
    const double h = document.IsValid() ? document->GetPageHeight() : 0.0;
    return DRect{-w / 2, -h / 2, w / 2, h / 2};
}

void CSelectObject::GetObjectBox(DRect& out, const CGraObjectRef& object, int flags) const
{
    out = (flags & BOUNDING_BOXES) != 0 ? object->GetBoundingBox() : object->GetHandlesBox();
}

template <class F>
void CSelectObject::MoveEachSelected(int flags, F offsetOf)
{
    std::memset(&changeRecord, 0, sizeof changeRecord);
    changeRecord.kind = 1;
    CTreeNodeRef parent;
    GetEditParent(parent);
    int j = 0;
    ForEachSelected(parent, 1, -1, [&](const CTreeNodeRef& old, const CGraObjectRef& o) {
        // Every selected object keeps its place in the count, copied or
        // not, so that each finds its own entry.
        const int index = j++;
        DRect box;
        GetObjectBox(box, o, flags);
        CGraObjectRef copy;
        const CTreeNodeRef node = CopyInNewNode(o, copy);
        if (node.IsInvalid())
            return;
        changeRecord.b = offsetOf(index, box);
        ChangeCopy(copy, changeRecord);
        RecordReplaceNode(node, old);
    });
}

bool CSelectObject::Align(int flags)
{
    if (selectedCount < 2)
        return false;
    CTreeNodeRef parent;
    GetEditParent(parent);
    DRect r{0.0, 0.0, 0.0, 0.0};
    if ((flags & ON_GUIDE) != 0) {
        // The guide is checked before the step opens: a refusal leaves no
        // empty step behind.
        bool horizontal = false;
        int index = -1;
        if (document.IsValid())
            document->GetCurrentGuide(horizontal, index);
        if (index < 0 || index >= document->GetGuideCount(horizontal))
            return false;
        const double g = document->GetGuide(horizontal, index);
        if (horizontal) {
            if ((flags & (ALIGN_LEFT | ALIGN_RIGHT | ALIGN_CENTER_H)) != 0)
                return false;
            r.y1 = r.y2 = g - document->GetPageHeight() / 2;
        } else {
            if ((flags & (ALIGN_TOP | ALIGN_BOTTOM | ALIGN_CENTER_V)) != 0)
                return false;
            r.x1 = r.x2 = g - document->GetPageWidth() / 2;
        }
    } else if ((flags & ON_PAGE) != 0) {
        r = PageRect();
    } else {
        ForEachSelected(parent, 1, -1, [&](const CTreeNodeRef&, const CGraObjectRef& o) {
            DRect box;
            GetObjectBox(box, o, flags);
            r = UnionRect(r, box);
        });
    }
    OpenUndoGroup(CUndoGroup::STEP_ALIGN, true);
    MoveEachSelected(flags, [&](int, const DRect& b) {
        DPoint d{0.0, 0.0};
        if (flags & ALIGN_TOP)
            d.y = r.y2 - b.y2;
        if (flags & ALIGN_BOTTOM)
            d.y = r.y1 - b.y1;
        if (flags & ALIGN_LEFT)
            d.x = r.x1 - b.x1;
        if (flags & ALIGN_RIGHT)
            d.x = r.x2 - b.x2;
        if (flags & ALIGN_CENTER_H)
            d.x = RectMiddle(r).x - RectMiddle(b).x;
        if (flags & ALIGN_CENTER_V)
            d.y = RectMiddle(r).y - RectMiddle(b).y;
        return d;
    });
    FitBoxToSelectedObjects();
    if (document.IsValid())
        document->SetModified(true);
    return true;
}

void CSelectObject::SortDistribution(DistributionEntry* table, int n)
{
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int i = 0; i + 1 < n; i++) {
            if (table[i + 1].key < table[i].key) {
                const DistributionEntry t = table[i];
                table[i] = table[i + 1];
                table[i + 1] = t;
                swapped = true;
            }
        }
    }
}

int CSelectObject::FindDistributionRank(const DistributionEntry* table, int n, int index)
{
    for (int i = 0; i < n; i++)
        if (table[i].index == index)
            return i;
    return 0;
}

bool CSelectObject::Distribute(int flags)
{
    if (selectedCount < 2)
        return false;
    CTreeNodeRef parent;
    GetEditParent(parent);
    // One entry for every selected object, however many there are.
    std::vector<DistributionEntry> table;
    std::vector<DRect> boxes;
    DRect r{0.0, 0.0, 0.0, 0.0};
    double sumW = 0.0, sumH = 0.0;
    // Equal vertical gaps win over horizontal ones.
    const int space = (flags & SPACE_V) != 0 ? SPACE_V : flags & SPACE_H;
    ForEachSelected(parent, 1, -1, [&](const CTreeNodeRef&, const CGraObjectRef& o) {
        DRect b;
        GetObjectBox(b, o, flags);
        r = UnionRect(r, b);
        sumW += b.x2 - b.x1;
        sumH += b.y2 - b.y1;
        double key = 0.0;
        if (flags & ALIGN_TOP)
            key = b.y2;
        if (flags & ALIGN_BOTTOM)
            key = b.y1;
        if (flags & ALIGN_LEFT)
            key = b.x1;
        if (flags & ALIGN_RIGHT)
            key = b.x2;
        if (flags & ALIGN_CENTER_H)
            key = RectMiddle(b).x;
        if (flags & ALIGN_CENTER_V)
            key = RectMiddle(b).y;
        double size = 0.0;
        if (space == SPACE_H) {
            key = b.x1;
            size = b.x2 - b.x1;
        } else if (space == SPACE_V) {
            key = b.y1;
            size = b.y2 - b.y1;
        }
        table.push_back(DistributionEntry{int(table.size()), key, size});
        boxes.push_back(b);
    });
    const int n = int(table.size());
    if (n < 2)
        return false;
    OpenUndoGroup(CUndoGroup::STEP_DISTRIBUTE, true);
    SortDistribution(table.data(), n);
    if (flags & ON_PAGE)
        r = PageRect();
    // R runs from the first object's key to the last one's.
    const DRect& first = boxes[size_t(table[0].index)];
    const DRect& last = boxes[size_t(table[size_t(n - 1)].index)];
    if (flags & ALIGN_RIGHT)
        r.x1 += first.x2 - first.x1;
    if (flags & ALIGN_TOP)
        r.y1 += first.y2 - first.y1;
    if (flags & ALIGN_CENTER_H)
        r.x1 += (first.x2 - first.x1) / 2;
    if (flags & ALIGN_CENTER_V)
        r.y1 += (first.y2 - first.y1) / 2;
    if (flags & ALIGN_LEFT)
        r.x2 -= last.x2 - last.x1;
    if (flags & ALIGN_BOTTOM)
        r.y2 -= last.y2 - last.y1;
    if (flags & ALIGN_CENTER_H)
        r.x2 -= (last.x2 - last.x1) / 2;
    if (flags & ALIGN_CENTER_V)
        r.y2 -= (last.y2 - last.y1) / 2;
    if (space != 0) {
        const double gap =
            space == SPACE_V ? ((r.y2 - r.y1) - sumH) / (n - 1) : ((r.x2 - r.x1) - sumW) / (n - 1);
        double at = space == SPACE_V ? r.y1 : r.x1;
        for (int i = 0; i < n; i++) {
            const double size = table[size_t(i)].size;
            table[size_t(i)].key = at;
            at += size + gap;
        }
    }
    const double stepX = (r.x2 - r.x1) / (n - 1);
    const double stepY = (r.y2 - r.y1) / (n - 1);
    MoveEachSelected(flags, [&](int j, const DRect& b) {
        const int k = FindDistributionRank(table.data(), n, j);
        DPoint d{0.0, 0.0};
        if (flags & ALIGN_TOP)
            d.y = r.y1 + stepY * k - b.y2;
        if (flags & ALIGN_BOTTOM)
            d.y = r.y1 + stepY * k - b.y1;
        if (flags & ALIGN_LEFT)
            d.x = r.x1 + stepX * k - b.x1;
        if (flags & ALIGN_RIGHT)
            d.x = r.x1 + stepX * k - b.x2;
        if (flags & ALIGN_CENTER_H)
            d.x = r.x1 + stepX * k - RectMiddle(b).x;
        if (flags & ALIGN_CENTER_V)
            d.y = r.y1 + stepY * k - RectMiddle(b).y;
        if (space == SPACE_H)
            d.x = table[size_t(k)].key - b.x1;
        if (space == SPACE_V)
            d.y = table[size_t(k)].key - b.y1;
        return d;
    });
    FitBoxToSelectedObjects();
    if (document.IsValid())
        document->SetModified(true);
    return true;
}

DPoint CSelectObject::GetGridStep() const
{
    if (viewSettings.IsInvalid())
        return DPoint{0.0, 0.0};
    return DPoint{viewSettings->values[kGridStepValue], viewSettings->values[kGridStepValue + 1]};
}

DPoint CSelectObject::GetGridOrigin() const
{
    if (viewSettings.IsInvalid())
        return DPoint{0.0, 0.0};
    return DPoint{viewSettings->origin_x + viewSettings->values[kGridOriginValue],
                  viewSettings->origin_y + viewSettings->values[kGridOriginValue + 1]};
}

void CSelectObject::SnapPointToGrid(DPoint& out, const DPoint& p, const DPoint& origin) const
{
    const DPoint step = GetGridStep();
    out = DPoint{SnapAxis(p.x, origin.x, step.x), SnapAxis(p.y, origin.y, step.y)};
}

bool CSelectObject::SnapToGrid(int)
{
    if (selectedCount < 2)
        return false;
    OpenUndoGroup(CUndoGroup::STEP_SNAP_TO_GRID, true);
    const DPoint origin = GetGridOrigin();
    ReplaceSelectedByCopies([&](const CGraObjectRef& copy) {
        const int count = copy->GetHandleCount();
        for (int h = 0; h < count; h++) {
            if (copy->GetHandleType(h) != 2)
                continue;
            DPoint to;
            SnapPointToGrid(to, copy->GetHandlePosition(h), origin);
            copy->MoveHandle(h, to);
        }
        if (editPort.IsValid())
            copy->UpdateBoundingBox(editPort);
    });
    FitBoxToSelectedObjects();
    if (document.IsValid())
        document->SetModified(true);
    return true;
}
