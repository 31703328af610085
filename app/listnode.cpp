#include "app/listnode.h"

#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CListNode, "app/listnode", ZU_CLASS_PLAIN)

CListNode::~CListNode() {}

void CListNode::Delete()
{
    // An object may lead back to its own node (a list that holds itself):
    // the second call finds the node busy.
    if (deleting)
        return;
    deleting = true;
    if (object.IsValid()) {
        const ZuObjectRef held = object;
        object = ZuObjectRef();
        held->Delete();
    }
    ZuObject::Delete();
    deleting = false;
}

void CListNode::InsertAfter(const CListNodeRef& at)
{
    // A copy: the caller's handle may be one of the links changed here.
    const CListNodeRef other = at;
    if (other.IsInvalid())
        return;
    const CListNodeRef self(this);
    previous = other;
    next = other->next;
    if (next.IsValid())
        next->previous = self;
    other->next = self;
}

void CListNode::InsertBefore(const CListNodeRef& at)
{
    const CListNodeRef other = at;
    if (other.IsInvalid())
        return;
    const CListNodeRef self(this);
    next = other;
    previous = other->previous;
    if (previous.IsValid())
        previous->next = self;
    other->previous = self;
}

void CListNode::Unlink()
{
    if (previous.IsValid())
        previous->next = next;
    if (next.IsValid())
        next->previous = previous;
    previous = CListNodeRef();
    next = CListNodeRef();
}

void CListNode::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << ZuStorageSync::begin << next << previous << object << ZuStorageSync::end;
}

void CListNode::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> next >> previous >> object >> ZuStorageSync::end;
}
