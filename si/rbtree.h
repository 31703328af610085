// ZuRBTree: maps unsigned 32-bit keys to object handles in a red-black tree
// with top-down insertion. It answers exact, nearest-below, nearest-above,
// first and last queries. Equal keys are allowed (a new one goes to the
// right of those present). It is a plain object, not a container, and it
// can be stored.
#ifndef SI_RBTREE_H
#define SI_RBTREE_H

#include "si/object.h"

ZU_HANDLE(ZuRBTree, ZuObject)

class ZuRBTree : public ZuObject {
    ZU_CLASS(ZuRBTree, ZuObject)
public:
    struct Node {
        Node() : left(nullptr), right(nullptr), red(false), is_valid(false), key(0) {}

        Node* left;
        Node* right;
        bool red;
        // True for the nodes made by AllocNode, false for the tree's own two.
        bool is_valid;
        unsigned int key;
        ZuObjectRef object;
    };

    ZuRBTree();
    ~ZuRBTree() override;

    virtual bool Insert(unsigned int key, const ZuObjectRef& object);
    // Removes the node with the key met first from the root; false when no
    // node has it.
    virtual bool Remove(unsigned int key);
    virtual bool Remove(unsigned int key, ZuObjectRef& removed);
    // Finders leave result as it was when they answer false.
    virtual bool Find(unsigned int key);
    virtual bool Find(unsigned int key, ZuObjectRef& result);
    // The greatest key smaller than or equal to key.
    virtual bool FindNearestPrev(unsigned int key);
    virtual bool FindNearestPrev(unsigned int key, ZuObjectRef& result);
    // The smallest key greater than or equal to key.
    virtual bool FindNearestNext(unsigned int key);
    virtual bool FindNearestNext(unsigned int key, ZuObjectRef& result);
    virtual bool FindFirst(unsigned int& key) const;
    virtual bool FindLast(unsigned int& key) const;

    // The key of the node that a nearest query found (for callers that want
    // the key rather than the object).
    bool FindNearestPrevKey(unsigned int key, unsigned int& found);
    bool FindNearestNextKey(unsigned int key, unsigned int& found);
    // The root, for checks of the tree's shape; null for an empty tree.
    const Node* RetRoot() const { return head->right == nil ? nullptr : head->right; }
    const Node* RetNil() const { return nil; }

    void Delete() override;

protected:
    virtual Node* AllocNode();
    virtual void FreeNode(Node* node);

    // The root's part, "<ZuRBTree { node } >", begin, repeat, then the card
    // 1 and the root's subtree (or the card 0), end of repeat, end. Each
    // node: red, key, object, a child code (0 none, 1 right, 2 left, 3
    // both), then its left and its right subtree.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    Node* Rotate(unsigned int v, Node* y);
    void Split(unsigned int v, Node*& x, Node*& p, Node* g, Node* gg);
    void InsertNode(Node* n);
    Node* RemoveNode(unsigned int v);
    Node* FindEQ(unsigned int v);
    Node* FindGE(unsigned int v);
    Node* FindLE(unsigned int v);
    const Node* FindMin() const;
    const Node* FindMax() const;
    void FreeSubTree(Node* node);
    void StoreSubTree(const ZuStorageRef& storage, Node* node);
    void RestoreSubTree(const ZuStorageRef& storage, Node*& slot);

    Node* head;
    Node* nil;
    Node head_node;
    Node nil_node;
};
ZU_CLASS_END(ZuRBTree)

#endif
