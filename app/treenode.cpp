#include "app/treenode.h"

#include <unordered_set>
#include <vector>

#include "app/graobject.h"
#include "si/error.h"
#include "si/rtclass.h"
#include "si/storage.h"

ZU_IMPLEMENT_CLASS(CTreeNode, "app/treenode", ZU_CLASS_PLAIN)

namespace {

// Walks up parent links stop here: only a structure that is not a tree
// (given up by a failed read) is this deep, and it must not hang us.
const int kMaxDepth = 1 << 20;

} // namespace

CTreeNode::~CTreeNode() {}

void CTreeNode::Delete()
{
    // Links that lead back here (a structure given up by a failed read)
    // find the node busy.
    if (deleting)
        return;
    deleting = true;
    const CTreeNodeRef self(this);
    std::unordered_set<CTreeNode*> seen;
    while (first_child.IsValid()) {
        const CTreeNodeRef child = first_child;
        if (!seen.insert(child.Resolve()).second || child->parent != self || child->prev.IsValid())
            break;
        child->Unlink();
        child->Delete();
    }
    if (first_child.IsValid()) {
        // What is left is not a tree: its children are cut loose and
        // deleted each once.
        std::vector<CTreeNodeRef> rest;
        for (CTreeNodeRef c = first_child; c.IsValid() && seen.insert(c.Resolve()).second;
             c = c->next)
            rest.push_back(c);
        first_child = CTreeNodeRef();
        last_child = CTreeNodeRef();
        child_count = 0;
        for (const CTreeNodeRef& c : rest)
            c->Sever();
        for (const CTreeNodeRef& c : rest)
            c->Delete();
    }
    if (object.IsValid()) {
        const ZuObjectRef held = object;
        object = ZuObjectRef();
        held->Delete();
    }
    ZuObject::Delete();
    deleting = false;
}

void CTreeNode::Sever()
{
    parent = CTreeNodeRef();
    prev = CTreeNodeRef();
    next = CTreeNodeRef();
    first_child = CTreeNodeRef();
    last_child = CTreeNodeRef();
}

CTreeNodeRef CTreeNode::GetChild(int n) const
{
    if (n < 0)
        return CTreeNodeRef();
    CTreeNodeRef c = first_child;
    for (int i = 0; i < n && c.IsValid(); ++i)
        c = c->next;
    return c;
}

CTreeNodeRef CTreeNode::GetParentPrev() const
{
    return parent.IsValid() ? parent->prev : CTreeNodeRef();
}

CTreeNodeRef CTreeNode::GetParentNext() const
{
    return parent.IsValid() ? parent->next : CTreeNodeRef();
}

int CTreeNode::GetDepth() const
{
    int depth = 0;
    for (CTreeNodeRef p = parent; p.IsValid() && depth < kMaxDepth; p = p->parent)
        ++depth;
    return depth;
}

CTreeNodeRef CTreeNode::NextInPreorder(const CTreeNodeRef& root, bool enter) const
{
    if (enter && first_child.IsValid())
        return first_child;
    // Never past the root: its own siblings lie outside the walk. The walk
    // goes up by the objects the handles hold, as a handle would reach
    // them, without a handle of its own: a walk of the whole tree takes a
    // step for each node, and a handle's making and unmaking cost more
    // than the step.
    const ZuObject* stop = root.Resolve();
    ZuObject* at = const_cast<CTreeNode*>(this);
    for (int i = 0; at != nullptr && i < kMaxDepth; ++i) {
        const ZuObject* resolved = at->Resolve();
        if (resolved == nullptr || resolved == stop)
            break;
        const CTreeNode* node = static_cast<CTreeNode*>(at->CheckAndResolve());
        if (node->next.IsValid())
            return node->next;
        at = node->parent.RetRawObject();
    }
    return CTreeNodeRef();
}

CTreeNodeRef CTreeNode::PrevInPreorder(const CTreeNodeRef& root, bool enter) const
{
    if (enter && last_child.IsValid())
        return last_child;
    CTreeNodeRef node(const_cast<CTreeNode*>(this));
    for (int i = 0; node.IsValid() && node != root && i < kMaxDepth; ++i) {
        if (node->prev.IsValid())
            return node->prev;
        node = node->parent;
    }
    return CTreeNodeRef();
}

void CTreeNode::AddToSubtree(int delta)
{
    CTreeNode* n = this;
    for (int i = 0; n != nullptr && i < kMaxDepth; ++i) {
        n->subtree_size += delta;
        n = n->parent.Resolve();
    }
}

