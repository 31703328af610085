#include "app/treeit.h"

#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(CTreeIt, "app/treeit", ZU_CLASS_PLAIN)

CTreeIt::~CTreeIt() {}

void CTreeIt::Init(const CTreeNodeRef& parent, int dir)
{
    deep = false;
    root = CTreeNodeRef();
    last = CTreeNodeRef();
    direction = dir;
    if (parent.IsInvalid() || dir == 0)
        current = CTreeNodeRef();
    else
        current = dir > 0 ? parent->RetFirstChild() : parent->RetLastChild();
}

void CTreeIt::Next(CTreeNodeRef& out)
{
    if (deep || current.IsInvalid()) {
        out = CTreeNodeRef();
        return;
    }
    out = current;
    current = direction > 0 ? current->RetNext() : current->RetPrev();
}

bool CTreeIt::InitDeep(const CTreeNodeRef& r, int dir)
{
    deep = true;
    root = r;
    current = r;
    last = CTreeNodeRef();
    direction = dir;
    return true;
}

void CTreeIt::NextDeep(CTreeNodeRef& out)
{
    if (!deep || current.IsInvalid()) {
        out = CTreeNodeRef();
        return;
    }
    out = current;
    last = current;
    Step(current, true);
}

void CTreeIt::SkipChildren()
{
    // The node last returned is the one whose children are passed over.
    if (deep && last.IsValid())
        Step(last, false);
}

void CTreeIt::Step(const CTreeNodeRef& from, bool enter)
{
    const CTreeNodeRef after =
        direction >= 0 ? from->NextInPreorder(root, enter) : from->PrevInPreorder(root, enter);
    current = after;
    if (current.IsInvalid()) {
        root = CTreeNodeRef();
        last = CTreeNodeRef();
        direction = 0;
    }
}
