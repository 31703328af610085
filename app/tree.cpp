#include "app/tree.h"

#include <unordered_set>
#include <vector>

#include "si/classfactory.h"
#include "si/error.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storageformat.h"

ZU_IMPLEMENT_CLASS(CTree, "app/tree", ZU_CLASS_PLAIN)

CTree::CTree()
{
    root = ZuNew<CTreeNode>();
}

CTree::~CTree()
{
    if (root.IsValid())
        root->Delete();
}

void CTree::Delete()
{
    if (root.IsValid()) {
        const CTreeNodeRef r = root;
        root = CTreeNodeRef();
        r->Delete();
    }
    ZuObject::Delete();
}

void CTree::GetNode(CTreeNodeRef& out, int page, int layer) const
{
    if (page == -1) {
        out = root;
        return;
    }
    out = root.IsValid() ? root->GetChild(page) : CTreeNodeRef();
    if (layer != -1 && out.IsValid())
        out = out->GetChild(layer);
}

void CTree::Dump(const CTreeNodeRef& from) const
{
    Zuvi_Trace("Content of CTree :\n");
    for (CTreeNodeRef n = from; n.IsValid(); n = n->NextInPreorder(from, true))
        n->DumpLinks();
}

bool CTree::CheckLinks(const CTreeNodeRef& top)
{
    CTreeNode* const head = top.Resolve();
    if (!head)
        return false;
    // Nodes in pre-order with the place of each one's parent; subtree sizes
    // are then summed bottom up. Every node met has its parent and previous
    // links checked against the walk, so the walk meets no node twice: a
    // child list that loops back fails at the previous link of the first
    // node met again, and a node has one parent. Only the top itself could
    // come again (its own parent is not the walk's), and it is refused.
    std::vector<CTreeNode*> order{head};
    std::vector<std::size_t> above{0};
    for (std::size_t i = 0; i < order.size(); ++i) {
        CTreeNode* const n = order[i];
        CTreeNode* before = nullptr;
        int children = 0;
        for (CTreeNode* c = n->first_child.Resolve(); c; c = c->next.Resolve()) {
            if (c == head || c->parent.Resolve() != n || c->prev.Resolve() != before)
                return false;
            order.push_back(c);
            above.push_back(i);
            before = c;
            ++children;
        }
        if (n->last_child.Resolve() != before || children != n->child_count)
            return false;
    }
    std::vector<long long> sizes(order.size(), 0);
    for (std::size_t i = order.size(); i-- > 0;) {
        if (sizes[i] != order[i]->subtree_size)
            return false;
        if (i > 0)
            sizes[above[i]] += sizes[i] + 1;
    }
    return true;
}

void CTree::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << ZuStorageSync::begin << root << ZuStorageSync::end;
}

void CTree::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    const CTreeNodeRef before = root;
    s >> ZuStorageSync::begin >> root >> ZuStorageSync::end;
    if (before.IsValid() && before != root)
        before->Delete();
}

void CTree::Awake()
{
    ZuObject::Awake();
    // The nodes are read after the tree: only now can their links be
    // checked. The root stands alone: no parent, no siblings.
    const bool sound = root.IsValid() && root->parent.IsInvalid() && root->prev.IsInvalid() &&
                       root->next.IsInvalid() && CheckLinks(root);
    if (sound)
        return;
    // The nodes read are cut loose so that none keeps another alive.
    std::vector<CTreeNodeRef> reached;
    std::unordered_set<CTreeNode*> seen;
    if (root.IsValid() && seen.insert(root.Resolve()).second)
        reached.push_back(root);
    for (std::size_t i = 0; i < reached.size(); ++i) {
        const CTreeNodeRef n = reached[i];
        for (const CTreeNodeRef* l :
             {&n->parent, &n->prev, &n->next, &n->first_child, &n->last_child})
            if (l->IsValid() && seen.insert(l->Resolve()).second)
                reached.push_back(*l);
    }
    for (const CTreeNodeRef& n : reached)
        n->Sever();
    Zuvi_StorageFormat::BadData("CTree: links of the stored tree disagree", __LINE__);
}