void CTreeNode::InsertFirstChild(const CTreeNodeRef& p)
{
    if (p->first_child.IsValid()) {
        // A copy: the insertion changes p's first child.
        const CTreeNodeRef first = p->first_child;
        InsertBefore(first);
        return;
    }
    const CTreeNodeRef self(this);
    parent = p;
    prev = CTreeNodeRef();
    next = CTreeNodeRef();
    p->first_child = self;
    p->last_child = self;
    p->child_count += 1;
    p->AddToSubtree(subtree_size + 1);
}

void CTreeNode::InsertLastChild(const CTreeNodeRef& p)
{
    if (p->last_child.IsValid()) {
        const CTreeNodeRef last = p->last_child;
        InsertAfter(last);
        return;
    }
    InsertFirstChild(p);
}

void CTreeNode::InsertBefore(const CTreeNodeRef& at)
{
    // A copy: the caller's handle may be one of the links changed here.
    const CTreeNodeRef sibling = at;
    const CTreeNodeRef self(this);
    const CTreeNodeRef p = sibling->parent;
    parent = p;
    next = sibling;
    prev = sibling->prev;
    if (prev.IsValid())
        prev->next = self;
    else if (p.IsValid())
        p->first_child = self;
    sibling->prev = self;
    if (p.IsValid()) {
        p->child_count += 1;
        p->AddToSubtree(subtree_size + 1);
    }
}

void CTreeNode::InsertAfter(const CTreeNodeRef& at)
{
    const CTreeNodeRef sibling = at;
    const CTreeNodeRef self(this);
    const CTreeNodeRef p = sibling->parent;
    parent = p;
    prev = sibling;
    next = sibling->next;
    if (next.IsValid())
        next->prev = self;
    else if (p.IsValid())
        p->last_child = self;
    sibling->next = self;
    if (p.IsValid()) {
        p->child_count += 1;
        p->AddToSubtree(subtree_size + 1);
    }
}

void CTreeNode::Unlink()
{
    if (parent.IsInvalid())
        return;
    const CTreeNodeRef p = parent;
    p->child_count -= 1;
    p->AddToSubtree(-(subtree_size + 1));
    if (prev.IsValid())
        prev->next = next;
    else
        p->first_child = next;
    if (next.IsValid())
        next->prev = prev;
    else
        p->last_child = prev;
    parent = CTreeNodeRef();
    prev = CTreeNodeRef();
    next = CTreeNodeRef();
}

void CTreeNode::RemoveAllChildren()
{
    while (first_child.IsValid()) {
        const CTreeNodeRef child = first_child;
        child->RemoveAllChildren();
        child->Unlink();
    }
}

void CTreeNode::SetObject(const ZuObjectRef& o)
{
    object = o;
    if (o.IsValid() && o->IsKindOf(CGraObjectRef::RetRuntime()))
        CGraObjectRef(o)->SetTreeNode(CTreeNodeRef(this));
}

void CTreeNode::TraceAddress() const
{
    Zuvi_Trace("%p", static_cast<const void*>(this));
}

void CTreeNode::DumpLinks() const
{
    auto address = [](const CTreeNodeRef& n) {
        if (n.IsValid())
            Zuvi_Trace("%p", static_cast<void*>(n.Resolve()));
        else
            Zuvi_Trace("--------");
    };
    TraceAddress();
    Zuvi_Trace(": p=");
    address(parent);
    Zuvi_Trace(" s=");
    address(prev);
    Zuvi_Trace(" j=");
    address(next);
    Zuvi_Trace(" f=");
    address(first_child);
    Zuvi_Trace(" l=");
    address(last_child);
    Zuvi_Trace(" %d/%d\n", subtree_size, child_count);
}

void CTreeNode::Dump() const
{
    if (object.IsInvalid() || !object->IsKindOf(CGraObjectRef::RetRuntime()))
        return;
    const CGraObjectRef g(object);
    const DRect box = g->GetBoundingBox();
    TraceAddress();
    Zuvi_Trace(": type=%s, sel=%d, bbox=%f;%f;%f;%f\n", object->RetRuntime()->RetClassName(),
               g->GetEditMode(), box.x1, box.y1, box.x2, box.y2);
}

void CTreeNode::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << ZuStorageSync::begin << parent << prev << next << first_child << last_child;
    s << subtree_size << child_count << object << ZuStorageSync::end;
}

void CTreeNode::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::begin >> parent >> prev >> next >> first_child >> last_child;
    s >> subtree_size >> child_count >> object >> ZuStorageSync::end;
    if (object.IsValid() && object->IsKindOf(CGraObjectRef::RetRuntime()))
        CGraObjectRef(object)->SetTreeNode(CTreeNodeRef(this));
    Zuvi_Trace("CTreeNode::RestoreInstance\n");
}
