// CListNode: one link of the program's general list (CList). A node carries
// one object, which it owns: deleting the node deletes the object.
//
// Stored record (after the object part): begin, next, previous, the object
// (three objects), end.
#ifndef LUMBRA_APP_LISTNODE_H
#define LUMBRA_APP_LISTNODE_H

#include "si/object.h"

ZU_HANDLE(CListNode, ZuObject)

class CListNode : public ZuObject {
    ZU_CLASS(CListNode, ZuObject)
public:
    CListNode() {}
    ~CListNode() override;
    // Deletes the object when one is set, and empties the handle.
    void Delete() override;

    CListNodeRef GetNext() const { return next; }
    CListNodeRef GetPrevious() const { return previous; }
    bool HasNext() const { return next.IsValid(); }
    bool HasPrevious() const { return previous.IsValid(); }
    // Links this node behind other (before other's old next); nothing when
    // other is empty.
    void InsertAfter(const CListNodeRef& other);
    // Links this node in front of other; nothing when other is empty.
    void InsertBefore(const CListNodeRef& other);
    // Joins the neighbours to each other and empties both links.
    void Unlink();
    void SetObject(const ZuObjectRef& object) { this->object = object; }
    ZuObjectRef& GetObject() { return object; }

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    friend class CList;

    CListNodeRef next;
    CListNodeRef previous;
    ZuObjectRef object;
    bool deleting = false;
};
ZU_CLASS_END(CListNode)

#endif
