// CTree: the object tree of a document (and of the objects' clipboard). It
// owns its root node: deleting the tree deletes every node and object.
//
// Stored record (after the object part): begin, the root node, end. A
// stored tree whose links disagree (a cycle, a child whose parent is
// another node, prev not mirroring next, counters that do not add up) is
// refused as corrupt input, since walks over it would not end.
#ifndef LUMBRA_APP_TREE_H
#define LUMBRA_APP_TREE_H

#include "app/treenode.h"

ZU_HANDLE(CTree, ZuObject)

class CTree : public ZuObject {
    ZU_CLASS(CTree, ZuObject)
public:
    // Creates the root node.
    CTree();
    ~CTree() override;
    void Delete() override;

    const CTreeNodeRef& RetRoot() const { return root; }
    // The root for page -1; otherwise the root's child number page and,
    // when layer is not -1, that page's child number layer. Empty when a
    // child is missing.
    void GetNode(CTreeNodeRef& out, int page, int layer) const;
    // Debug trace of a forward walk from the node.
    void Dump(const CTreeNodeRef& from) const;

    // Whether the links below root agree: every node met once, each child's
    // parent its parent, prev mirroring next, the ends and both counters
    // right.
    static bool CheckLinks(const CTreeNodeRef& root);

    // After a read (the storage's FinallyAwake): a tree whose links
    // disagree is cut loose and refused with ZuExcStream.
    void Awake() override;

protected:
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    CTreeNodeRef root;
};
ZU_CLASS_END(CTree)

#endif
