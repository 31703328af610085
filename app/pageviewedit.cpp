// The page view's editing commands and its status line. The view edits
// nothing itself: each command hands the work to the selection object and,
// when that reports a change, brings the tool, the three information fields
// of the main window, the overlay and the image up to date.
#include "app/app.h"
#include "app/defdlg.h"
#include "app/graobject.h"
#include "app/pageview.h"
#include "app/splashwindow.h"
#include "si/error.h"
#include "si/rtclass.h"
#include "si/texttag.h"

#include <cstdio>

ZU_EXPORT_ACTOR(CPageView, EndSelected)
ZU_EXPORT_ACTOR(CPageView, DeleteSelected)
ZU_EXPORT_ACTOR(CPageView, DuplicateSelected)
ZU_EXPORT_ACTOR(CPageView, SelectSendToFront)
ZU_EXPORT_ACTOR(CPageView, SelectSendToBack)
ZU_EXPORT_ACTOR(CPageView, SelectMoveToFront)
ZU_EXPORT_ACTOR(CPageView, SelectMoveToBack)
ZU_EXPORT_ACTOR(CPageView, SelectMirrorX)
ZU_EXPORT_ACTOR(CPageView, SelectMirrorY)
ZU_EXPORT_ACTOR(CPageView, SelectRotate90)
ZU_EXPORT_ACTOR(CPageView, SelectRotate180)
ZU_EXPORT_ACTOR(CPageView, SelectRotate270)
ZU_EXPORT_ACTOR(CPageView, SelectGroup)
ZU_EXPORT_ACTOR(CPageView, SelectUngroup)
ZU_EXPORT_ACTOR(CPageView, GroupGoIn)
ZU_EXPORT_ACTOR(CPageView, GroupGoOut)
ZU_EXPORT_ACTOR(CPageView, ClipboardCut)
ZU_EXPORT_ACTOR(CPageView, ClipboardCopy)
ZU_EXPORT_ACTOR(CPageView, ClipboardPaste)
ZU_EXPORT_ACTOR(CPageView, About)

namespace {

// The information fields of the main window.
enum { FIELD_COORDINATES = 0, FIELD_SELECTION = 1, FIELD_PROPERTIES = 2 };

// The field's new text, redisplayed; nothing when the window has no such
// field.
void SetField(const CMainWindowRef& main, int i, const char* text)
{
    if (main.IsInvalid())
        return;
    const ZuTextTagRef tag = main->RetInfoTag(i);
    if (tag.IsInvalid())
        return;
    tag->SetText(ZuTextRef(text));
    tag->Display(true);
}

CGraObjectRef DrawingObject(const CTreeNodeRef& node)
{
    return node.IsValid() ? CGraObjectRef(node->RetObject()) : CGraObjectRef();
}

} // namespace

// ---------------------------------------------------------------- commands

namespace {

// What follows a command that changed the selection or the tree. After a
// duplication the overlay is kept: the copies are what it shows next.
void AfterChange(CPageView& view, bool clearOverlay)
{
    view.RefreshTool();
    view.UpdateStatus();
    if (clearOverlay)
        view.ClearOverlay();
    view.SetRenderNeeded(true);
    view.Display(true);
}

} // namespace

#define LUMBRA_SELECTION_COMMAND(METHOD, CALL, CLEAR_OVERLAY) \
    bool CPageView::METHOD()                                  \
    {                                                         \
        if (selection->CALL)                                  \
            AfterChange(*this, CLEAR_OVERLAY);                \
        return true;                                          \
    }

LUMBRA_SELECTION_COMMAND(DeleteSelected, DeleteSelected(), true)
LUMBRA_SELECTION_COMMAND(SelectSendToFront, SendToFront(), true)
LUMBRA_SELECTION_COMMAND(SelectSendToBack, SendToBack(), true)
LUMBRA_SELECTION_COMMAND(SelectMoveToFront, MoveToFront(), true)
LUMBRA_SELECTION_COMMAND(SelectMoveToBack, MoveToBack(), true)
LUMBRA_SELECTION_COMMAND(SelectMirrorX, MirrorX(), true)
LUMBRA_SELECTION_COMMAND(SelectMirrorY, MirrorY(), true)
LUMBRA_SELECTION_COMMAND(SelectRotate90, Rotate90(), true)
LUMBRA_SELECTION_COMMAND(SelectRotate180, Rotate180(), true)
LUMBRA_SELECTION_COMMAND(SelectRotate270, Rotate270(), true)
LUMBRA_SELECTION_COMMAND(SelectGroup, Group(), true)
LUMBRA_SELECTION_COMMAND(SelectUngroup, Ungroup(), true)
LUMBRA_SELECTION_COMMAND(GroupGoIn, GroupGoIn(), true)
LUMBRA_SELECTION_COMMAND(GroupGoOut, GroupGoOut(), true)
LUMBRA_SELECTION_COMMAND(DuplicateSelected,
                         Duplicate(document.IsValid() ? DPoint{document->GetDuplicationOffsetX(),
                                                               document->GetDuplicationOffsetY()}
                                                      : DPoint{0.0, 0.0}),
                         false)

