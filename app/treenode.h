// CTreeNode: a node of a document's object tree (CTree). The root's
// children are the pages, a page's children its layers, a layer's children
// its drawing objects (a group holding its members in turn). A node carries
// one object, which it owns, and keeps explicit sibling and child links with
// two counters that every structural edit keeps up to date:
//   - the subtree size, the number of descendants (the node not counted);
//   - the child count, the number of direct children.
//
// Stored record (after the object part): begin, parent, prev, next, first
// child, last child (five objects), Int subtree size, Int child count, the
// object, end. A restored node hands itself to a drawing object it carries.
#ifndef LUMBRA_APP_TREENODE_H
#define LUMBRA_APP_TREENODE_H

#include "si/object.h"

ZU_HANDLE(CTreeNode, ZuObject)

class CTreeNode : public ZuObject {
    ZU_CLASS(CTreeNode, ZuObject)
public:
    CTreeNode() {}
    ~CTreeNode() override;
    // Unlinks and deletes every child (with its subtree), then deletes the
    // object.
    void Delete() override;

    CTreeNodeRef& RetParent() { return parent; }
    CTreeNodeRef& RetPrev() { return prev; }
    CTreeNodeRef& RetNext() { return next; }
    CTreeNodeRef& RetFirstChild() { return first_child; }
    CTreeNodeRef& RetLastChild() { return last_child; }
    // Child n counted from 0; empty when n < 0 or there are fewer children.
    CTreeNodeRef GetChild(int n) const;
    // The parent's siblings; empty without a parent.
    CTreeNodeRef GetParentPrev() const;
    CTreeNodeRef GetParentNext() const;
    int GetSubtreeSize() const { return subtree_size; }
    int CountChildren() const { return child_count; }
    // The number of ancestors.
    int GetDepth() const;
    // One step of a depth-first walk of root's subtree: the first (last)
    // child when enter is true and there is one, else the next (previous)
    // sibling of this node or of the nearest ancestor below root that has
    // one; empty at the end.
    CTreeNodeRef NextInPreorder(const CTreeNodeRef& root, bool enter) const;
    CTreeNodeRef PrevInPreorder(const CTreeNodeRef& root, bool enter) const;

    // Link this unlinked node, with its subtree, into a tree.
    void InsertFirstChild(const CTreeNodeRef& parent);
    void InsertLastChild(const CTreeNodeRef& parent);
    void InsertBefore(const CTreeNodeRef& sibling);
    void InsertAfter(const CTreeNodeRef& sibling);
    // Takes this node with its subtree out of the tree; nothing without a
    // parent.
    void Unlink();
    // Unlinks every descendant, deepest first.
    void RemoveAllChildren();

    // Stores the object; a drawing object learns its node.
    void SetObject(const ZuObjectRef& object);
    ZuObjectRef& RetObject() { return object; }

    // Debug trace.
    void TraceAddress() const;
    void DumpLinks() const;
    void Dump() const;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    friend class CTree;

    // Adds delta to the subtree size of the node and of its ancestors.
    void AddToSubtree(int delta);
    // Empties the five links (a corrupt structure given up).
    void Sever();

    CTreeNodeRef parent;
    CTreeNodeRef prev;
    CTreeNodeRef next;
    CTreeNodeRef first_child;
    CTreeNodeRef last_child;
    int subtree_size = 0;
    int child_count = 0;
    ZuObjectRef object;
    bool deleting = false;
};
ZU_CLASS_END(CTreeNode)

#endif
