// ZuLisTree: a tree of lists used as a nested token stream.
//
// A writer appends objects, opens and closes nested levels and places marks;
// a reader later takes the tokens back from the head in the order written.
// Inside a level's list a token is:
//   an object        the object's handle (an empty handle is allowed),
//   a level begin    the child ZuLisTree itself (its parent is the level),
//   a level end      a handle to the level's own parent,
//   a mark           a handle to the level itself.
//
// The writing and reading cursor is the level being written or read; when
// it stands on the tree itself it holds no handle, so that a tree nobody
// else holds goes away (a handle to itself would keep it for ever).
// The other back references (a child's parent, level ends and marks) live
// inside the tree's lists: Delete (or RemoveAll) takes them apart.
#ifndef SI_LISTREE_H
#define SI_LISTREE_H

#include "si/container.h"
#include "si/list.h"

ZU_HANDLE(ZuLisTree, ZuContainer)
class ZuLisTree : public ZuContainer {
    ZU_CLASS(ZuLisTree, ZuContainer)

public:
    enum Type {
        ZU_LISTREE_NONE = 0,
        ZU_LISTREE_OBJECT = 1,
        ZU_LISTREE_LEVEL_BEGIN = 2,
        ZU_LISTREE_LEVEL_END = 3,
        ZU_LISTREE_MARK = 4,
    };

    ZuLisTree();
    ~ZuLisTree() override;

    // ZuBaseContainer
    ZuIteratorRef NewIterator() override;

    // ZuContainer: only Insert and RemoveAll do something.
    bool Insert(const ZuObjectRef& object) override;
    bool Remove(unsigned int index) override;
    bool Remove(const ZuObjectRef& object, unsigned int occurrence) override;
    void RemoveAll() override;
    bool GetSimilar(const ZuObjectRef& probe, ZuObjectRef& out, unsigned int occurrence) override;
    bool LookFor(const ZuObjectRef& object) override;
    bool Find(const ZuObjectRef& object, unsigned int& index) override;

    virtual bool InsertNewLevel();
    virtual bool InsertEndLevel();
    virtual bool InsertMark();
    virtual bool Clone(ZuLisTreeRef& copy, const ZuLisTreeRef& copy_parent) const;
    virtual bool Rewind();
    virtual Type PeekHeadType() const;
    virtual Type PopHead(ZuObjectRef& out);

    // ZuiContainer
    bool Get(unsigned int index, ZuObjectRef& out) override;

    void Delete() override;
    // Drops the cursor's handle to the level itself (see ReleaseLevel).
    void ReleaseCursor();

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    // The cursor: a child level, the tree itself, or null once dropped.
    ZuLisTree* Cursor() const;
    void SetCursor(ZuLisTree* cursor);

    ZuLisTreeRef parent;
    ZuListRef list;
    // The cursor when it stands on a child level; empty when it stands on
    // the tree itself (or has been dropped: see cursor_dropped).
    ZuLisTreeRef level;
    bool cursor_dropped = false;
};
ZU_CLASS_END(ZuLisTree)

#endif
