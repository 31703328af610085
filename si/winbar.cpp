#include "si/winbar.h"

#include <cmath>
#include <vector>

#include "si/app.h"
#include "si/classfactory.h"
#include "si/colorpixel.h"
#include "si/error.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/ititlewidget.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/string.h"
#include "si/textstyle.h"
#include "si/values.h"
#include "si/winbartitle.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(ZuWindowBar, "si/winbar", ZU_CLASS_PLAIN)

Zuvi_TitleLookCalls Zuvi_title_look_calls;
ZU_ENUM_REGISTER(ZuWinBarButtonBit)
ZU_ENUM_REGISTER(ZuWinBarLayout)
ZU_BITSET_REGISTER(ZuWinBarButton)
ZU_EXPORT_OBSERVER(ZuWindowBar, HandleButtonClicked)
ZU_EXPORT_ACTOR(ZuWindowBar, HandleWindowActivated)
ZU_EXPORT_ACTOR(ZuWindowBar, HandleWindowDeactivated)
ZU_EXPORT_ACTOR(ZuWindowBar, HandleAppActivation)

namespace {

ZuStorageSync& BarRecord()
{
    static ZuStorageSync record("<ZuWindowBar button_use layout icon_names icon_groups title>");
    return record;
}

// Where each button goes and the icon it shows. A code reads in decimal:
// thousands the side (0 start, 1 end), hundreds the group, the whole the
// order along the side.
struct Placement {
    ZuWinBarButtonBit bit;
    unsigned code;
    const char* icon;
};
const Placement kPlacements[] = {
    {ZU_WINBAR_BUTTON_LOGO, 100, "Zuvi_WinbarLogo"},
    {ZU_WINBAR_BUTTON_PUSHPIN, 101, "Zuvi_WinbarPushPin"},
    {ZU_WINBAR_BUTTON_T_BEGIN, 200, nullptr},
    {ZU_WINBAR_BUTTON_T_END, 1300, nullptr},
    {ZU_WINBAR_BUTTON_USER, 1400, "Zuvi_WinbarUser"},
    {ZU_WINBAR_BUTTON_HELP, 1401, "Zuvi_WinbarHelp"},
    {ZU_WINBAR_BUTTON_HIDE, 1500, "Zuvi_WinbarHide"},
    {ZU_WINBAR_BUTTON_SHRINK, 1501, "Zuvi_WinbarShrink"},
    {ZU_WINBAR_BUTTON_REDUCE, 1502, "Zuvi_WinbarReduce"},
    {ZU_WINBAR_BUTTON_TOGGLE, 1503, "Zuvi_WinbarToggle"},
    {ZU_WINBAR_BUTTON_ACCEPT, 1600, "Zuvi_WinbarAccept"},
    {ZU_WINBAR_BUTTON_CLOSE, 1601, "Zuvi_WinbarClose"},
};

// A view of the named class made through the class factory, empty when the
// class is not there or makes no view.
ZuViewRef NewView(const char* class_name)
{
    ZuRuntimeRef rt;
    if (!ZuClassFactory::GetClass(class_name, rt))
        return ZuViewRef();
    ZuObjectRef made(ZuClassFactory::New(rt, Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    if (made.IsValid() && !made->IsKindOf(ZuViewRef::RetRuntime())) {
        made->Delete();
        return ZuViewRef();
    }
    return ZuViewRef(made);
}

ZuAtomRef Atom(const char* text)
{
    return ZuAtomRef(text);
}

} // namespace

ZuWindowBar::ZuWindowBar() : icon_groups(BUTTON_COUNT)
{
    buttons = ZuArrayRef(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    buttons->SetSize(BUTTON_COUNT);
    icon_names = ZuArrayRef(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE));
    icon_names->SetSize(BUTTON_COUNT);
    state.SetBit(ZU_VIEW_IS_FRAME_WIDGET);
}

unsigned ZuWindowBar::RetCode(unsigned bit) const
{
    return bit < icon_groups.RetCount() ? icon_groups.At(bit) : 0;
}

ZuViewRef ZuWindowBar::RetButton(unsigned bit) const
{
    if (bit >= BUTTON_COUNT || buttons.IsInvalid() || bit >= buttons->TotalCount())
        return ZuViewRef();
    ZuObjectRef o = buttons[bit];
    return o.IsValid() && o->IsKindOf(ZuViewRef::RetRuntime()) ? ZuViewRef(o) : ZuViewRef();
}

void ZuWindowBar::Observe(bool attach)
{
    const ZuAtomRef activated_method("HandleWindowActivated");
    const ZuAtomRef deactivated_method("HandleWindowDeactivated");
    const ZuAtomRef app_method("HandleAppActivation");
    ZuObjectRef self(this);
    if (observed_window.IsValid()) {
        observed_window->DetachObserver(self, ZuWindow::notify_window_activated, activated_method,
                                        0);
        observed_window->DetachObserver(self, ZuWindow::notify_window_deactivated,
                                        deactivated_method, 0);
    }
    if (observed_app.IsValid()) {
        observed_app->DetachObserver(self, ZuApp::notify_app_activated, app_method, 0);
        observed_app->DetachObserver(self, ZuApp::notify_app_deactivated, app_method, 0);
    }
    observed_window = ZuWindowRef();
    observed_app = ZuObjectRef();
    if (!attach)
        return;
    observed_window = window;
    observed_app = ZuApp::Current();
    if (observed_window.IsValid()) {
        observed_window->AttachObserver(self, ZuWindow::notify_window_activated, activated_method,
                                        0);
        observed_window->AttachObserver(self, ZuWindow::notify_window_deactivated,
                                        deactivated_method, 0);
    }
    if (observed_app.IsValid()) {
        observed_app->AttachObserver(self, ZuApp::notify_app_activated, app_method, 0);
        observed_app->AttachObserver(self, ZuApp::notify_app_deactivated, app_method, 0);
    }
}

bool ZuWindowBar::Initialise(const ZuStringRef& text, const ZuWindowRef& w,
                             const ZuWinBarButton& use, ZuWinBarLayout l)
{
    icon_groups.Resize(0);
    icon_groups.Resize(BUTTON_COUNT);
    for (const Placement& p : kPlacements) {
        icon_groups.At(p.bit) = p.code;
        icon_names[p.bit] = p.icon ? Atom(p.icon) : ZuAtomRef();
    }
    button_use = use;
    layout = l;
    SetParent(w);
    if (title.IsInvalid()) {
        title = NewView("ZuTextTag");
        if (title.IsValid()) {
            title->SetParent(ZuViewRef(this));
            title->DefineData(Atom("text_style"),
                              ZuValueRef(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER)));
        }
    }
    if (title.IsValid()) {
        ZuiTitleWidget* widget =
            static_cast<ZuiTitleWidget*>(title->CastToInterface(&ZuiTitleWidget::interface));
        if (widget)
            widget->SetTitle(text.IsValid() ? text : ZuStringRef(""));
    }
    UpdateBarGeometry();
    Observe(true);
    if (window.IsValid() && window->IsActive())
        HandleWindowActivated();
    else
        HandleWindowDeactivated();
    return true;
}

double ZuWindowBar::RetThickness() const
{
    if (window.IsInvalid())
        return button_use.TestBit(ZU_WINBAR_MODE_LARGE) ? 19 : 16;
    const ZuRect& f = window->RetFrameGeometry();
    return f.X1() - f.Y1() - 1;
}

double ZuWindowBar::RetIconSize() const
{
    return RetThickness() - 4;
}

ZuWinBarLayout ZuWindowBar::RetInternalLayout() const
{
    return layout == ZU_WINBAR_LAYOUT_DEFAULT ? ZU_WINBAR_LAYOUT_TOP : layout;
}

void ZuWindowBar::UpdateBarGeometry()
{
    ZuRect r = box;
    if (window.IsValid()) {
        double t = RetThickness(), w = 0, h = 0;
        window->GetSize(w, h);
        const ZuRect& f = window->RetFrameGeometry();
        double d = -f.X1();
        double x1 = r.X1(), y1 = r.Y1(), along = 0;
        bool set = true;
        switch (static_cast<unsigned>(RetInternalLayout())) {
        case ZU_WINBAR_LAYOUT_TOP:
            x1 = 0, y1 = d + f.Y1(), along = w;
            break;
        case ZU_WINBAR_LAYOUT_BOTTOM:
            x1 = 0, y1 = f.Y2() - t - d, along = w;
            break;
        case ZU_WINBAR_LAYOUT_LEFT:
            x1 = d + f.X1(), y1 = 0, along = h;
            break;
        case ZU_WINBAR_LAYOUT_RIGHT:
            x1 = f.X2() - t - d, y1 = 0, along = h;
            break;
        default:
            set = false;
            break;
        }
        if (set) {
            bool vertical = RetInternalLayout() == ZU_WINBAR_LAYOUT_LEFT ||
                            RetInternalLayout() == ZU_WINBAR_LAYOUT_RIGHT;
            if (along <= 0 || t <= 0) {
                r = ZuRect();
                r.SetOrigin(x1, y1);
            } else {
                r = vertical ? ZuRect(x1, y1, x1 + t - 1, y1 + along - 1)
                             : ZuRect(x1, y1, x1 + along - 1, y1 + t - 1);
            }
        }
    }
    geometry_valid = false;
    SetBox(r);
    if (!geometry_valid) {
        UpdateButtonGeometry();
        geometry_valid = true;
    }
}

void ZuWindowBar::NotifyGeometryChange(const ZuRect& old_box)
{
    ZuView::NotifyGeometryChange(old_box);
    UpdateButtonGeometry();
    geometry_valid = true;
}

void ZuWindowBar::UpdateButtonGeometry()
{
    // A stored bar brings back the buttons it had among its children; they
    // give way to the ones made here.
    if (drop_stored_buttons) {
        drop_stored_buttons = false;
        std::vector<ZuViewRef> stale;
        ZuViewRef c;
        for (GetFirstChild(c); c.IsValid();) {
            if (c != title)
                stale.push_back(c);
            ZuViewRef next;
            c->GetNextSibling(next);
            c = next;
        }
        for (ZuViewRef& v : stale) {
            v->SetParent(ZuViewNull);
            v->Delete();
        }
    }
    for (unsigned bit = 0; bit < BUTTON_COUNT; ++bit) {
        ZuViewRef b = RetButton(bit);
        if (!button_use.TestBit(static_cast<ZuWinBarButtonBit>(bit))) {
            if (buttons[bit].IsValid()) {
                buttons[bit] = ZuObjectNull;
                if (b.IsValid())
                    b->Delete();
            }
            continue;
        }
        if (b.IsInvalid() && CreateButton(static_cast<ZuWinBarButtonBit>(bit), b))
            buttons[bit] = b;
        UpdateButtonOrigin(static_cast<ZuWinBarButtonBit>(bit));
    }
    UpdateButtonOrigin(ZU_WINBAR_BUTTON_T_BEGIN);
    UpdateButtonOrigin(ZU_WINBAR_BUTTON_T_END);
}

bool ZuWindowBar::CreateButton(ZuWinBarButtonBit bit, ZuViewRef& out)
{
    out = ZuViewRef();
    ZuViewRef icon = NewView("ZuIcon");
    ZuViewRef button = NewView("ZuButton");
    if (icon.IsInvalid() || button.IsInvalid()) {
        if (icon.IsValid())
            icon->Delete();
        if (button.IsValid())
            button->Delete();
        return false;
    }
    double s = RetIconSize();
    button->SetOrigin(0, 0);
    button->SetSize(s + 2, s);
    button->SetParent(ZuViewRef(this));
    // The icon takes its picture's size, centred in the button.
    icon->DefineData(Atom("is_centered"), ZuValueRef(true));
    icon->DefineData(Atom("is_size_match"), ZuValueRef(true));
    if (bit < BUTTON_COUNT && icon_names.IsValid() && bit < icon_names->TotalCount())
        icon->DefineData(Atom("name"), ZuValueRef(ZuObjectRef(ZuArrayRef(icon_names)[bit])));
    button->DefineData(Atom("contents"), ZuValueRef(ZuObjectRef(icon)));
    button->ChangeState(ZU_VIEW_IS_FRAME_WIDGET, true, false);
    button->AttachObserver(ZuObjectRef(this), Atom("notify_clicked"), Atom("HandleButtonClicked"),
                           bit);
    out = button;
    return true;
}

bool ZuWindowBar::UpdateButtonOrigin(ZuWinBarButtonBit bit)
{
    if (bit >= BUTTON_COUNT)
        return false;
    bool is_title = bit == ZU_WINBAR_BUTTON_T_BEGIN || bit == ZU_WINBAR_BUTTON_T_END;
    ZuViewRef button = RetButton(bit);
    if (!is_title && button.IsInvalid())
        return false;
    ZuWinBarLayout l = RetInternalLayout();
    bool horizontal =
        l != ZU_WINBAR_LAYOUT_LEFT && l != ZU_WINBAR_LAYOUT_RIGHT && l != ZU_WINBAR_LAYOUT_USER_V;
    unsigned c = RetCode(bit), side = c / 1000, group = (c / 100) % 10;
    double length = horizontal ? box.DX() : box.DY();
    double across = horizontal ? box.DY() : box.DX();
    double s = RetIconSize();
    double offset = 0;
    bool groups[10] = {};
    for (unsigned i = 0; i < BUTTON_COUNT; ++i) {
        unsigned ci = RetCode(i);
        if (!button_use.TestBit(static_cast<ZuWinBarButtonBit>(i)) || ci == 0)
            continue;
        groups[(ci / 100) % 10] = true;
        unsigned si = ci / 1000;
        if ((si == 0 && side == 0 && ci < c) || (si == 1 && side == 1 && c <= ci))
            offset += s + (horizontal ? 2 : 0);
    }
    for (unsigned g = 1; g <= 9; ++g)
        if (groups[g] && ((side == 0 && g < group) || (side == 1 && g > group)))
            offset += 2;
    double x = box.X1(), y = box.Y1();
    double along = side == 0 ? offset + 2 : length - (offset + 2);
    if (horizontal) {
        x += along;
        y -= std::trunc((across - s) * -0.5);
    } else {
        y += along;
        x -= std::trunc((across - s - 2) * -0.5);
    }
    if (bit == ZU_WINBAR_BUTTON_T_BEGIN) {
        if (title.IsInvalid())
            return true;
        if (horizontal)
            y = box.Y1();
        else
            x = box.X1();
        title->SetOrigin(x, y);
    } else if (bit == ZU_WINBAR_BUTTON_T_END) {
        if (title.IsInvalid())
            return true;
        if (horizontal)
            y = box.Y2();
        else
            x = box.X2();
        double ox = 0, oy = 0;
        title->GetOrigin(ox, oy);
        double w = x - ox + 1, h = y - oy + 1;
        title->SetSize(w < 0 ? 0 : w, h < 0 ? 0 : h);
    } else {
        button->SetOrigin(x, y);
    }
    return true;
}

bool ZuWindowBar::ActiveState(bool wanted) const
{
    const ZuAppRef& app = ZuApp::Current();
    bool follows_app = button_use.TestBit(ZU_WINBAR_MODE_APP_ACTIVE) ||
                       (app.IsValid() && window.IsValid() && app->RetMainWindow() == window);
    if (follows_app)
        return app.IsValid() && app->IsAppActive();
    return wanted;
}

void ZuWindowBar::UpdateWindowActiveMode(bool wanted)
{
    bool now = ActiveState(wanted);
    if (now == active)
        return;
    active = now;
    if (title.IsValid() && Zuvi_title_look_calls.set_look != nullptr &&
        ZuLookMan::current.IsValid()) {
        const ZuLookManRef& look = ZuLookMan::current;
        Zuvi_title_look_calls.set_look(
            title, ZuColorPixel(ZU_COLOR_WHITE),
            button_use.TestBit(ZU_WINBAR_MODE_LARGE) ? look->RetBoldFont() : look->RetSmallFont());
    }
    Display(true);
}

bool ZuWindowBar::ChangeButtonAndMode(ZuWinBarButtonBit bit, bool on)
{
    if (button_use.ChangeBit(bit, on))
        UpdateBarGeometry();
    return true;
}

bool ZuWindowBar::SetButtonAndMode(const ZuWinBarButton& use)
{
    button_use = use;
    UpdateBarGeometry();
    return true;
}

const ZuWinBarButton& ZuWindowBar::RetButtonAndMode() const
{
    return button_use;
}

bool ZuWindowBar::HandleWindowActivated()
{
    UpdateWindowActiveMode(true);
    return true;
}

bool ZuWindowBar::HandleWindowDeactivated()
{
    UpdateWindowActiveMode(false);
    return true;
}

bool ZuWindowBar::HandleAppActivation()
{
    const ZuAppRef& app = ZuApp::Current();
    if (button_use.TestBit(ZU_WINBAR_MODE_APP_ACTIVE) ||
        (app.IsValid() && window.IsValid() && app->RetMainWindow() == window))
        UpdateWindowActiveMode(false);
    return true;
}

bool ZuWindowBar::HandleButtonClicked(const ZuObjectRef&, unsigned bit)
{
    if (window.IsInvalid())
        return true;
    ZuWindowRef w = window;
    if (bit == ZU_WINBAR_BUTTON_CLOSE)
        w->SysChangedOpen(false);
    else if (bit == ZU_WINBAR_BUTTON_REDUCE)
        w->SysChangedReduced(true);
    return true;
}

void ZuWindowBar::ButtonPress(const ZuEventRef& event)
{
    if (dragging || window.IsInvalid())
        return;
    dragging = true;
    press_x = event->RetX();
    press_y = event->RetY();
    window->SetDraggingView(ZuViewRef(this));
}

// The bar moves with the window, so the press point stays where it is in
// window coordinates.
void ZuWindowBar::DragNotify(const ZuEventRef& event)
{
    if (!dragging || window.IsInvalid())
        return;
    double ox = 0, oy = 0;
    window->GetWindowOrigin(ox, oy);
    window->SetWindowOrigin(ox + event->RetX() - press_x, oy + event->RetY() - press_y);
}

void ZuWindowBar::ButtonRelease(const ZuEventRef&)
{
    if (!dragging)
        return;
    dragging = false;
    if (window.IsInvalid())
        return;
    ZuWindowRef w = window;
    w->SetDraggingView(ZuViewNull);
    w->NotifyWindowDragged();
}

void ZuWindowBar::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    if (!geometry_valid)
        UpdateBarGeometry();
    ZuView::DrawBack(port, rect);
    bool on = ActiveState(active);
    port->SetForeColor(on ? ZuColorPixel(0, 0, 0.5, 0) : ZuColorPixel(0.5, 0.5, 0.5, 0));
    port->FillRect(box, 0);
}

