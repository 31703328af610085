#include "si/rbtree.h"

#include "si/error.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storageformat.h"

#include <new>
#include <vector>

namespace {

const char kFile[] = "si/rbtree";

ZuStorageSync& TreeRecord()
{
    static ZuStorageSync record("<ZuRBTree { node } >");
    return record;
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuRBTree, kFile, ZU_CLASS_PLAIN)

ZuRBTree::ZuRBTree() : head(&head_node), nil(&nil_node)
{
    nil_node.left = nil;
    nil_node.right = nil;
    head_node.left = nil;
    head_node.right = nil;
}

ZuRBTree::~ZuRBTree()
{
    FreeSubTree(head->right);
    head->right = nil;
}

ZuRBTree::Node* ZuRBTree::AllocNode()
{
    ZuMemZone* zone = RetMemZone() ? RetMemZone() : Zuvi_app_zone;
    void* block = zone->Alloc(sizeof(Node), "ZuRBTree::Node", __LINE__, kFile);
    Node* node = new (block) Node();
    node->left = nil;
    node->right = nil;
    node->is_valid = true;
    return node;
}

void ZuRBTree::FreeNode(Node* node)
{
    ZU_ASSERT(node->is_valid);
    node->~Node();
    ZuMemZone::FreeAnyZone(node, __LINE__, kFile);
}

// ---------------------------------------------------------------- insertion

ZuRBTree::Node* ZuRBTree::Rotate(unsigned int v, Node* y)
{
    Node* c = v < y->key ? y->left : y->right;
    Node* gc;
    if (v < c->key) {
        gc = c->left;
        c->left = gc->right;
        gc->right = c;
    } else {
        gc = c->right;
        c->right = gc->left;
        gc->left = c;
    }
    if (v < y->key)
        y->left = gc;
    else
        y->right = gc;
    return gc;
}

void ZuRBTree::Split(unsigned int v, Node*& x, Node*& p, Node* g, Node* gg)
{
    x->red = true;
    x->left->red = false;
    x->right->red = false;
    if (p->red) {
        g->red = true;
        if ((v < g->key) != (v < p->key))
            p = Rotate(v, g);
        x = Rotate(v, gg);
        x->red = false;
    }
    // The header and the sentinel stay black whatever a split did to them.
    head->red = false;
    nil->red = false;
}

void ZuRBTree::InsertNode(Node* n)
{
    ZU_ASSERT(n);
    const unsigned int v = n->key;
    n->left = nil;
    n->right = nil;
    n->red = false;
    Node* x = head;
    Node* p = head;
    Node* g = head;
    Node* gg = head;
    while (x != nil) {
        gg = g;
        g = p;
        p = x;
        x = v < x->key ? x->left : x->right;
        if (x->left->red && x->right->red)
            Split(v, x, p, g, gg);
    }
    x = n;
    if (v < p->key)
        p->left = n;
    else
        p->right = n;
    Split(v, x, p, g, gg);
    head->right->red = false;
    nil->red = false;
}

bool ZuRBTree::Insert(unsigned int key, const ZuObjectRef& object)
{
    Node* node = AllocNode();
    node->key = key;
    node->object = object;
    InsertNode(node);
    return true;
}

// ---------------------------------------------------------------- removal

ZuRBTree::Node* ZuRBTree::RemoveNode(unsigned int v)
{
    nil->key = v;
    Node* p = head;
    Node* x = head->right;
    while (x->key != v) {
        p = x;
        x = v < x->key ? x->left : x->right;
    }
    Node* t = x;
    if (t == nil)
        return nullptr;
    Node* c;
    if (t->right == nil) {
        c = t->left;
        c->red = false;
    } else if (t->right->left == nil) {
        c = t->right;
        c->left = t->left;
        if (!t->red)
            c->red = false;
        else if (!c->right->red)
            c->red = true;
    } else {
        Node* cp = t->right;
        c = cp->left;
        while (c->left != nil) {
            cp = c;
            c = c->left;
        }
        c->red = t->red;
        if (cp->red)
            c->right->red = false;
        cp->left = c->right;
        c->left = t->left;
        c->right = t->right;
    }
    if (p != head && v < p->key)
        p->left = c;
    else
        p->right = c;
    nil->red = false;
    return t;
}

bool ZuRBTree::Remove(unsigned int key)
{
    Node* node = RemoveNode(key);
    if (!node)
        return false;
    FreeNode(node);
    return true;
}

bool ZuRBTree::Remove(unsigned int key, ZuObjectRef& removed)
{
    Node* node = RemoveNode(key);
    if (!node)
        return false;
    removed = node->object;
    FreeNode(node);
    return true;
}

// ---------------------------------------------------------------- queries

ZuRBTree::Node* ZuRBTree::FindEQ(unsigned int v)
{
    nil->key = v;
    Node* x = head->right;
    while (x->key != v)
        x = v < x->key ? x->left : x->right;
    return x == nil ? nullptr : x;
}

ZuRBTree::Node* ZuRBTree::FindGE(unsigned int v)
{
    nil->key = v;
    Node* candidate = nullptr;
    Node* x = head->right;
    while (x->key != v) {
        if (v < x->key) {
            candidate = x;
            x = x->left;
        } else {
            x = x->right;
        }
    }
    return x == nil ? candidate : x;
}

ZuRBTree::Node* ZuRBTree::FindLE(unsigned int v)
{
    nil->key = v;
    Node* candidate = nullptr;
    Node* x = head->right;
    while (x->key != v) {
        if (v < x->key) {
            x = x->left;
        } else {
            candidate = x;
            x = x->right;
        }
    }
    return x == nil ? candidate : x;
}

const ZuRBTree::Node* ZuRBTree::FindMin() const
{
    const Node* x = head->right;
    if (x == nil)
        return nullptr;
    while (x->left != nil)
        x = x->left;
    return x;
}

const ZuRBTree::Node* ZuRBTree::FindMax() const
{
    const Node* x = head->right;
    if (x == nil)
        return nullptr;
    while (x->right != nil)
        x = x->right;
    return x;
}

bool ZuRBTree::Find(unsigned int key)
{
    return FindEQ(key) != nullptr;
}

bool ZuRBTree::Find(unsigned int key, ZuObjectRef& result)
{
    Node* node = FindEQ(key);
    if (!node)
        return false;
    result = node->object;
    return true;
}

bool ZuRBTree::FindNearestPrev(unsigned int key)
{
    return FindLE(key) != nullptr;
}

bool ZuRBTree::FindNearestPrev(unsigned int key, ZuObjectRef& result)
{
    Node* node = FindLE(key);
    if (!node)
        return false;
    result = node->object;
    return true;
}

bool ZuRBTree::FindNearestNext(unsigned int key)
{
    return FindGE(key) != nullptr;
}

bool ZuRBTree::FindNearestNext(unsigned int key, ZuObjectRef& result)
{
    Node* node = FindGE(key);
    if (!node)
        return false;
    result = node->object;
    return true;
}

bool ZuRBTree::FindNearestPrevKey(unsigned int key, unsigned int& found)
{
    Node* node = FindLE(key);
    if (!node)
        return false;
    found = node->key;
    return true;
}

bool ZuRBTree::FindNearestNextKey(unsigned int key, unsigned int& found)
{
    Node* node = FindGE(key);
    if (!node)
        return false;
    found = node->key;
    return true;
}

bool ZuRBTree::FindFirst(unsigned int& key) const
{
    const Node* node = FindMin();
    if (!node)
        return false;
    key = node->key;
    return true;
}

bool ZuRBTree::FindLast(unsigned int& key) const
{
    const Node* node = FindMax();
    if (!node)
        return false;
    key = node->key;
    return true;
}

// ---------------------------------------------------------------- lifetime

void ZuRBTree::FreeSubTree(Node* node)
{
    // Post-order without recursion: a restored tree may be a long chain.
    std::vector<Node*> todo;
    if (node && node != nil)
        todo.push_back(node);
    while (!todo.empty()) {
        Node* x = todo.back();
        todo.pop_back();
        if (x->left != nil)
            todo.push_back(x->left);
        if (x->right != nil)
            todo.push_back(x->right);
        FreeNode(x);
    }
}

void ZuRBTree::Delete()
{
    FreeSubTree(head->right);
    head->right = nil;
    ZuObject::Delete();
}

// ---------------------------------------------------------------- storage

void ZuRBTree::StoreSubTree(const ZuStorageRef& storage, Node* node)
{
    // Pre-order, left before right, without recursion.
    std::vector<Node*> todo;
    todo.push_back(node);
    while (!todo.empty()) {
        Node* x = todo.back();
        todo.pop_back();
        unsigned int code = (x->left != nil ? 2u : 0u) | (x->right != nil ? 1u : 0u);
        storage->StoreBool(x->red);
        storage->StoreCard(x->key);
        storage->StoreObject(x->object);
        storage->StoreCard(code);
        if (x->right != nil)
            todo.push_back(x->right);
        if (x->left != nil)
            todo.push_back(x->left);
    }
}

void ZuRBTree::RestoreSubTree(const ZuStorageRef& storage, Node*& root)
{
    // Each node is linked into its place as soon as it is made, so that
    // whatever happens next the caller frees everything read so far by
    // freeing from the root. The slots still to fill wait on a stack
    // instead of the call stack: nothing bounds how deeply a stream nests.
    std::vector<Node**> slots;
    slots.push_back(&root);
    while (!slots.empty()) {
        Node** slot = slots.back();
        slots.pop_back();
        Node* node = AllocNode();
        *slot = node;
        node->red = storage->RestoreBool(node->red);
        node->key = static_cast<unsigned int>(storage->RestoreCard(node->key));
        storage->RestoreObject(node->object, ZuRuntimeRef());
        std::uint64_t const code = storage->RestoreCard(0);
        if (code > 3)
            Zuvi_StorageFormat::BadData("Bad node", __LINE__);
        if (code & 1)
            slots.push_back(&node->right);
        if (code & 2)
            slots.push_back(&node->left);
    }
}

void ZuRBTree::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    storage << TreeRecord() << ZuStorageSync::begin << ZuStorageSync::repeat;
    if (head->right == nil) {
        storage->StoreCard(0);
    } else {
        storage->StoreCard(1);
        StoreSubTree(storage, head->right);
    }
    storage << ZuStorageSync::end_repeat << ZuStorageSync::end;
}

void ZuRBTree::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    FreeSubTree(head->right);
    head->right = nil;
    storage >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::repeat;
    if (storage->RestoreCard(0) != 0) {
        Node* root = nil;
        try {
            RestoreSubTree(storage, root);
        } catch (...) {
            FreeSubTree(root);
            throw;
        }
        head->right = root;
    }
    storage >> ZuStorageSync::end_repeat >> ZuStorageSync::end;
}
