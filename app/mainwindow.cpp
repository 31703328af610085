#include "app/mainwindow.h"

#include "app/app.h"
#include "app/commands.h"
#include "app/pagedlg.h"
#include "app/pageview.h"
#include "app/ruler.h"
#include "app/toolbar.h"
#include "app/toolpalette.h"
#include <algorithm>

#include "si/app.h"
#include "si/classfactory.h"
#include "si/control.h"
#include "si/event.h"
#include "si/fontman.h"
#include "si/grailwdo.h"
#include "si/rtclass.h"
#include "si/textstyle.h"

ZU_IMPLEMENT_CLASS(CMainWindow, "app/mainwindow", ZU_CLASS_NOT_STORED)

// Each handler is callable by name and listed among the class's
// notifications, whose atoms the bindings use as method names.
#define MAINWINDOW_HANDLER(NAME)       \
    ZU_EXPORT_ACTOR(CMainWindow, NAME) \
    ZU_EXPORT_NOTIFY(CMainWindow, NAME, #NAME, nullptr)
MAINWINDOW_HANDLER(OnClose)
MAINWINDOW_HANDLER(OnMove)
MAINWINDOW_HANDLER(OnResize)
MAINWINDOW_HANDLER(OnMaximise)
MAINWINDOW_HANDLER(OnOpen)
MAINWINDOW_HANDLER(OnReduce)
MAINWINDOW_HANDLER(OnActive)
MAINWINDOW_HANDLER(OnDeactive)
MAINWINDOW_HANDLER(OnClickPage)
MAINWINDOW_HANDLER(OnClickLayout)
MAINWINDOW_HANDLER(OnClickGlass)
MAINWINDOW_HANDLER(OnClickHand)
MAINWINDOW_HANDLER(OnClickRuler)
MAINWINDOW_HANDLER(OnClickZoomPlus)
MAINWINDOW_HANDLER(OnClickZoomMinus)
MAINWINDOW_HANDLER(OnClickInfo1)
MAINWINDOW_HANDLER(OnClickInfo2)
MAINWINDOW_HANDLER(OnClickInfo3)
#undef MAINWINDOW_HANDLER

namespace {

const char kSource[] = "mainwindow";

// The icon of each button slot.
const int kSlotIcons[] = {153, 151, 150, 154, 152, 159};
const int kIconPages = 150;
const int kIconLayers = 151;
const int kIconHand = 152;
const int kIconGlass = 154;

// The page view as its class; empty without one.
CPageViewRef PageViewOf(const ZuViewRef& view)
{
    return view.IsValid() && view->IsKindOf(CPageViewRef::RetRuntime())
               ? CPageViewRef(ZuObjectRef(view))
               : CPageViewRef();
}

// The application's pages or layers palette; empty without one.
CPageDlgRef PagePalette(bool layers)
{
    const AppRef app = App::Current();
    if (app.IsInvalid())
        return CPageDlgRef();
    const ZuObjectRef o = layers ? app->RetLayerDlg() : app->RetPageDlg();
    return o.IsValid() && o->IsKindOf(CPageDlgRef::RetRuntime()) ? CPageDlgRef(o) : CPageDlgRef();
}

// Shows a hidden palette and hides a shown one; the first time, it is
// placed beside its button (offset from the button's origin).
void TogglePalette(const CPageDlgRef& palette, const ZuWindowRef& window, const CButtonRef& button,
                   double dx, double dy, const ZuViewRef& page_view)
{
    if (palette.IsInvalid())
        return;
    if (palette->IsFirstShow() && window.IsValid() && button.IsValid()) {
        double wx = 0, wy = 0, bx = 0, by = 0;
        window->GetWindowOrigin(wx, wy);
        button->GetOrigin(bx, by);
        palette->SetPlace(DPoint{wx + bx + dx, wy + by + dy}, DPoint{218, 21});
        palette->SetFirstShow(false);
    }
    if (page_view.IsValid() && page_view->IsKindOf(CPageViewRef::RetRuntime()))
        palette->SetPageView(CPageViewRef(page_view));
    palette->Hide(palette->IsVisible());
}

ZuViewRef NewBand(const ZuWindowRef& window)
{
    ZuViewRef band = ZuNew<ZuView>(nullptr, __LINE__, kSource);
    band->SetParent(window);
    return band;
}

void Place(const ZuViewRef& view, double x, double y, double dx, double dy)
{
    if (!view.IsValid())
        return;
    view->SetOrigin(x, y);
    view->SetSize(dx, dy);
}

// ZuView::SetBox with inclusive corners.
void PlaceBox(const ZuViewRef& view, double x1, double y1, double x2, double y2)
{
    if (view.IsValid())
        view->SetBox(ZuRect(x1, y1, x2, y2));
}

} // namespace

CMainWindow::CMainWindow()
{
    // Create makes the window and everything in it.
}

CMainWindow::~CMainWindow() {}

void CMainWindow::Delete()
{
    for (ZuTextTagRef& tag : info_tags)
        tag = ZuTextTagRef();
    tool_bar = ZuViewRef();
    menu_bar = ZuMenuRef();
    zoom_out = ZuIconRef();
    zoom_in = ZuIconRef();
    zoom_line = ZuTextLineRef();
    for (CButtonRef& button : buttons)
        button = CButtonRef();
    ruler_v = ruler_h = ZuViewRef();
    scroller_v = scroller_h = ZuScrollerRef();
    page_view = ZuViewRef();
    right_column = left_column = bottom_band = top_band = ZuViewRef();
    window = ZuWindowRef();
    document = CDocumentRef();
    ZuObject::Delete();
}

bool CMainWindow::Create(int x, int y, int dx, int dy)
{
    if (window.IsValid())
        return true;
    window = ZuNew<ZuWindow>(nullptr, __LINE__, kSource);
    ZuWinStyle style{ZU_WINSTYLE_SIZABLE, ZU_WINSTYLE_REDUCE_BUTTON, ZU_WINSTYLE_CLOSE_BUTTON,
                     ZU_WINSTYLE_PERSISTENT};
    style.ZuBitset::SetBit(0);
    style.ZuBitset::SetBit(3);
    window->SetStyle(style);
    window->SetTitle(ZuStringRef("Lumbra"));
    ZuApp::Current()->SetMainWindow(window);

    // A window that would pass the screen's bottom or right edge (a screen
    // 1024 pixels high does not hold 1024 pixels at y 40) ends inside it,
    // frame included, so that its bottom band stays visible.
    ZuRect screen;
    if (dx > 0 && dy > 0 && ZuGrailWindow::GetDisplayBox(screen, 0) && !screen.IsEmpty()) {
        int left = 0, top = 0, right = 0, bottom = 0;
        ZuGrailWindow::GetFrameSize(style, left, top, right, bottom);
        if (y + dy - 1 + bottom > screen.Y2())
            dy = std::max(1, int(screen.Y2()) - bottom - y + 1);
        if (x + dx - 1 + right > screen.X2())
            dx = std::max(1, int(screen.X2()) - right - x + 1);
    }
    last_x = x;
    last_y = y;
    window->SetWindowBox(dx > 0 && dy > 0 ? ZuRect(x, y, x + dx - 1, y + dy - 1) : ZuRect());

    top_band = NewBand(window);
    bottom_band = NewBand(window);
    left_column = NewBand(window);
    right_column = NewBand(window);

    ruler_h = ZuNew<CRuler>(nullptr, __LINE__, kSource);
    ruler_h->SetParent(top_band);
    ruler_v = ZuNew<CRuler>(nullptr, __LINE__, kSource);
    ruler_v->SetParent(left_column);

    scroller_h = ZuNew<ZuScroller>(nullptr, __LINE__, kSource);
    scroller_h->SetParent(bottom_band);
    scroller_h->ChangeStyle(ZU_CTRL_DRAW_ADORNER, true);
    scroller_v = ZuNew<ZuScroller>(nullptr, __LINE__, kSource);
    scroller_v->SetParent(right_column);
    scroller_v->ChangeStyle(ZU_CTRL_DRAW_ADORNER, true);

    zoom_line = ZuNew<ZuTextLine>(nullptr, __LINE__, kSource);
    zoom_line->SetParent(bottom_band);
    zoom_line->ChangeStyle(ZU_CTRL_DRAW_ADORNER, true);
    zoom_line->SetToolTip(ZuStringRef("Zoom"));

    const ZuObjectRef self(this);
    zoom_in = ZuNew<ZuIcon>(nullptr, __LINE__, kSource);
    zoom_in->Initialise(ZuAtomRef("lumbra_ArrowUp"), true);
    zoom_in->SetToolTip(ZuStringRef("Rapproche le zoom"));
    zoom_in->SetParent(bottom_band);
    zoom_in->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnClickZoomPlus"), 0);
    zoom_out = ZuNew<ZuIcon>(nullptr, __LINE__, kSource);
    zoom_out->Initialise(ZuAtomRef("lumbra_ArrowDown"), true);
    zoom_out->SetToolTip(ZuStringRef("Eloigne le zoom"));
    zoom_out->SetParent(bottom_band);
    zoom_out->AttachObserver(self, ZuControl::notify_clicked, ZuAtomRef("OnClickZoomMinus"), 0);

    // The page view gets the window as parent; it binds the scrollers and
    // the zoom field in Init, once the bands are laid out.
    page_view = ZuNew<CPageView>(nullptr, __LINE__, kSource);
    if (page_view.IsValid())
        page_view->SetParent(window);

    CToolBarRef bar = ZuNew<CToolBar>(nullptr, __LINE__, kSource);
    bar->SetParent(top_band);
    tool_bar = bar;

    menu_bar = CreateMenuBar(MenuTable, top_band, page_view);
    menu_bar->SetBorderStyle(ZU_MENU_BORDER_NONE);

    Layout();
    bar->SetPageView(CPageViewRef(page_view));
    bar->SetButtons(ToolbarTable);
    if (CPageViewRef view = CPageViewRef(page_view); view.IsValid()) {
        view->SetDocument(document);
        view->Init(CMainWindowRef(this));
    }
    window->AttachObserver(self, ZuWindow::notify_window_closed, ZuAtomRef("OnClose"), 0);
    window->AttachObserver(self, ZuView::notify_origin_changed, ZuAtomRef("OnMove"), 0);
    // A window's move reports no origin change (its box stays at 0, 0):
    // the user moves it by its bar, which reports the drag.
    window->AttachObserver(self, ZuWindow::notify_window_dragged, ZuAtomRef("OnMove"), 0);
    window->AttachObserver(self, ZuView::notify_size_changed, ZuAtomRef("OnResize"), 0);
    window->AttachObserver(self, ZuWindow::notify_window_restored, ZuAtomRef("OnMaximise"), 0);
    window->AttachObserver(self, ZuWindow::notify_window_opened, ZuAtomRef("OnOpen"), 0);
    window->AttachObserver(self, ZuWindow::notify_window_reduced, ZuAtomRef("OnReduce"), 0);
    window->AttachObserver(self, ZuWindow::notify_window_activated, ZuAtomRef("OnActive"), 0);
    window->AttachObserver(self, ZuWindow::notify_window_deactivated, ZuAtomRef("OnDeactive"), 0);
    window->ShowNormal();
    return true;
}

bool CMainWindow::Layout()
{
    if (!window.IsValid())
        return true;
    double w = 0, h = 0;
    window->GetSize(w, h);

    Place(top_band, 0, 0, w, 63);
    Place(bottom_band, 0, h - 36, w, 36);
    Place(left_column, 0, 63, 20, h - 99);
    Place(right_column, w - 20, 63, 20, h - 99);

    PlaceBox(ruler_h, 20, 44, w - 21, 60);
    PlaceBox(ruler_v, 1, 63, 17, h - 37);

    scroller_h->Initialise(118, h - 34, w - 138, true, 0);
    scroller_v->Initialise(w - 18, 63, h - 99, false, 0);

    PlaceButton(top_band, 0, 1, 44, 18, 61, 153, ZuStringRef("OnClickRuler"));
    PlaceButton(top_band, 1, w - 18, 44, w - 1, 61, 151, ZuStringRef("OnClickLayout"));
    PlaceButton(bottom_band, 2, 1, h - 34, 18, h - 17, 150, ZuStringRef("OnClickPage"));
    PlaceButton(bottom_band, 3, 84, h - 34, 101, h - 17, 154, ZuStringRef("OnClickGlass"));
    PlaceButton(bottom_band, 4, 101, h - 34, 118, h - 17, 152, ZuStringRef("OnClickHand"));
    PlaceButton(bottom_band, 5, w - 18, h - 34, w - 1, h - 17, 159, ZuStringRef("OnClickInfo3"));

    PlaceBox(zoom_line, 20, h - 34, 65, h - 17);
    Place(zoom_in, 66, h - 34, 15, 9);
    Place(zoom_out, 66, h - 25, 15, 9);

    PlaceInfoTag(bottom_band, 0, 1, h - 16, 120, h,
                 ZuStringRef("Coordonn\xE9"
                             "es"),
                 true);
    PlaceInfoTag(bottom_band, 1, 121, h - 16, 270, h, ZuStringRef("S\xE9lection"), true);
    PlaceInfoTag(bottom_band, 2, 271, h - 16, w - 1, h, ZuStringRef("Propri\xE9t\xE9s"), false);

    Place(tool_bar, 1, 20, w - 2, 23);
    if (menu_bar.IsValid()) {
        menu_bar->SetOrigin(0, 0);
        menu_bar->UpdateMenu();
    }

    // The page view over the middle; its page image follows its size and
    // its feedback image the window's, so that a larger window shows no
    // band the images leave uncovered. The page image keeps the view's own
    // pixel format: a context of another format is refused, and a 16-bit
    // image would show nothing on a deeper screen. A window too small for
    // the view has no image to size.
    PlaceBox(page_view, 20, 63, w - 21, h - 37);
    if (CPageViewRef view = CPageViewRef(page_view); view.IsValid()) {
        if (w > 40 && h > 99) {
            const GSContextRef& context = view->RetContext();
            view->Initialise(uint32_t(w - 40), uint32_t(h - 99),
                             context.IsValid() ? GSViewType(context->GetType()) : GS_VIEW_RGB24);
        }
        view->ResizeRendering();
    }

    window->ShowNormal();
    return true;
}

void CMainWindow::SetDocument(CDocumentRef doc)
{
    document = doc;
    // The page view takes the document; the rulers take it from the view
    // when it brings them up to date.
    if (CPageViewRef view = CPageViewRef(page_view); view.IsValid())
        view->SetDocument(doc);
}

bool CMainWindow::SetTitle(ZuStringRef title)
{
    return window.IsValid() && window->SetTitle(title);
}

bool CMainWindow::ResetDisplay()
{
    PageViewCommand("ResetDisplay");
    return true;
}

CButtonRef CMainWindow::RetButton(int icon) const
{
    for (int slot = 0; slot < int(sizeof kSlotIcons / sizeof kSlotIcons[0]); ++slot)
        if (kSlotIcons[slot] == icon)
            return buttons[slot];
    return CButtonRef();
}

void CMainWindow::SetButtonState(int icon, bool on)
{
    CButtonRef button = RetButton(icon);
    if (!button.IsValid() || button->RetState().TestBit(ZU_VIEW_IS_ON) == on)
        return;
    button->ChangeState(ZU_VIEW_IS_ON, on, false);
    button->Display(true);
}

bool CMainWindow::UpdatePagesButton()
{
    const CPageDlgRef palette = PagePalette(false);
    SetButtonState(kIconPages, palette.IsValid() && palette->IsVisible());
    return true;
}

bool CMainWindow::UpdateLayersButton()
{
    const CPageDlgRef palette = PagePalette(true);
    SetButtonState(kIconLayers, palette.IsValid() && palette->IsVisible());
    return true;
}

ZuTextTagRef CMainWindow::RetInfoTag(int i) const
{
    if (i < 0 || i >= kInfoTags)
        return ZuTextTagRef();
    return info_tags[i];
}

bool CMainWindow::PlaceButton(ZuViewRef parent, int slot, double x1, double y1, double x2,
                              double y2, int icon, ZuStringRef handler)
{
    if (slot < 0 || slot >= kButtonSlots)
        return true;
    CButtonRef& button = buttons[slot];
    if (button.IsValid()) {
        button->SetOrigin(x1, y1);
        button->SetSize(x2 - x1, y2 - y1);
        return true;
    }
    NewIconButton(button, parent, x1, y1, x2 - x1, y2 - y1, slot + 1, icon);
    button->ChangeState(ZU_VIEW_OK_ACTIVE, false, false);
    button->AttachObserver(ZuObjectRef(this), ZuControl::notify_clicked, ZuAtomRef(handler), 0);
    return true;
}

bool CMainWindow::PlaceInfoTag(ZuViewRef parent, int index, double x1, double y1, double x2,
                               double y2, ZuStringRef tip, bool left)
{
    if (index < 0 || index >= kInfoTags)
        return true;
    ZuTextTagRef& tag = info_tags[index];
    if (tag.IsValid()) {
        tag->SetOrigin(x1, y1);
        tag->SetSize(x2 - x1, y2 - y1);
        return true;
    }
    tag = ZuNew<ZuTextTag>(nullptr, __LINE__, kSource);
    tag->SetOrigin(x1, y1);
    tag->SetSize(x2 - x1, y2 - y1);
    tag->SetToolTip(tip);
    ZuTextStyle style(left ? ZU_TEXT_HPOS_LEFT : ZU_TEXT_HPOS_RIGHT, ZU_TEXT_VPOS_BOTTOM);
    tag->SetTextStyle(style);
    tag->SetBackAdornerName(ZuAtomRef("Zuvi_ScrollerHBack"));
    tag->SetParent(parent);
    SetTagFontSize(tag, 10);
    return true;
}

void CMainWindow::SetTagFontSize(ZuTextTagRef tag, double size)
{
    if (!tag.IsValid() || !ZuFontMan::Current().IsValid())
        return;
    ZuGrailFontRef font;
    if (!tag->GetFont(font) || !font.IsValid())
        return;
    ZuGrailFontRef sized;
    if (ZuFontMan::Current()->CreateFont(font->RetName(), font->RetStyle(), size, false, sized))
        tag->SetFont(sized);
}

bool CMainWindow::PageViewCommand(const char* command)
{
    if (!page_view.IsValid())
        return false;
    // False also when the view has no handler of that name.
    return page_view->Action(ZuAtomRef(command), ZuObjectRef(), 0);
}

bool CMainWindow::OnClose()
{
    // The page view asks whether to save a changed document before it
    // quits; without one there is nothing to save.
    if (!PageViewCommand("FileQuit"))
        ZuEvent::PostQuitEvent();
    return true;
}

bool CMainWindow::OnMove()
{
    double x = 0, y = 0;
    window->GetWindowOrigin(x, y);
    // The tool palette follows the window by the same offset.
    const AppRef app = App::Current();
    const ZuObjectRef palette = app.IsValid() ? app->RetToolPalette() : ZuObjectRef();
    if (palette.IsValid() && palette->IsKindOf(CToolPaletteRef::RetRuntime())) {
        const CToolPaletteRef tools(palette);
        double px = 0, py = 0;
        tools->GetOrigin(px, py);
        tools->SetOrigin(px + (x - last_x), py + (y - last_y));
    }
    last_x = x;
    last_y = y;
    return true;
}

bool CMainWindow::OnResize()
{
    return Layout();
}

bool CMainWindow::OnMaximise()
{
    return true;
}

bool CMainWindow::OnOpen()
{
    return true;
}

bool CMainWindow::OnReduce()
{
    return true;
}

bool CMainWindow::OnActive()
{
    return true;
}

bool CMainWindow::OnDeactive()
{
    return true;
}

bool CMainWindow::OnClickPage()
{
    TogglePalette(PagePalette(false), window, buttons[2], 4, -27, page_view);
    UpdatePagesButton();
    return true;
}

bool CMainWindow::OnClickLayout()
{
    TogglePalette(PagePalette(true), window, buttons[1], -224, 20, page_view);
    UpdateLayersButton();
    return true;
}

void CMainWindow::ShowViewModes()
{
    const CPageViewRef view = PageViewOf(page_view);
    if (view.IsInvalid())
        return;
    SetButtonState(kIconGlass, view->IsGlassMode());
    SetButtonState(kIconHand, view->IsHandMode());
}

bool CMainWindow::OnClickGlass()
{
    // The two modes exclude each other: both buttons show the view's.
    const CPageViewRef view = PageViewOf(page_view);
    if (view.IsValid())
        view->SetGlassMode(!view->IsGlassMode());
    ShowViewModes();
    return true;
}

bool CMainWindow::OnClickHand()
{
    const CPageViewRef view = PageViewOf(page_view);
    if (view.IsValid())
        view->SetHandMode(!view->IsHandMode());
    ShowViewModes();
    return true;
}

bool CMainWindow::OnClickRuler()
{
    PageViewCommand("ChangeSetup");
    return true;
}

bool CMainWindow::OnClickZoomPlus()
{
    PageViewCommand("ZoomIn");
    return true;
}

bool CMainWindow::OnClickZoomMinus()
{
    PageViewCommand("ZoomOut");
    return true;
}

bool CMainWindow::OnClickInfo1()
{
    return true;
}

bool CMainWindow::OnClickInfo2()
{
    return true;
}

bool CMainWindow::OnClickInfo3()
{
    PageViewCommand("SwapProperty");
    return true;
}
