// The page view's commands on the view itself: undo and redo, the settings
// dialog, the grid, outline and bounding-box switches, the properties
// dialog and the debug listing; and the events through which the
// attribute panes and dialogs and the properties dialog report changes.
//
// The samples, attributes and properties dialogs are the application's
// (App); a view without them (under another application) changes only
// itself on their commands and ignores their reports.
#include "app/app.h"
#include "app/pageview.h"
#include "app/propertydlg.h"
#include "app/sampledlg.h"
#include "si/app.h"
#include "si/classfactory.h"
#include "si/rtclass.h"

ZU_EXPORT_ACTOR(CPageView, Undo)
ZU_EXPORT_ACTOR(CPageView, Redo)
ZU_EXPORT_ACTOR(CPageView, ChangeSetup)
ZU_EXPORT_ACTOR(CPageView, SwapGrid)
ZU_EXPORT_ACTOR(CPageView, SwapOutline)
ZU_EXPORT_ACTOR(CPageView, SwapBBox)
ZU_EXPORT_ACTOR(CPageView, SwapProperty)
ZU_EXPORT_ACTOR(CPageView, Debug)
ZU_EXPORT_OBSERVER(CPageView, AsyncDefModify)
ZU_EXPORT_OBSERVER(CPageView, AsyncDefUpdateFullProperty)
ZU_EXPORT_OBSERVER(CPageView, AsyncDefUpdateQuickProperty)
ZU_EXPORT_OBSERVER(CPageView, AsyncPropertyModify)
ZU_EXPORT_OBSERVER(CPageView, AsyncPropertyRedraw)

namespace {

AppRef TheApp()
{
    const ZuAppRef& app = ZuApp::Current();
    if (app.IsInvalid() || !app->IsKindOf(AppRef::RetRuntime()))
        return AppRef();
    return AppRef(ZuObjectRef(app));
}

CPropertyDlgRef ThePropertyDlg()
{
    const AppRef app = TheApp();
    const ZuObjectRef o = app.IsValid() ? app->RetPropertyDlg() : ZuObjectRef();
    return o.IsValid() && o->IsKindOf(CPropertyDlgRef::RetRuntime()) ? CPropertyDlgRef(o)
                                                                     : CPropertyDlgRef();
}

// Whether the reporter is of the named class of the program.
bool IsOfClass(const ZuObjectRef& source, const char* className)
{
    ZuRuntimeRef runtime;
    return source.IsValid() && ZuClassFactory::GetClass(className, runtime) && runtime.IsValid() &&
           source->IsKindOf(runtime);
}

} // namespace

bool CPageView::Undo()
{
    if (selection.IsInvalid() || !selection->Undo())
        return true;
    RefreshTool();
    UpdateStatus();
    renderNeeded = true;
    RefreshDisplay(true);
    return true;
}

bool CPageView::Redo()
{
    if (selection.IsInvalid() || !selection->Redo())
        return true;
    RefreshTool();
    UpdateStatus();
    renderNeeded = true;
    RefreshDisplay(true);
    return true;
}

bool CPageView::ChangeSetup()
{
    UpdateSetupDlg(0, 0);
    const AppRef app = TheApp();
    if (app.IsValid() && app->RetSetupDlg().IsValid())
        app->RetSetupDlg()->Hide(false);
    return true;
}

bool CPageView::SwapGrid()
{
    bool* s = viewSettings->switches;
    s[CView::SHOW_GRID] = !s[CView::SHOW_GRID];
    s[CView::GRID_MAGNETISM] = s[CView::SHOW_GRID];
    if (selection.IsValid())
        selection->UpdateSwapGridCommand();
    RefreshTool();
    UpdateSetupDlg(1, 0);
    renderNeeded = true;
    RefreshDisplay(true);
    return true;
}

bool CPageView::SwapOutline()
{
    bool* s = viewSettings->switches;
    s[CView::OUTLINE] = !s[CView::OUTLINE];
    if (selection.IsValid())
        selection->UpdateSwapOutlineCommand();
    RefreshTool();
    renderNeeded = true;
    RefreshDisplay(true);
    return true;
}

bool CPageView::SwapBBox()
{
    bool* s = viewSettings->switches;
    s[CView::SHOW_BOUNDING_BOXES] = !s[CView::SHOW_BOUNDING_BOXES];
    // No menu entry to check: the palette shows the state when it is laid
    // out again.
    RefreshTool();
    renderNeeded = true;
    RefreshDisplay(true);
    return true;
}

