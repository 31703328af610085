// CUndoAction: the record of one change of a document's object tree. Each
// record operation makes the change and remembers it in the same call; the
// inverse of a record is made by recording the opposite change on a new
// action, which makes that change. Nothing else applies or reverts an
// action.
//
//   oper 1 inserted: object the inserted node; attach empty
//   oper 2 replaced: attach the new node (standing where the old one
//          stood), object the old node (taken out)
//   oper 3 removed:  object the removed node; attach its previous sibling
//          (mode 4, after it) or, when it was the first child, its parent
//          (mode 1, first child)
//
// The nodes an action holds keep their subtrees and drawing objects alive:
// a node taken out of the tree lives on only through the record that holds
// it. No stored form of its own beyond the object's.
#ifndef LUMBRA_APP_UNDOACTION_H
#define LUMBRA_APP_UNDOACTION_H

#include "app/treenode.h"

ZU_HANDLE(CUndoAction, ZuObject)

class CUndoAction : public ZuObject {
    ZU_CLASS(CUndoAction, ZuObject)
public:
    enum { INSERTED = 1, REPLACED = 2, REMOVED = 3 };
    // Where a node is linked relative to the attach node.
    enum { FIRST_CHILD = 1, LAST_CHILD = 2, BEFORE = 3, AFTER = 4 };

    CUndoAction() {}
    ~CUndoAction() override;
    // Empties both handles.
    void Delete() override;

    // Links node relative to attach by mode (any other mode links nothing
    // but is still recorded as an insertion).
    void RecordInsert(CTreeNodeRef node, CTreeNodeRef attach, int mode);
    // Links the new node before the old one, then takes the old one out.
    void RecordReplace(CTreeNodeRef newNode, CTreeNodeRef oldNode);
    // Takes the node out, remembering where it stood.
    void RecordRemove(CTreeNodeRef node);
    // A new action in result that records (and so makes) the opposite
    // change; an empty action (oper 0) changes nothing.
    void MakeInverse(CUndoActionRef& result);

    int GetOper() const { return oper; }
    int GetMode() const { return mode; }
    CTreeNodeRef GetObjectNode() const { return object; }
    CTreeNodeRef GetAttachNode() const { return attach; }
    // The node whose children the change touched, read before the inverse
    // is made: the inserted node's parent, the new node's parent, the
    // parent that a removed node left (the attach node itself when it was
    // the first child); empty for an empty action.
    CTreeNodeRef GetParentNode() const;

    // Whether this replacement follows the older one on the same node (its
    // old node is the node the older one put in).
    bool CanMerge(CUndoActionRef older) const;
    // One replacement for both: the old node becomes the older one's.
    void Merge(CUndoActionRef older);

    // Trace: the record, then the attach and object nodes when set.
    void Dump() const;

private:
    int oper = 0;
    int mode = 0;
    CTreeNodeRef attach;
    CTreeNodeRef object;
};
ZU_CLASS_END(CUndoAction)

#endif