#undef LUMBRA_SELECTION_COMMAND

// The overlay is cleared and the page drawn again even when nothing was
// selected: the marks of a gesture that was going on must go. An object of
// several points being drawn is finished with the points it was given, as
// the palette's "Terminer" finishes it.
bool CPageView::EndSelected()
{
    if (selection->EndSelection())
        UpdateStatus();
    if (selection->IsCreating()) {
        selection->CreateFinish(false);
        UpdateStatus();
    }
    ClearOverlay();
    RefreshTool();
    renderNeeded = true;
    Display(true);
    return true;
}

bool CPageView::About()
{
    const AppRef app = App::Current();
    if (app.IsValid() && app->RetSplashWindow().IsValid())
        app->RetSplashWindow()->Hide(false);
    return true;
}

// ---------------------------------------------------------------- clipboard

CTreeNodeRef CPageView::RetEditedTextNode() const
{
    CTreeNodeRef node;
    if (selection.IsValid() && selection->IsEditingObject())
        selection->GetFirstSelectedNode(node);
    return node;
}

bool CPageView::ClipboardCut()
{
    const CTreeNodeRef node = RetEditedTextNode();
    if (node.IsInvalid()) {
        if (!selection->Cut())
            return false;
        UpdateStatus();
        RefreshTool();
        renderNeeded = true;
        Display(true);
        return true;
    }
    const CGraObjectRef o = DrawingObject(node);
    ZuStringRef cut;
    if (o.IsInvalid() || !o->TextCommand(mainPort, cut))
        return false;
    const AppRef app = App::Current();
    if (app.IsValid())
        app->SetClipboardText(cut);
    o->UpdateBoundingBox(mainPort);
    UpdateTextCaret(false);
    renderNeeded = true;
    Display(true);
    selection->UpdateClipboardCommands();
    return true;
}

bool CPageView::ClipboardCopy()
{
    const CTreeNodeRef node = RetEditedTextNode();
    if (node.IsInvalid())
        return selection->Copy();
    const CGraObjectRef o = DrawingObject(node);
    ZuStringRef copied;
    if (o.IsInvalid() || !o->TextSetSelection(mainPort, copied))
        return false;
    const AppRef app = App::Current();
    if (app.IsValid())
        app->SetClipboardText(copied);
    selection->UpdateClipboardCommands();
    return true;
}

bool CPageView::ClipboardPaste()
{
    const CTreeNodeRef node = RetEditedTextNode();
    if (node.IsInvalid()) {
        if (!selection->Paste())
            return false;
        UpdateStatus();
        RefreshTool();
        renderNeeded = true;
        Display(true);
        return true;
    }
    const CGraObjectRef o = DrawingObject(node);
    if (o.IsInvalid())
        return false;
    const AppRef app = App::Current();
    const ZuStringRef text = app.IsValid() ? app->RetClipboardText() : ZuStringRef();
    if (text.IsInvalid() || !o->TextReplace(mainPort, text))
        return false;
    o->UpdateBoundingBox(mainPort);
    UpdateTextCaret(false);
    renderNeeded = true;
    Display(true);
    selection->UpdateClipboardCommands();
    return true;
}

// ---------------------------------------------------------------- dialogs

bool CPageView::DefModify(const int* kinds, int n)
{
    // One trace per kind: a long list never outgrows the trace's buffer.
    Zuvi_Trace("CPageView::DefModify nb=%d attributs=", n);
    for (int i = 0; kinds != nullptr && i < n; ++i)
        Zuvi_Trace("%d ", kinds[i]);
    Zuvi_Trace("\n");
    // Whether the selection took them changes nothing here: the caret and
    // the page follow either way (a new font moves the caret).
    selection->ApplyDefinitions(kinds, n);
    UpdateTextCaret(true);
    renderNeeded = true;
    Display(true);
    return true;
}

