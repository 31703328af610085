#include "si/listree.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"

#include "si/listreeit.h"

ZU_IMPLEMENT_CLASS(ZuLisTree, "si/listree", ZU_CLASS_PLAIN)

namespace {

ZuLisTree* AsTree(const ZuObjectRef& e)
{
    return dynamic_cast<ZuLisTree*>(e.Resolve());
}

// A level's cursor handle points at the level itself; only the root's cursor
// is ever used. When a child level leaves its tree that handle is dropped,
// or the level would keep itself alive for ever.
void ReleaseLevel(const ZuObjectRef& e)
{
    if (ZuLisTree* t = AsTree(e))
        t->ReleaseCursor();
}

} // namespace

ZuLisTree::ZuLisTree()
{
    list = ZuNew<ZuList>(RetMemZone(), __LINE__, ZU_SRC_FILE);
    list->SetInsertMode(false);
}

ZuLisTree* ZuLisTree::Cursor() const
{
    if (level.IsValid())
        return level.Resolve();
    return cursor_dropped ? nullptr : const_cast<ZuLisTree*>(this);
}

void ZuLisTree::SetCursor(ZuLisTree* cursor)
{
    cursor_dropped = cursor == nullptr;
    if (cursor == this || cursor == nullptr)
        level = ZuLisTreeNull;
    else
        level = cursor;
}

ZuLisTree::~ZuLisTree()
{
    // The container's destructor insists on an empty container.
    if (num_element != 0)
        RemoveAll();
}

// ---------------------------------------------------------------- writing

bool ZuLisTree::Insert(const ZuObjectRef& object)
{
    ZuLisTree* lvl = Cursor();
    if (lvl == nullptr)
        return false;
    bool ok = lvl->list->PushTail(object);
    ++num_element;
    return ok;
}

