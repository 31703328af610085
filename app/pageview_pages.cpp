// The page view's page and layer operations, called by the pages and
// layers palettes: every running edit is ended, the page or layer is made
// current, the selection object changes the tree as one undo step, the
// resulting page or layer becomes current and the view redraws.
#include "app/pageview.h"
#include "app/tree.h"

namespace {

int ChildCount(const CDocumentRef& document, int page)
{
    if (document.IsInvalid() || document->GetTree().IsInvalid())
        return 0;
    CTreeNodeRef node;
    document->GetTree()->GetNode(node, page, -1);
    return node.IsValid() ? node->CountChildren() : 0;
}

} // namespace

void CPageView::LeaveEditing()
{
    if (selection.IsValid()) {
        while (selection->GroupGoOut()) {}
        selection->EndSelection();
    }
    RefreshTool();
    if (overlayPort.IsValid()) {
        overlayPort->ErasePage();
        SetPortTransform(overlayPort);
    }
}

namespace {

// What the page operations share after the tree changed: the layer
// brought within the new page and shown, the view redrawn.
void AfterPageChange(CPageView& view, const CSelectObjectRef& selection)
{
    if (selection.IsValid())
        selection->UpdateLayerDialog();
    view.SetRenderNeeded(true);
    view.Display(true);
    view.UpdateStatus();
}

void AfterLayerChange(CPageView& view, const CSelectObjectRef& selection)
{
    if (selection.IsValid())
        selection->ClampCurrentLayer();
    view.SetRenderNeeded(true);
    view.Display(true);
    view.UpdateStatus();
}

} // namespace

bool CPageView::GoToPage(int page, const ZuEventRef&)
{
    LeaveEditing();
    if (viewSettings.IsValid())
        viewSettings->current_page = page;
    if (selection.IsValid())
        selection->ClampCurrentPage();
    AfterPageChange(*this, selection);
    return true;
}

bool CPageView::NewPage(int page, const ZuEventRef&)
{
    LeaveEditing();
    if (viewSettings.IsValid() && selection.IsValid()) {
        viewSettings->current_page = page;
        const int before = ChildCount(document, -1);
        selection->NewPage();
        if (ChildCount(document, -1) > before)
            viewSettings->current_page += 1;
    }
    AfterPageChange(*this, selection);
    return true;
}

bool CPageView::DeletePage(int page, const ZuEventRef&)
{
    LeaveEditing();
    if (viewSettings.IsValid() && selection.IsValid()) {
        viewSettings->current_page = page;
        selection->DeletePage();
        const int p = viewSettings->current_page;
        viewSettings->current_page = p < ChildCount(document, -1) ? p : p - 1;
        selection->ClampCurrentPage();
    }
    AfterPageChange(*this, selection);
    return true;
}

bool CPageView::MovePage(int page, const ZuEventRef&, int delta)
{
    LeaveEditing();
    if (viewSettings.IsValid() && selection.IsValid()) {
        viewSettings->current_page = page;
        selection->ClampCurrentPage();
        const int p = viewSettings->current_page;
        // A target outside the tree moves nothing: the page stays current.
        if (p + delta >= 0 && p + delta < ChildCount(document, -1)) {
            selection->MovePage(delta);
            viewSettings->current_page = p + delta;
        }
    }
    AfterPageChange(*this, selection);
    return true;
}

bool CPageView::GoToLayer(int layer, const ZuEventRef&)
{
    LeaveEditing();
    if (viewSettings.IsValid() && selection.IsValid()) {
        viewSettings->current_layer = layer;
        selection->ClampCurrentLayer();
        if (!selection->IsLayerVisible(viewSettings->current_layer))
            selection->SwapLayerVisibility(viewSettings->current_layer);
    }
    AfterLayerChange(*this, selection);
    return true;
}

bool CPageView::NewLayer(int layer, const ZuEventRef&)
{
    LeaveEditing();
    if (viewSettings.IsValid() && selection.IsValid()) {
        viewSettings->current_layer = layer;
        selection->ClampCurrentLayer();
        const int page = viewSettings->current_page;
        const int before = ChildCount(document, page);
        selection->NewLayer();
        if (ChildCount(document, page) > before)
            viewSettings->current_layer += 1;
    }
    AfterLayerChange(*this, selection);
    return true;
}

bool CPageView::DeleteLayer(int layer, const ZuEventRef&)
{
    LeaveEditing();
    if (viewSettings.IsValid() && selection.IsValid()) {
        viewSettings->current_layer = layer;
        selection->DeleteLayer();
        const int l = viewSettings->current_layer;
        viewSettings->current_layer =
            l < ChildCount(document, viewSettings->current_page) ? l : l - 1;
    }
    AfterLayerChange(*this, selection);
    return true;
}

bool CPageView::MoveLayer(int layer, const ZuEventRef&, int delta)
{
    LeaveEditing();
    if (viewSettings.IsValid() && selection.IsValid()) {
        viewSettings->current_layer = layer;
        selection->ClampCurrentLayer();
        const int l = viewSettings->current_layer;
        if (l + delta >= 0 && l + delta < ChildCount(document, viewSettings->current_page)) {
            selection->MoveLayer(delta);
            viewSettings->current_layer = l + delta;
        }
    }
    AfterLayerChange(*this, selection);
    return true;
}

bool CPageView::SwapLayerVisibility(int layer, const ZuEventRef&)
{
    LeaveEditing();
    if (selection.IsValid())
        selection->SwapLayerVisibility(layer);
    SetRenderNeeded(true);
    Display(true);
    UpdateStatus();
    return true;
}

bool CPageView::RefreshPagesDlg()
{
    if (mainWindow.IsValid())
        mainWindow->UpdatePagesButton();
    return true;
}

bool CPageView::RefreshLayersDlg()
{
    if (mainWindow.IsValid())
        mainWindow->UpdateLayersButton();
    return true;
}