bool CPageView::SetPropertyValue(int refresh, int property, double value, int kind)
{
    if (selection->SetPropertyValue(refresh, property, value, kind)) {
        renderNeeded = true;
        Display(true);
    }
    return true;
}

bool CPageView::ModifySelection(int flags)
{
    if (flags & 0x200)
        selection->SnapToGrid(flags);
    else if (flags & 0x100)
        selection->Distribute(flags);
    else
        selection->Align(flags);
    renderNeeded = true;
    Display(true);
    return true;
}

// ---------------------------------------------------------------- status line

void CPageView::UpdateStatus()
{
    char text[64];
    const int count = selection.IsValid() ? selection->GetSelectedCount() : 0;
    if (selection.IsValid() && selection->IsEditingObject())
        std::snprintf(text, sizeof text,
                      "  1 objet \xE9"
                      "dit\xE9");
    else if (count == 0)
        std::snprintf(text, sizeof text, "  Page %d, Calque %c",
                      viewSettings.IsValid() ? viewSettings->current_page + 1 : 1,
                      char('A' + (viewSettings.IsValid() ? viewSettings->current_layer : 0)));
    else if (count == 1)
        std::snprintf(text, sizeof text, "  1 objet s\xE9lectionn\xE9");
    else
        std::snprintf(text, sizeof text, "  %d objets s\xE9lectionn\xE9s", count);
    SetField(mainWindow, FIELD_SELECTION, text);
    UpdateObjectInfo();
    UpdateSelectionInfo();
}

void CPageView::UpdateObjectInfo()
{
    ZuStringRef description;
    if (selection.IsValid() && selection->GetSelectionText(description) && description.IsValid())
        SetField(mainWindow, FIELD_PROPERTIES, description->AccessLatin());
    else
        SetField(mainWindow, FIELD_PROPERTIES, "");
}

// The summary of the selection, shown by the attributes dialog.
void CPageView::UpdateSelectionInfo()
{
    const int count = selection.IsValid() ? selection->GetSelectedCount() : 0;
    ZuStringRef info;
    if (count == 1) {
        CTreeNodeRef node;
        selection->GetFirstSelectedNode(node);
        const CGraObjectRef o = DrawingObject(node);
        if (o.IsInvalid() || !o->GetTypeName(info))
            info = ZuStringRef();
    } else if (count > 1) {
        char text[48];
        std::snprintf(text, sizeof text, "%d objets s\xE9lectionn\xE9s", count);
        info = ZuStringRef(text);
    }
    selectionInfo = info.IsValid() ? info : ZuStringRef("");
    if (const AppRef app = App::Current(); app.IsValid() && app->RetDefDlg().IsValid())
        app->RetDefDlg()->SetSelectionInfo(selectionInfo);
}

void CPageView::ShowCoordinates(const DPoint& p, bool show)
{
    if (!show) {
        SetField(mainWindow, FIELD_COORDINATES, "");
        return;
    }
    const DPoint user = PageToUserPoint(p);
    char x[40], y[40], text[96];
    FormatInUnit(x, sizeof x, user.x, 0);
    FormatInUnit(y, sizeof y, user.y, 0);
    std::snprintf(text, sizeof text, "  X=%s Y=%s", x, y);
    SetField(mainWindow, FIELD_COORDINATES, text);
}

// ---------------------------------------------------------------- overlay and caret

void CPageView::ClearOverlay()
{
    if (overlayPort.IsInvalid())
        return;
    overlayPort->ErasePage();
    SetPortTransform(overlayPort);
}

void CPageView::UpdateTextCaret(bool render)
{
    const CGraObjectRef o = DrawingObject(RetEditedTextNode());
    DPoint a{}, b{};
    const bool shown = o.IsValid() && o->HasText() && o->GetCaret(mainPort, a, b, false);
    const bool changed =
        shown != overlay.editCursor ||
        (shown && (a.x != overlay.cursorEnds[0].x || a.y != overlay.cursorEnds[0].y ||
                   b.x != overlay.cursorEnds[1].x || b.y != overlay.cursorEnds[1].y));
    overlay.editCursor = shown;
    if (shown) {
        overlay.cursorEnds[0] = a;
        overlay.cursorEnds[1] = b;
    }
    if (render && changed) {
        renderNeeded = true;
        Display(true);
    }
}