bool ZuLisTree::InsertNewLevel()
{
    ZuLisTree* lvl = Cursor();
    if (lvl == nullptr)
        return false;
    ZuLisTreeRef child(ZuNew<ZuLisTree>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    child->parent = lvl;
    lvl->list->PushTail(child);
    SetCursor(child.Resolve());
    ++num_element;
    return true;
}

bool ZuLisTree::InsertEndLevel()
{
    ZuLisTree* lvl = Cursor();
    if (lvl == nullptr || lvl == this)
        return false;
    ZuLisTreeRef up = lvl->parent;
    lvl->list->PushTail(up);
    SetCursor(up.Resolve());
    ++num_element;
    return true;
}

bool ZuLisTree::InsertMark()
{
    ZuLisTree* lvl = Cursor();
    if (lvl == nullptr)
        return false;
    lvl->list->PushTail(lvl);
    ++num_element;
    return true;
}

void ZuLisTree::ReleaseCursor()
{
    if (Cursor() == this)
        SetCursor(nullptr);
}

bool ZuLisTree::Rewind()
{
    SetCursor(this);
    return true;
}

// ---------------------------------------------------------------- reading

ZuLisTree::Type ZuLisTree::PeekHeadType() const
{
    ZuLisTree* lvl = Cursor();
    if (lvl == nullptr || lvl->list.IsInvalid())
        return ZU_LISTREE_NONE;
    ZuObjectRef e;
    if (!lvl->list->Get(0, e))
        return ZU_LISTREE_NONE;
    ZuLisTree* t = AsTree(e);
    if (t == nullptr)
        return ZU_LISTREE_OBJECT;
    if (t == lvl)
        return ZU_LISTREE_MARK;
    if (t == lvl->parent.Resolve())
        return ZU_LISTREE_LEVEL_END;
    if (t->parent.Resolve() == lvl)
        return ZU_LISTREE_LEVEL_BEGIN;
    return ZU_LISTREE_OBJECT;
}

ZuLisTree::Type ZuLisTree::PopHead(ZuObjectRef& out)
{
    Type type = PeekHeadType();
    ZuObjectRef discard;
    ZuLisTree* lvl = Cursor();
    switch (type) {
    case ZU_LISTREE_NONE:
        out = ZuObjectNull;
        return type;
    case ZU_LISTREE_OBJECT:
        lvl->list->PopHead(out);
        break;
    case ZU_LISTREE_MARK:
        lvl->list->PopHead(discard);
        out = ZuObjectNull;
        break;
    case ZU_LISTREE_LEVEL_END: {
        lvl->list->PopHead(discard);
        ZuLisTreeRef up = lvl->parent;
        SetCursor(up.Resolve());
        // The child level that has just been read leaves its parent's list.
        ZuObjectRef child;
        up->list->PopHead(child);
        ReleaseLevel(child);
        out = ZuObjectNull;
        break;
    }
    case ZU_LISTREE_LEVEL_BEGIN: {
        ZuObjectRef child;
        lvl->list->Get(0, child);
        SetCursor(AsTree(child));
        out = ZuObjectNull;
        break;
    }
    }
    --num_element;
    return type;
}

// ---------------------------------------------------------------- others

bool ZuLisTree::Remove(unsigned int)
{
    return false;
}
bool ZuLisTree::Remove(const ZuObjectRef&, unsigned int)
{
    return false;
}
bool ZuLisTree::Get(unsigned int, ZuObjectRef&)
{
    return false;
}
bool ZuLisTree::GetSimilar(const ZuObjectRef&, ZuObjectRef&, unsigned int)
{
    return false;
}
bool ZuLisTree::LookFor(const ZuObjectRef&)
{
    return false;
}
bool ZuLisTree::Find(const ZuObjectRef&, unsigned int&)
{
    return false;
}

void ZuLisTree::RemoveAll()
{
    if (list.IsValid()) {
        ZuObjectRef e;
        while (list->PopHead(e)) {
            ZuLisTree* t = AsTree(e);
            if (t != nullptr && t != this && t->parent.Resolve() == this) {
                t->RemoveAll();
                t->parent = ZuLisTreeNull;
                ReleaseLevel(e);
            }
        }
    }
    // The levels the cursor could stand on are gone.
    if (!cursor_dropped)
        SetCursor(this);
    num_element = 0;
}

bool ZuLisTree::Clone(ZuLisTreeRef& copy, const ZuLisTreeRef& copy_parent) const
{
    ZuLisTreeRef c(ZuNew<ZuLisTree>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    c->parent = copy_parent;
    ZuObjectRef e;
    for (unsigned int i = 0; list.IsValid() && list->Get(i, e); ++i) {
        ZuLisTree* t = AsTree(e);
        if (t == nullptr) {
            c->list->PushTail(e);
        } else if (t == this) {
            c->list->PushTail(c);
        } else if (t == parent.Resolve()) {
            c->list->PushTail(c->parent);
        } else if (t->parent.Resolve() == this) {
            ZuLisTreeRef sub;
            t->Clone(sub, c);
            c->list->PushTail(sub);
        } else {
            c->list->PushTail(e);
        }
    }
    c->num_element = num_element;
    copy = c;
    return true;
}

ZuIteratorRef ZuLisTree::NewIterator()
{
    ZuLisTreeIteratorRef it(ZuNew<ZuLisTreeIterator>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    it->tree = this;
    it->position = 0;
    return it;
}

void ZuLisTree::Delete()
{
    RemoveAll();
    SetCursor(nullptr);
    ZuContainer::Delete();
}

// ---------------------------------------------------------------- storage

void ZuLisTree::StoreInstance(const ZuStorageRef& storage)
{
    ZuContainer::StoreInstance(storage);
    static ZuStorageSync record("<ZuLisTree parent list level>");
    const ZuLisTreeRef cursor(Cursor());
    storage << record << ZuStorageSync::begin << parent << list << cursor << ZuStorageSync::end;
}

void ZuLisTree::RestoreInstance(const ZuStorageRef& storage)
{
    ZuContainer::RestoreInstance(storage);
    ZuLisTreeRef cursor;
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> parent >> list >> cursor >>
        ZuStorageSync::end;
    SetCursor(cursor.Resolve());
}
