#include "app/undogroup.h"

#include "si/classfactory.h"
#include "si/error.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storageformat.h"

ZU_IMPLEMENT_CLASS(CUndoGroup, "app/undogroup", ZU_CLASS_PLAIN)

CUndoGroup::CUndoGroup() : savedState()
{
    actions = ZuNew<CList>(nullptr, __LINE__, "undogroup");
}

CUndoGroup::~CUndoGroup()
{
    if (actions.IsValid()) {
        const CListRef list = actions;
        actions = CListRef();
        list->Delete();
    }
}

void CUndoGroup::Delete()
{
    if (actions.IsValid()) {
        const CListRef list = actions;
        actions = CListRef();
        list->Delete();
    }
    ZuObject::Delete();
}

int CUndoGroup::GetCount() const
{
    return actions.IsValid() ? actions->GetCount() : 0;
}

void CUndoGroup::AddAction(const CListNodeRef& node)
{
    if (actions.IsInvalid())
        actions = ZuNew<CList>(nullptr, __LINE__, "undogroup");
    actions->Append(node);
}

void CUndoGroup::StartIteration()
{
    if (actions.IsInvalid())
        return;
    int direction = 1;
    // Bounded by the count: a walk never outruns the list.
    int n = 0;
    for (CListNodeRef node = actions->GetFirst(); node.IsValid() && n < actions->GetCount();
         node = node->GetNext(), ++n) {
        const ZuObjectRef& o = node->GetObject();
        if (o.IsValid() && o->IsKindOf(CUndoActionRef::RetRuntime()) &&
            CUndoActionRef(o)->GetOper() == CUndoAction::REMOVED) {
            direction = -1;
            break;
        }
    }
    actions->StartIteration(direction);
}

void CUndoGroup::GetNext(CListNodeRef& out)
{
    out = actions.IsValid() ? actions->GetNext() : CListNodeRef();
}

CUndoActionRef CUndoGroup::NextAction()
{
    for (CListNodeRef node; GetNext(node), node.IsValid();) {
        const ZuObjectRef& o = node->GetObject();
        if (o.IsValid() && o->IsKindOf(CUndoActionRef::RetRuntime()))
            return CUndoActionRef(o);
    }
    return CUndoActionRef();
}

bool CUndoGroup::CanMerge(CUndoGroupRef older)
{
    if (older.IsInvalid() || older.Resolve() == this || oper != older->oper ||
        GetCount() != older->GetCount())
        return false;
    StartIteration();
    older->StartIteration();
    for (;;) {
        const CUndoActionRef mine = NextAction();
        const CUndoActionRef theirs = older->NextAction();
        if (mine.IsInvalid() || theirs.IsInvalid())
            return mine.IsInvalid() && theirs.IsInvalid();
        if (!mine->CanMerge(theirs))
            return false;
    }
}

void CUndoGroup::Merge(CUndoGroupRef older)
{
    if (older.IsInvalid() || older.Resolve() == this)
        return;
    StartIteration();
    older->StartIteration();
    for (;;) {
        const CUndoActionRef mine = NextAction();
        const CUndoActionRef theirs = older->NextAction();
        if (mine.IsInvalid() || theirs.IsInvalid())
            return;
        mine->Merge(theirs);
    }
}

void CUndoGroup::Dump(bool withActions)
{
    Zuvi_Trace("UndoGroup: oper=%d, nb=%d rect=%f;%f tool=%d\n", oper, GetCount(),
               savedState.corners[0].x, savedState.corners[0].y, savedState.handleMode);
    if (!withActions)
        return;
    StartIteration();
    for (CUndoActionRef a = NextAction(); a.IsValid(); a = NextAction())
        a->Dump();
}

void CUndoGroup::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << ZuStorageSync::begin << actions << oper << label << ZuStorageSync::mark;
    for (const DPoint& p : savedState.corners)
        s << p.x << p.y;
    s << savedState.centre.x << savedState.centre.y;
    s << (savedState.boxShown != 0) << savedState.handleMode << ZuStorageSync::mark;
    s << enteredGroup << enteredDepth << ZuStorageSync::end;
}

void CUndoGroup::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    const CListRef before = actions;
    s >> ZuStorageSync::begin >> actions >> oper >> label >> ZuStorageSync::mark;
    for (DPoint& p : savedState.corners)
        s >> p.x >> p.y;
    s >> savedState.centre.x >> savedState.centre.y;
    bool shown = false;
    s >> shown >> savedState.handleMode >> ZuStorageSync::mark;
    savedState.boxShown = shown ? 1 : 0;
    s >> enteredGroup >> enteredDepth >> ZuStorageSync::end;
    if (before.IsValid() && before != actions)
        before->Delete();
    if (actions.IsInvalid())
        actions = ZuNew<CList>(nullptr, __LINE__, "undogroup");
    if (enteredDepth < 0)
        Zuvi_StorageFormat::BadData("CUndoGroup: negative entered depth", __LINE__);
}
