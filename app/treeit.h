// CTreeIt: a walk over a tree (CTree): the children of one node (Init,
// Next) or a whole subtree depth first, parents before their children
// (InitDeep, NextDeep). Direction > 0 goes first to last, < 0 last to
// first. Not stored.
#ifndef LUMBRA_APP_TREEIT_H
#define LUMBRA_APP_TREEIT_H

#include "app/treenode.h"

ZU_HANDLE(CTreeIt, ZuObject)

class CTreeIt : public ZuObject {
    ZU_CLASS(CTreeIt, ZuObject)
public:
    CTreeIt() {}
    ~CTreeIt() override;

    // A children walk of parent.
    void Init(const CTreeNodeRef& parent, int direction);
    // The next child; empty at the end and in a deep walk.
    void Next(CTreeNodeRef& out);
    // A deep walk of root's subtree, root itself first; true.
    bool InitDeep(const CTreeNodeRef& root, int direction);
    // The next node of a deep walk; empty at the end and in a children walk.
    void NextDeep(CTreeNodeRef& out);
    // The walk goes on after the node last returned without entering its
    // children.
    void SkipChildren();

private:
    void Step(const CTreeNodeRef& from, bool enter);

    bool deep = false;
    CTreeNodeRef root;
    CTreeNodeRef current;
    // The node NextDeep returned last.
    CTreeNodeRef last;
    int direction = 0;
};
ZU_CLASS_END(CTreeIt)

#endif