void ZuWindowBar::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuView::DrawFront(port, rect);
}

void ZuWindowBar::Delete()
{
    Observe(false);
    title = ZuViewRef();
    ZuView::Delete();
    // The buttons were children and went with them.
    if (buttons.IsValid())
        for (unsigned bit = 0; bit < BUTTON_COUNT && bit < buttons->TotalCount(); ++bit)
            buttons[bit] = ZuObjectNull;
}

void ZuWindowBar::StoreInstance(const ZuStorageRef& s)
{
    // The application cannot be stored: the bar's links to it stay out of
    // the stored form and are made again when its window initialises it.
    const ZuAtomRef app_method("HandleAppActivation");
    ZuObjectRef app = observed_app;
    if (app.IsValid()) {
        app->DetachObserver(ZuObjectRef(this), ZuApp::notify_app_activated, app_method, 0);
        app->DetachObserver(ZuObjectRef(this), ZuApp::notify_app_deactivated, app_method, 0);
    }
    try {
        ZuView::StoreInstance(s);
    } catch (...) {
        if (app.IsValid()) {
            app->AttachObserver(ZuObjectRef(this), ZuApp::notify_app_activated, app_method, 0);
            app->AttachObserver(ZuObjectRef(this), ZuApp::notify_app_deactivated, app_method, 0);
        }
        throw;
    }
    if (app.IsValid()) {
        app->AttachObserver(ZuObjectRef(this), ZuApp::notify_app_activated, app_method, 0);
        app->AttachObserver(ZuObjectRef(this), ZuApp::notify_app_deactivated, app_method, 0);
    }
    s << BarRecord() << ZuStorageSync::begin << button_use << layout;
    s->StoreObject(icon_names);
    icon_groups.StoreInstance(s);
    s->StoreObject(title);
    s << ZuStorageSync::end;
}

void ZuWindowBar::RestoreInstance(const ZuStorageRef& s)
{
    ZuView::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin >> button_use >> layout;
    ZuObjectRef names, tag;
    s->RestoreObject(names, ZuArrayRef::RetRuntime());
    icon_groups.RestoreInstance(s);
    s->RestoreObject(tag, ZuViewRef::RetRuntime());
    s >> ZuStorageSync::end;
    // Outside data: a table of another size is brought to sixteen places,
    // a layout the table does not know is the default one, and only an
    // array and a view take the places of the names and the title.
    icon_groups.Resize(BUTTON_COUNT);
    if (!IsValid(layout))
        layout = ZU_WINBAR_LAYOUT_DEFAULT;
    if (names.IsValid() && names->IsKindOf(ZuArrayRef::RetRuntime()))
        icon_names = ZuArrayRef(names);
    if (icon_names.IsValid() && icon_names->TotalCount() < BUTTON_COUNT)
        icon_names->SetSize(BUTTON_COUNT);
    title = tag.IsValid() && tag->IsKindOf(ZuViewRef::RetRuntime()) ? ZuViewRef(tag) : ZuViewRef();
    geometry_valid = false;
    drop_stored_buttons = true;
}