bool CPageView::SwapProperty()
{
    // The properties dialog is filled when it opens, then shown or hidden;
    // the check mark follows it.
    const CPropertyDlgRef dlg = ThePropertyDlg();
    if (dlg.IsValid()) {
        if (!dlg->IsVisible()) {
            dlg->SetPageView(CPageViewRef(this));
            dlg->SetSelectObject(selection);
            dlg->SetView(viewSettings);
            if (selection.IsValid())
                selection->RebuildPropertyDlg(true);
        }
        dlg->Hide(dlg->IsVisible());
    }
    if (selection.IsValid())
        selection->UpdateSwapPropertyCommand();
    RefreshTool();
    renderNeeded = true;
    RefreshDisplay(true);
    return true;
}

bool CPageView::Debug()
{
    if (selection.IsValid())
        selection->Dump();
    return true;
}

void CPageView::UpdateSetupDlg(int topic, int item)
{
    const AppRef app = TheApp();
    if (app.IsInvalid() || app->RetSetupDlg().IsInvalid())
        return;
    const CSetupDlgRef dlg = app->RetSetupDlg();
    dlg->SetPageView(CPageViewRef(this));
    dlg->Update(topic, item);
}

void CPageView::UpdateSampleDlg(bool reload)
{
    // The samples dialog takes this view and fills its list again.
    const AppRef app = TheApp();
    if (app.IsInvalid() || !IsOfClass(app->RetSampleDlg(), "CSampleDlg"))
        return;
    const CSampleDlgRef dlg(app->RetSampleDlg());
    dlg->SetPageView(CPageViewRef(this));
    dlg->Update(reload);
}

bool CPageView::AsyncDefModify(const ZuObjectRef& source, unsigned)
{
    // The kinds a pane or the attributes dialog changed go to the
    // selection through DefModify, which also redraws the page, so the
    // change shows before the next input; the list is emptied for the
    // next change. An empty list changes nothing: no undo step is made
    // for it.
    if (IsOfClass(source, "CDefPane")) {
        const CDefPaneRef pane(source);
        int* kinds = nullptr;
        int count = 0;
        pane->GetCodes(&kinds, &count);
        if (selection.IsValid() && count > 0)
            DefModify(kinds, count);
        pane->ClearCodes();
    }
    if (IsOfClass(source, "CDefDlg")) {
        const CDefDlgRef dialog(source);
        const int* kinds = nullptr;
        int count = 0;
        dialog->RetModifiedKinds(&kinds, &count);
        if (selection.IsValid() && count > 0)
            DefModify(kinds, count);
        dialog->ClearModifiedKinds();
    }
    return true;
}

bool CPageView::AsyncDefUpdateFullProperty(const ZuObjectRef& source, unsigned)
{
    if (IsOfClass(source, "CDefPane") && selection.IsValid())
        selection->RebuildPropertyDlg(false);
    return true;
}

bool CPageView::AsyncDefUpdateQuickProperty(const ZuObjectRef& source, unsigned)
{
    if (!IsOfClass(source, "CDefPane") || selection.IsInvalid() ||
        selection->GetSelectedCount() != 1)
        return true;
    CTreeNodeRef node;
    selection->GetFirstSelectedNode(node);
    if (node.IsInvalid())
        return true;
    ZuObjectRef& object = node->RetObject();
    if (object.IsValid() && object->IsKindOf(CGraObjectRef::RetRuntime())) {
        const CGraObjectRef g(object);
        selection->RefreshPropertyDlg(g, g->GetHandlePosition(0), -1);
    }
    return true;
}

bool CPageView::AsyncPropertyModify(const ZuObjectRef& source, unsigned)
{
    // The properties dialog's last edit is applied to the selection, which
    // redraws the page when it changed; the status line follows.
    if (!IsOfClass(source, "CPropertyDlg"))
        return true;
    int entry = -1, property = -1, option = 0;
    double value = 0.0;
    CPropertyDlgRef(source)->RetModification(&entry, &property, &value, &option);
    if (property >= 0 && selection.IsValid())
        SetPropertyValue(entry, property, value, option);
    UpdateStatus();
    return true;
}

bool CPageView::AsyncPropertyRedraw(const ZuObjectRef& source, unsigned)
{
    if (IsOfClass(source, "CPropertyDlg"))
        RefreshDisplay(true);
    return true;
}
