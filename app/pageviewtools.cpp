// The page view's tools: which tool is current, the palette's table for
// each page, and what a click on a palette entry does.
//
// Tool codes are icon numbers shared with the palette: pages 0 "Dessiner",
// 1 "Modifier", 2 "Voir"; tools 3 to 7 and the drawing tools 10 to 19. The
// document keeps the tool last chosen on each page; a stored word that is
// not a tool of its page is never used: the view falls back to the
// selection tool (on "Voir", to the magnifier).
#include "app/app.h"
#include "app/defdlg.h"
#include "app/pageview.h"
#include "app/toolpalette.h"
#include "si/error.h"
#include "si/event.h"
#include "si/rtclass.h"
#include "si/time.h"

namespace {

bool IsDrawingWord(int code)
{
    return (code >= 10 && code <= 16) || code == 18;
}

CToolPaletteRef AsPalette(const ZuObjectRef& o)
{
    if (o.IsInvalid() || !o->IsKindOf(CToolPaletteRef::RetRuntime()))
        return CToolPaletteRef();
    return CToolPaletteRef(o);
}

} // namespace

void CPageView::SetToolPalettes(const ZuObjectRef& tools, const ZuObjectRef& popup)
{
    input.palette = tools;
    input.popup = popup;
    input.palettesSet = true;
}

ZuObjectRef CPageView::RetToolPalette(int which)
{
    if (input.palettesSet)
        return which == 0 ? input.palette : input.popup;
    AppRef app = App::Current();
    if (app.IsInvalid())
        return ZuObjectRef();
    return which == 0 ? app->RetToolPalette() : app->RetToolPalette2();
}

// Selector 1 the page, 2 the tool, 3 the transform mode: the active entry
// of kind selector + 2; -1 without a palette or an active entry.
int CPageView::RetPaletteTool(int selector)
{
    CToolPaletteRef palette = AsPalette(RetToolPalette(0));
    if (palette.IsInvalid())
        return -1;
    const int code = palette->GetCurrentTool(selector);
    return code < 0 && selector == 1 ? input.page : code;
}

void CPageView::SetPaletteTool(int selector, int code)
{
    CToolPaletteRef palette = AsPalette(RetToolPalette(0));
    if (palette.IsValid())
        palette->SetCurrentTool(selector, code);
}

int CPageView::RetPaletteToolGroup(int code)
{
    CToolPaletteRef palette = AsPalette(RetToolPalette(0));
    return palette.IsValid() ? palette->GetToolKind(code) : 0;
}

void CPageView::SetPaletteToolGroup(int code, int group)
{
    CToolPaletteRef palette = AsPalette(RetToolPalette(0));
    if (palette.IsValid())
        palette->SetToolKind(code, group);
}

int CPageView::RetModifiers(const ZuEventRef& event)
{
    if (event.IsInvalid())
        return 0;
    const ZuKeyModifiers& m = event->RetKey().modifiers;
    int mask = 0;
    if (m.TestBit(ZU_MOD_CONTROL))
        mask |= 1;
    if (m.TestBit(ZU_MOD_SHIFT))
        mask |= 2;
    if (m.TestBit(ZU_MOD_META_1))
        mask |= 4;
    return mask;
}

bool CPageView::RunCommand(const char* name)
{
    const Zuvi_Target* target = RetRuntime()->FindActor(ZuAtomRef(name));
    if (target == nullptr || target->actor_fn == nullptr)
        return false;
    return target->actor_fn(this);
}

