#include "si/listree.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"

#include "si/listreeit.h"

ZU_IMPLEMENT_CLASS(ZuLisTree, "si/listree", ZU_CLASS_PLAIN)

namespace {

ZuLisTree* AsTree(ZuObjectRef const& e)
{
    return dynamic_cast<ZuLisTree*>(e.Resolve());
}

// A level's cursor handle points at the level itself; only the root's cursor
// is ever used. When a child level leaves its tree that handle is dropped,
// or the level would keep itself alive for ever.
void ReleaseLevel(ZuObjectRef const& e)
{
    if (ZuLisTree* t = AsTree(e))
        t->ReleaseCursor();
}

} // namespace

ZuLisTree::ZuLisTree()
{
    list = ZuNew<ZuList>(RetMemZone(), __LINE__, ZU_SRC_FILE);
    list->SetInsertMode(false);
    level = this;
}

ZuLisTree::~ZuLisTree()
{
    // The container's destructor insists on an empty container.
    if (num_element != 0)
        RemoveAll();
}

// ---------------------------------------------------------------- writing

bool ZuLisTree::Insert(ZuObjectRef const& object)
{
    if (level.IsInvalid())
        return false;
    bool ok = level->list->PushTail(object);
    ++num_element;
    return ok;
}

bool ZuLisTree::InsertNewLevel()
{
    if (level.IsInvalid())
        return false;
    ZuLisTreeRef child(ZuNew<ZuLisTree>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    child->parent = level;
    level->list->PushTail(child);
    level = child;
    ++num_element;
    return true;
}

bool ZuLisTree::InsertEndLevel()
{
    if (level.IsInvalid() || level.Resolve() == this)
        return false;
    ZuLisTreeRef up = level->parent;
    level->list->PushTail(up);
    level = up;
    ++num_element;
    return true;
}

bool ZuLisTree::InsertMark()
{
    if (level.IsInvalid())
        return false;
    level->list->PushTail(level);
    ++num_element;
    return true;
}

void ZuLisTree::ReleaseCursor()
{
    if (level.Resolve() == this)
        level = ZuLisTreeNull;
}

bool ZuLisTree::Rewind()
{
    level = this;
    return true;
}

// ---------------------------------------------------------------- reading

ZuLisTree::Type ZuLisTree::PeekHeadType() const
{
    ZuLisTree* lvl = level.Resolve();
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
    switch (type) {
    case ZU_LISTREE_NONE:
        out = ZuObjectNull;
        return type;
    case ZU_LISTREE_OBJECT:
        level->list->PopHead(out);
        break;
    case ZU_LISTREE_MARK:
        level->list->PopHead(discard);
        out = ZuObjectNull;
        break;
    case ZU_LISTREE_LEVEL_END: {
        level->list->PopHead(discard);
        ZuLisTreeRef up = level->parent;
        level = up;
        // The child level that has just been read leaves its parent's list.
        ZuObjectRef child;
        level->list->PopHead(child);
        ReleaseLevel(child);
        out = ZuObjectNull;
        break;
    }
    case ZU_LISTREE_LEVEL_BEGIN: {
        ZuObjectRef child;
        level->list->Get(0, child);
        level = child;
        out = ZuObjectNull;
        break;
    }
    }
    --num_element;
    return type;
}

// ---------------------------------------------------------------- others

bool ZuLisTree::Remove(unsigned int) { return false; }
bool ZuLisTree::Remove(ZuObjectRef const&, unsigned int) { return false; }
bool ZuLisTree::Get(unsigned int, ZuObjectRef&) { return false; }
bool ZuLisTree::GetSimilar(ZuObjectRef const&, ZuObjectRef&, unsigned int) { return false; }
bool ZuLisTree::LookFor(ZuObjectRef const&) { return false; }
bool ZuLisTree::Find(ZuObjectRef const&, unsigned int&) { return false; }

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
    num_element = 0;
}

bool ZuLisTree::Clone(ZuLisTreeRef& copy, ZuLisTreeRef const& copy_parent) const
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
    level = ZuLisTreeNull;
    ZuContainer::Delete();
}

// ---------------------------------------------------------------- storage

void ZuLisTree::StoreInstance(ZuStorageRef const& storage)
{
    ZuContainer::StoreInstance(storage);
    static ZuStorageSync record("<ZuLisTree parent list level>");
    storage << record << ZuStorageSync::begin << parent << list << level << ZuStorageSync::end;
}

void ZuLisTree::RestoreInstance(ZuStorageRef const& storage)
{
    ZuContainer::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> parent >> list >> level >> ZuStorageSync::end;
}
