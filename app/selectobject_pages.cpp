// The selection object's page and layer edits: pages are the children of
// the tree's root, layers the children of a page; a layer's own object is a
// plain drawing object whose flag is the layer's visibility.
#include "app/editshell.h"
#include "app/selectobject.h"
#include "app/tree.h"
#include "si/classfactory.h"

namespace {

const char* const kSource = "selectobject";

CGraObjectRef LayerObject(const CTreeNodeRef& node)
{
    if (node.IsInvalid())
        return CGraObjectRef();
    const ZuObjectRef& o = node->RetObject();
    if (o.IsInvalid() || !o->IsKindOf(CGraObjectRef::RetRuntime()))
        return CGraObjectRef();
    return CGraObjectRef(o);
}

CTreeNodeRef NodeAt(const CDocumentRef& document, int page, int layer)
{
    CTreeNodeRef node;
    if (document.IsValid() && document->GetTree().IsValid())
        document->GetTree()->GetNode(node, page, layer);
    return node;
}

int CountOf(const CTreeNodeRef& node)
{
    return node.IsValid() ? node->CountChildren() : 0;
}

CTreeNodeRef NewLayerNode()
{
    CTreeNodeRef layer = ZuNew<CTreeNode>(nullptr, __LINE__, kSource);
    layer->SetObject(NewGraObject(CGraObjectRef::RetRuntime()));
    return layer;
}

// The indexes read and the tree edited; false without them.
bool Ready(const CDocumentRef& document, const CViewRef& view)
{
    return document.IsValid() && document->GetTree().IsValid() && view.IsValid();
}

} // namespace

void CSelectObject::ClampCurrentPage()
{
    if (viewSettings.IsInvalid())
        return;
    const int count = CountOf(NodeAt(document, -1, -1));
    int& page = viewSettings->current_page;
    if (page > count - 1)
        page = count - 1;
    if (page < 0)
        page = 0;
}

void CSelectObject::ClampCurrentLayer()
{
    if (viewSettings.IsInvalid())
        return;
    ClampCurrentPage();
    const int count = CountOf(NodeAt(document, viewSettings->current_page, -1));
    int& layer = viewSettings->current_layer;
    if (layer > count - 1)
        layer = count - 1;
    if (layer < 0)
        layer = 0;
}

void CSelectObject::NewPage()
{
    if (!Ready(document, viewSettings))
        return;
    ClampCurrentLayer();
    const CTreeNodeRef current = NodeAt(document, viewSettings->current_page, -1);
    if (current.IsInvalid())
        return;
    CTreeNodeRef page = ZuNew<CTreeNode>(nullptr, __LINE__, kSource);
    NewLayerNode()->InsertFirstChild(page);
    CUndoActionRef action = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
    action->RecordInsert(page, current, CUndoAction::AFTER);
    OpenUndoGroup(CUndoGroup::STEP_NEW_PAGE, true);
    AddUndoAction(action);
    document->SetModified(true);
}

void CSelectObject::NewLayer()
{
    if (!Ready(document, viewSettings))
        return;
    ClampCurrentLayer();
    const CTreeNodeRef current =
        NodeAt(document, viewSettings->current_page, viewSettings->current_layer);
    if (current.IsInvalid())
        return;
    CUndoActionRef action = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
    action->RecordInsert(NewLayerNode(), current, CUndoAction::AFTER);
    OpenUndoGroup(CUndoGroup::STEP_NEW_LAYER, true);
    AddUndoAction(action);
    document->SetModified(true);
}

void CSelectObject::DeletePage()
{
    if (!Ready(document, viewSettings))
        return;
    ClampCurrentLayer();
    // The tree keeps one page at least: a view has always a page to show.
    if (CountOf(NodeAt(document, -1, -1)) < 2)
        return;
    CUndoActionRef action = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
    action->RecordRemove(NodeAt(document, viewSettings->current_page, -1));
    OpenUndoGroup(CUndoGroup::STEP_DELETE_PAGE, true);
    AddUndoAction(action);
    document->SetModified(true);
}

void CSelectObject::DeleteLayer()
{
    if (!Ready(document, viewSettings))
        return;
    ClampCurrentLayer();
    // And every page one layer at least, where new objects go.
    if (CountOf(NodeAt(document, viewSettings->current_page, -1)) < 2)
        return;
    CUndoActionRef action = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
    action->RecordRemove(NodeAt(document, viewSettings->current_page, viewSettings->current_layer));
    OpenUndoGroup(CUndoGroup::STEP_DELETE_LAYER, true);
    AddUndoAction(action);
    document->SetModified(true);
}

void CSelectObject::MovePage(int delta)
{
    if (!Ready(document, viewSettings))
        return;
    ClampCurrentLayer();
    const int page = viewSettings->current_page;
    const CTreeNodeRef moved = NodeAt(document, page, -1);
    if (delta == 0 || page + delta < 0)
        return;
    const CTreeNodeRef target = NodeAt(document, page + delta, -1);
    if (moved.IsInvalid() || target.IsInvalid())
        return;
    OpenUndoGroup(CUndoGroup::STEP_MOVE_PAGE, true);
    CUndoActionRef out = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
    out->RecordRemove(moved);
    AddUndoAction(out);
    CUndoActionRef in = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
    in->RecordInsert(moved, target, delta > 0 ? CUndoAction::AFTER : CUndoAction::BEFORE);
    AddUndoAction(in);
    document->SetModified(true);
}

void CSelectObject::MoveLayer(int delta)
{
    if (!Ready(document, viewSettings))
        return;
    ClampCurrentLayer();
    const int page = viewSettings->current_page;
    const int layer = viewSettings->current_layer;
    const CTreeNodeRef moved = NodeAt(document, page, layer);
    if (delta == 0 || layer + delta < 0)
        return;
    const CTreeNodeRef target = NodeAt(document, page, layer + delta);
    if (moved.IsInvalid() || target.IsInvalid())
        return;
    OpenUndoGroup(CUndoGroup::STEP_MOVE_LAYER, true);
    CUndoActionRef out = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
    out->RecordRemove(moved);
    AddUndoAction(out);
    CUndoActionRef in = ZuNew<CUndoAction>(nullptr, __LINE__, kSource);
    in->RecordInsert(moved, target, delta > 0 ? CUndoAction::AFTER : CUndoAction::BEFORE);
    AddUndoAction(in);
    document->SetModified(true);
}

bool CSelectObject::IsLayerVisible(int layer) const
{
    if (viewSettings.IsInvalid() || layer < 0)
        return true;
    const CGraObjectRef o = LayerObject(NodeAt(document, viewSettings->current_page, layer));
    return o.IsInvalid() || o->GetFlag();
}

void CSelectObject::SwapLayerVisibility(int layer)
{
    if (viewSettings.IsInvalid() || layer < 0)
        return;
    const CGraObjectRef o = LayerObject(NodeAt(document, viewSettings->current_page, layer));
    if (o.IsValid())
        o->SetFlag(!o->GetFlag());
}

// The indexes are kept inside the tree even without the palettes: a stored
// document may name a page or layer it does not have.
void CSelectObject::UpdatePageDialog()
{
    ClampCurrentPage();
    RetEditShell().UpdatePageDialog(CSelectObjectRef(this));
}

void CSelectObject::UpdateLayerDialog()
{
    ClampCurrentLayer();
    if (viewSettings.IsValid() && !IsLayerVisible(viewSettings->current_layer))
        SwapLayerVisibility(viewSettings->current_layer);
    RetEditShell().UpdateLayerDialog(CSelectObjectRef(this));
}