void CPageView::UpdateTool(int page)
{
    const int64_t t0 = ZuTime::NowLocalAbsTime();
    if (page != 1 && page != 2)
        page = 0;
    int drawTool = 10, modifyTool = 6, viewTool = 3;
    if (document.IsValid()) {
        drawTool = document->GetToolChoice(0);
        modifyTool = document->GetToolChoice(1);
        viewTool = document->GetToolChoice(2);
    }
    if (modifyTool != 6 && modifyTool != 7)
        modifyTool = 6;
    if (viewTool < 3 || viewTool > 5)
        viewTool = 3;
    if (!IsDrawingWord(drawTool)) {
        // No drawing tool to show: the selection tool instead.
        drawTool = -1;
        if (page == 0) {
            page = 1;
            modifyTool = 6;
        }
    }
    input.page = page;
    const bool hasSelection = selection.IsValid() && selection->HasSelection();
    const int count = selection.IsValid() ? selection->GetSelectedCount() : 0;
    const bool creating = selection.IsValid() && selection->IsCreating();

    int32_t list[CToolPalette::kMaxValues];
    int n = 0;
    CToolPalette::AppendToolTable(list, n, CToolPalette::kModeTable);
    CToolPalette::SetToolEntryOn(list, n, page);
    CToolPalette::AppendToolTable(list, n,
                                  page == 1   ? CToolPalette::kSelectTable
                                  : page == 2 ? CToolPalette::kViewTable
                                              : CToolPalette::kDrawTable);
    CToolPalette::SetToolEntryOn(list, n, drawTool);
    CToolPalette::SetToolEntryOn(list, n, modifyTool);
    CToolPalette::SetToolEntryOn(list, n, viewTool);
    if (page == 1 && modifyTool == 6 && selection.IsValid()) {
        const int option = selection->GetSelectOption();
        const int mode = selection->GetBoxHandleMode();
        CToolPalette::AppendToolTable(list, n, CToolPalette::kTransformTable);
        if (option & 1)
            CToolPalette::SetToolEntryOn(list, n, 121);
        if (!selection->IsSingleWithoutBox())
            CToolPalette::SetToolEntryOn(list, n, mode);
        if (selection->IsBoxSelection() && mode == CSelectObject::MODE_SCALE) {
            CToolPalette::AppendToolTable(list, n, CToolPalette::kAdjustTable);
            if (option & 2)
                CToolPalette::SetToolEntryOn(list, n, 122);
        }
    } else if (page == 1) {
        CToolPalette::AppendToolTable(list, n, CToolPalette::kRowEndTable);
    }
    if (page == 2 && viewSettings.IsValid()) {
        if (viewSettings->switches[CView::SHOW_GRID])
            CToolPalette::SetToolEntryOn(list, n, 88);
        if (viewSettings->switches[CView::OUTLINE])
            CToolPalette::SetToolEntryOn(list, n, 86);
        if (RetEditShell().IsPropertyDlgVisible())
            CToolPalette::SetToolEntryOn(list, n, 78);
        if (viewSettings->switches[CView::SHOW_BOUNDING_BOXES])
            CToolPalette::SetToolEntryOn(list, n, 87);
    }
    if (creating) {
        CToolPalette::AppendToolTable(list, n, CToolPalette::kBottomTable);
    } else {
        bool editingText = false;
        if (selection.IsValid() && selection->IsEditingObject()) {
            CTreeNodeRef first;
            selection->GetFirstSelectedNode(first);
            const ZuObjectRef& o = first.IsValid() ? first->RetObject() : ZuObjectRef();
            editingText = o.IsValid() && o->IsKindOf(CGraObjectRef::RetRuntime()) &&
                          CGraObjectRef(o)->HasText();
        }
        const bool oneGroup = count == 1 && selection->IsSingleGroupSelected();
        const int32_t body[] = {
            -5,
            -6,
            page == 0 || hasSelection ? 30 : -4,
            page == 0 || hasSelection ? 38 : -4,
            -2,
            hasSelection && !editingText ? 80 : -4,
            hasSelection ? 93 : -4,
            hasSelection ? 94 : -4,
            -2,
            hasSelection ? 107 : -4,
            hasSelection ? 108 : -4,
            hasSelection ? 109 : -4,
            -2,
            count >= 2 ? 81
            : oneGroup ? 82
                       : -4,
            oneGroup ? 83 : -4,
            selection.IsValid() && selection->GetEnteredDepth() != 0 ? 84 : -4,
            -2,
            hasSelection ? 71 : -4,
            hasSelection ? 70 : -4,
        };
        // The command entries as {code, group, 0}; 30 and 38 are dialog
        // buttons, 70 "Terminer".
        for (int32_t v : body) {
            if (n + 3 >= CToolPalette::kMaxValues)
                break;
            list[n++] = v;
            if (v >= 0) {
                list[n++] = v == 30 || v == 38 ? 1 : v == 70 ? 2 : 0;
                list[n++] = 0;
            }
        }
    }
    list[n] = -1;
    const int64_t t1 = ZuTime::NowLocalAbsTime();
    CToolPaletteRef palette = AsPalette(RetToolPalette(0));
    if (palette.IsValid())
        palette->SetTools(list, size_t(n) + 1);
    const int64_t t2 = ZuTime::NowLocalAbsTime();
    if (palette.IsValid())
        palette->SetPageView(CPageViewRef(this));
    const int64_t t3 = ZuTime::NowLocalAbsTime();
    if (selection.IsValid()) {
        if (hasSelection)
            selection->ShowKindsOfSelection();
        else if (page == 0)
            selection->ShowKindsOfNewObject(drawTool);
        else {
            const int none[] = {0};
            RetEditShell().SetDefDlgUsedKinds(none, none);
            RetEditShell().SetSampleDlgUsedKinds(none, none);
        }
    }
    const int64_t t4 = ZuTime::NowLocalAbsTime();
    Zuvi_Trace("CPageView::UpdateTool t=%d %d %d %d\n", int(t1 - t0), int(t2 - t1), int(t3 - t2),
               int(t4 - t3));
}

