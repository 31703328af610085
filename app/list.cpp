#include "app/list.h"

#include <unordered_set>
#include <vector>

#include "si/error.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storageformat.h"

ZU_IMPLEMENT_CLASS(CList, "app/list", ZU_CLASS_PLAIN)

CList::~CList() {}

void CList::Delete()
{
    // The nodes in order, each once, however the links were left.
    std::vector<CListNodeRef> nodes;
    std::unordered_set<CListNode*> seen;
    for (CListNodeRef n = first; n.IsValid() && seen.insert(n.Resolve()).second; n = n->next)
        nodes.push_back(n);
    cursor = CListNodeRef();
    first = CListNodeRef();
    last = CListNodeRef();
    direction = 0;
    count = 0;
    for (const CListNodeRef& n : nodes) {
        n->previous = CListNodeRef();
        n->next = CListNodeRef();
    }
    for (const CListNodeRef& n : nodes)
        n->Delete();
    ZuObject::Delete();
}

void CList::Append(const CListNodeRef& node)
{
    if (last.IsValid())
        node->InsertAfter(last);
    else
        first = node;
    last = node;
    ++count;
}

void CList::Prepend(const CListNodeRef& node)
{
    if (first.IsValid())
        node->InsertBefore(first);
    else
        last = node;
    first = node;
    ++count;
}

void CList::Remove(const CListNodeRef& which)
{
    // A copy: the caller's handle may be one of the ends changed here.
    const CListNodeRef node = which;
    if (node.IsInvalid())
        return;
    if (first == node)
        first = node->next;
    if (last == node)
        last = node->previous;
    // A walk whose next node goes on past it.
    if (cursor == node)
        cursor = direction < 0 ? node->previous : node->next;
    node->Unlink();
    node->Delete();
    --count;
}

void CList::StartIteration(int dir)
{
    direction = dir;
    if (dir > 0)
        cursor = first;
    else if (dir < 0)
        cursor = last;
    else
        cursor = CListNodeRef();
}

CListNodeRef CList::GetNext()
{
    const CListNodeRef node = cursor;
    if (node.IsValid()) {
        if (direction > 0)
            cursor = node->next;
        else if (direction < 0)
            cursor = node->previous;
        else
            cursor = CListNodeRef();
    }
    return node;
}

void CList::StopIteration()
{
    cursor = CListNodeRef();
    direction = 0;
}

void CList::Dump() const
{
    Zuvi_Trace("Content of CList :\n");
    int n = 0;
    for (CListNodeRef node = first; node.IsValid() && n <= count; node = node->next, ++n)
        Zuvi_Trace("%p: object=%p\n", static_cast<void*>(node.Resolve()),
                   static_cast<void*>(node->GetObject().Resolve()));
}

void CList::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << ZuStorageSync::begin << last << first << count << ZuStorageSync::end;
}

void CList::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> last >> first >> count >> ZuStorageSync::end;
    cursor = CListNodeRef();
    direction = 0;
}

void CList::Awake()
{
    ZuObject::Awake();
    // The links are outside data, read after the list itself: walking them
    // must end, at the last node, after count steps, each previous link
    // mirroring the next one.
    bool sound = first.IsValid() == last.IsValid() && count >= 0;
    std::unordered_set<CListNode*> seen;
    CListNodeRef before;
    for (CListNodeRef n = first; sound && n.IsValid(); n = n->next) {
        if (!seen.insert(n.Resolve()).second || n->previous != before)
            sound = false;
        before = n;
    }
    if (sound && (before != last || seen.size() != std::size_t(count)))
        sound = false;
    if (!sound) {
        // Links cut, so that nothing half-read keeps itself alive.
        for (CListNode* n : seen) {
            n->next = CListNodeRef();
            n->previous = CListNodeRef();
        }
        first = CListNodeRef();
        last = CListNodeRef();
        count = 0;
        Zuvi_StorageFormat::BadData("CList: links of the stored list disagree", __LINE__);
    }
}
