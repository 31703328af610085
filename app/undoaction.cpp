#include "app/undoaction.h"

#include "si/classfactory.h"
#include "si/error.h"
#include "si/rtclass.h"

ZU_IMPLEMENT_CLASS(CUndoAction, "app/undoaction", ZU_CLASS_PLAIN)

CUndoAction::~CUndoAction() {}

void CUndoAction::Delete()
{
    attach = CTreeNodeRef();
    object = CTreeNodeRef();
    ZuObject::Delete();
}

void CUndoAction::RecordInsert(CTreeNodeRef node, CTreeNodeRef at, int how)
{
    if (node.IsValid() && at.IsValid()) {
        switch (how) {
        case FIRST_CHILD:
            node->InsertFirstChild(at);
            break;
        case LAST_CHILD:
            node->InsertLastChild(at);
            break;
        case BEFORE:
            node->InsertBefore(at);
            break;
        case AFTER:
            node->InsertAfter(at);
            break;
        default:
            break;
        }
    }
    oper = INSERTED;
    mode = 0;
    attach = CTreeNodeRef();
    object = node;
}

void CUndoAction::RecordReplace(CTreeNodeRef newNode, CTreeNodeRef oldNode)
{
    if (newNode.IsValid() && oldNode.IsValid()) {
        newNode->InsertBefore(oldNode);
        oldNode->Unlink();
    }
    oper = REPLACED;
    mode = 0;
    attach = newNode;
    object = oldNode;
}

void CUndoAction::RecordRemove(CTreeNodeRef node)
{
    if (node.IsValid()) {
        const CTreeNodeRef before = node->RetPrev();
        if (before.IsValid()) {
            mode = AFTER;
            attach = before;
        } else {
            mode = FIRST_CHILD;
            attach = node->RetParent();
        }
        node->Unlink();
    } else {
        mode = FIRST_CHILD;
        attach = CTreeNodeRef();
    }
    oper = REMOVED;
    object = node;
}

void CUndoAction::MakeInverse(CUndoActionRef& result)
{
    result = ZuNew<CUndoAction>(nullptr, __LINE__, "undoaction");
    switch (oper) {
    case INSERTED:
        result->RecordRemove(object);
        break;
    case REPLACED:
        result->RecordReplace(object, attach);
        break;
    case REMOVED:
        result->RecordInsert(object, attach, mode);
        break;
    default:
        break;
    }
}

CTreeNodeRef CUndoAction::GetParentNode() const
{
    switch (oper) {
    case INSERTED:
        return object.IsValid() ? object->RetParent() : CTreeNodeRef();
    case REMOVED:
        // The first child of attach was removed: attach is the place.
        if (mode == FIRST_CHILD || mode == LAST_CHILD)
            return attach;
        return attach.IsValid() ? attach->RetParent() : CTreeNodeRef();
    case REPLACED:
        return attach.IsValid() ? attach->RetParent() : CTreeNodeRef();
    default:
        return CTreeNodeRef();
    }
}

bool CUndoAction::CanMerge(CUndoActionRef older) const
{
    return older.IsValid() && oper == REPLACED && older->oper == REPLACED && object.IsValid() &&
           older->attach.IsValid() && object.Resolve() == older->attach.Resolve();
}

void CUndoAction::Merge(CUndoActionRef older)
{
    if (older.IsValid())
        object = older->object;
}

void CUndoAction::Dump() const
{
    auto address = [](const CTreeNodeRef& n) {
        if (n.IsValid())
            n->TraceAddress();
        else
            Zuvi_Trace("--------");
    };
    Zuvi_Trace("  UndoAction: oper=%d object=", oper);
    address(object);
    Zuvi_Trace(" attach=");
    address(attach);
    Zuvi_Trace(" mode=%d\n", mode);
    if (attach.IsValid()) {
        Zuvi_Trace("        attach: ");
        attach->Dump();
    }
    if (object.IsValid()) {
        Zuvi_Trace("        object: ");
        object->Dump();
    }
}
