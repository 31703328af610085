// CList: the program's own doubly linked list of object handles (selected
// objects, undo actions, a sample's definitions, unit entries). The list
// owns its nodes and each node owns its object: deleting the list, or
// removing a node, deletes them.
//
// Iteration is a cursor in the list: StartIteration(1) then GetNext until
// it answers an empty handle walks first to last, StartIteration(-1) last
// to first. Removing the node just returned keeps the walk going.
//
// Stored record (after the object part): begin, last node, first node (two
// objects), Int count, end. Cursor and direction are not stored. A stored
// list whose links disagree (a cycle, previous not mirroring next, a count
// that is not the number of nodes, ends that are not the ends) is refused as
// corrupt input, since walking it would not end.
#ifndef LUMBRA_APP_LIST_H
#define LUMBRA_APP_LIST_H

#include "app/listnode.h"

ZU_HANDLE(CList, ZuObject)

class CList : public ZuObject {
    ZU_CLASS(CList, ZuObject)
public:
    CList() {}
    ~CList() override;
    // Deletes every node (and so every object) from the first on.
    void Delete() override;

    CListNodeRef GetFirst() const { return first; }
    CListNodeRef GetLast() const { return last; }
    int GetCount() const { return count; }
    void Append(const CListNodeRef& node);
    void Prepend(const CListNodeRef& node);
    // Unlinks the node and deletes it with its object. A caller that keeps
    // the object empties the node's object handle first.
    void Remove(const CListNodeRef& node);
    void StartIteration(int direction);
    CListNodeRef GetNext();
    void StopIteration();
    // Debug trace of the nodes.
    void Dump() const;

    // After a read (the storage's FinallyAwake): links that disagree are
    // cut and refused with ZuExcStream.
    void Awake() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    CListNodeRef last;
    CListNodeRef first;
    CListNodeRef cursor;
    int direction = 0;
    int count = 0;
};
ZU_CLASS_END(CList)

#endif