void CPageView::ClickTool(int code, const ZuEventRef& event)
{
    (void)event;
    SetGlassMode(false);
    SetHandMode(false);
    if (mainWindow.IsValid()) {
        mainWindow->SetButtonState(154, false);
        mainWindow->SetButtonState(152, false);
    }
    CToolPaletteRef palette = AsPalette(RetToolPalette(0));
    CToolPaletteRef popup = AsPalette(RetToolPalette(1));
    if (selection.IsInvalid() || document.IsInvalid())
        return;
    CTreeNodeRef editNode;
    selection->GetFirstSelectedNode(editNode);
    const ZuObjectRef& editObject = editNode.IsValid() ? editNode->RetObject() : ZuObjectRef();
    const bool textInEdit = selection->IsEditingObject() && editObject.IsValid() &&
                            editObject->IsKindOf(CGraObjectRef::RetRuntime()) &&
                            CGraObjectRef(editObject)->HasText();

    if (code == 8 || code == 9) {
        if (code == 9) {
            CTreeNodeRef node = editNode;
            selection->EndSelection();
            const ZuObjectRef& o = node.IsValid() ? node->RetObject() : ZuObjectRef();
            if (o.IsValid() && o->IsKindOf(CGraObjectRef::RetRuntime()) &&
                CGraObjectRef(o)->HasText()) {
                selection->SelectForOwnEditing(node);
                CGraObjectRef(o)->SetEditing(1);
                UpdateCaret(false);
            }
            Redraw(true);
            document->SetToolChoice(1, 7);
        } else {
            document->SetToolChoice(1, 6);
        }
        UpdateTool(1);
        if (popup.IsValid())
            popup->Show(true);
        return;
    }
    bool refreshPalette = false, redraw = false, status = false;
    if (code >= 0 && code <= 2) {
        UpdateTool(code);
    } else if (palette.IsValid() && palette->GetToolKind(code) == 4) {
        const int page = RetPaletteTool(1);
        if (page >= 0 && page <= 2)
            document->SetToolChoice(page, code);
        refreshPalette = true;
    }
    switch (code) {
    case 0:
        redraw = selection->EndSelection();
        break;
    case 6:
        redraw = selection->EndSelection();
        if (textInEdit)
            selection->AddToSelection(editNode);
        break;
    case 121:
    case 122: {
        if (code == 121)
            redraw = selection->EndSelection();
        const int bit = code == 121 ? 1 : 2;
        const int state = palette.IsValid() ? palette->GetToolState(code) : 0;
        const int option = selection->GetSelectOption();
        selection->SetSelectOption(state == 1 ? option | bit : option & ~bit);
        refreshPalette = true;
        break;
    }
    case 7:
        if (selection->IsSingleWithoutBox() && editObject.IsValid() &&
            editObject->IsKindOf(CGraObjectRef::RetRuntime())) {
            CTreeNodeRef node = editNode;
            selection->EndSelection();
            if (CGraObjectRef(editObject)->HasText()) {
                selection->SelectForOwnEditing(node);
                CGraObjectRef(editObject)->SetEditing(1);
                UpdateCaret(false);
            }
        } else {
            selection->EndSelection();
        }
        redraw = true;
        break;
    case 90:
    case 91:
    case 92:
    case 95:
        selection->SetBoxHandleMode(RetPaletteTool(3) >= 0 ? RetPaletteTool(3) : code);
        // One object is shown with the box from now on, the box fitted to
        // it (whatever box an earlier selection left).
        if (selection->GetSelectedCount() == 1) {
            selection->SetBoxShown(true);
            selection->FitBoxToSelectedObjects();
        }
        redraw = true;
        refreshPalette = true;
        break;
    case 71:
        if (selection->IsCreating()) {
            selection->EndCreating();
            ClearFeedback();
            refreshPalette = redraw = true;
        } else {
            RunCommand("DeleteSelected");
        }
        break;
    case 70:
        if (selection->HasSelection())
            RunCommand("EndSelected");
        break;
    case 100:
    case 101:
    case 102:
    case 103:
    case 104:
    case 105:
    case 106:
    case 110:
    case 111:
    case 112:
    case 113:
    case 114:
        selection->EditPoints(input.contextVertex, input.contextSegment, input.contextPoint, code);
        input.handleFeedback = false;
        ClearFeedback();
        redraw = true;
        break;
    case 30:
        if (const AppRef app = App::Current(); app.IsValid() && app->RetDefDlg().IsValid())
            app->RetDefDlg()->Hide(false);
        break;
    default: {
        // The commands of the other entries, by the view's handler names.
        // The samples dialog (38) is shown by its own handler.
        static const struct {
            int code;
            const char* name;
        } kNamed[] = {
            {38, "ShowSampleDlg"},
            {75, "Glass100"},
            {76, "GlassMin"},
            {77, "GlassMax"},
            {73, "GlassPage"},
            {74, "GlassSel"},
            {89, "GlassPrev"},
            {79, "ChangeSetup"},
            {88, "SwapGrid"},
            {86, "SwapOutline"},
            {78, "SwapProperty"},
            {87, "SwapBBox"},
            {80, "DuplicateSelected"},
            {96, "SelectSendToFront"},
            {97, "SelectSendToBack"},
            {98, "SelectMoveToFront"},
            {99, "SelectMoveToBack"},
            {93, "SelectMirrorX"},
            {94, "SelectMirrorY"},
            {107, "SelectRotate90"},
            {108, "SelectRotate180"},
            {109, "SelectRotate270"},
            {81, "SelectGroup"},
            {82, "SelectUngroup"},
            {83, "GroupGoIn"},
            {84, "GroupGoOut"},
            {138, "FileNew"},
            {139, "FileOpen"},
            {140, "FileSave"},
            {141, "FileSaveAs"},
            {142, "FilePrint"},
            {144, "FileExport"},
            {135, "ClipboardCut"},
            {136, "ClipboardCopy"},
            {137, "ClipboardPaste"},
            {133, "Undo"},
            {134, "Redo"},
        };
        for (const auto& row : kNamed)
            if (row.code == code) {
                RunCommand(row.name);
                break;
            }
        break;
    }
    }
    if (selection->IsCreating() && code != 30 && code != 31 && code != 38) {
        selection->CreateFinish(false);
        ClearFeedback();
        refreshPalette = redraw = status = true;
    }
    if (refreshPalette)
        RefreshTool();
    if (redraw)
        Redraw(true);
    else if (status)
        UpdateStatus();
    if (popup.IsValid())
        popup->Show(true);
}
