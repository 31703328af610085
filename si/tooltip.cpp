#include "si/tooltip.h"

#include <vector>

#include "si/adorner.h"
#include "si/app.h"
#include "si/classfactory.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuToolTip, "si/tooltip", ZU_CLASS_PLAIN)

ZU_EXPORT_NOTIFY(ZuToolTip, Dismiss, "Dismiss", nullptr)
ZU_EXPORT_ACTOR(ZuToolTip, Dismiss)

namespace {

ZuStorageSync& ToolTipRecord()
{
    static ZuStorageSync record("<ZuToolTip tip is_tracking>");
    return record;
}

ZuToolTipRef AsToolTip(const ZuObjectRef& object)
{
    return object.IsValid() && object->IsKindOf(ZuToolTipRef::RetRuntime()) ? ZuToolTipRef(object)
                                                                            : ZuToolTipRef();
}

// A window moved: the tips that belong to it are left where it was, so
// they go.
void DismissTipsOf(const ZuWindowRef& moved)
{
    const ZuAppRef& app_now = ZuApp::Current();
    if (app_now.IsInvalid())
        return;
    std::vector<ZuToolTipRef> tips;
    const unsigned n = app_now->RetWindowNum();
    for (unsigned i = 0; i < n; ++i) {
        ZuToolTipRef tip = AsToolTip(app_now->RetWindow(i));
        if (tip.IsValid() && tip->RetOwner().IsValid() && tip->RetOwner() == moved)
            tips.push_back(tip);
    }
    for (const ZuToolTipRef& tip : tips)
        tip->Dismiss();
}

// How a control opens and closes its tip (si/control.h), and how a window
// tells its tips that it moved (si/window.h).
struct ControlCalls {
    ControlCalls()
    {
        ZuWindow::move_calls.moved = &DismissTipsOf;
        ZuControl::tool_tip_calls.set_owner = [](const ZuObjectRef& object,
                                                 const ZuWindowRef& window) {
            ZuToolTipRef tip = AsToolTip(object);
            if (tip.IsValid())
                tip->SetOwner(window);
        };
        ZuControl::tool_tip_calls.set_title = [](const ZuObjectRef& object,
                                                 const ZuStringRef& caption, double x, double y,
                                                 bool delayed, bool tracking) -> bool {
            ZuToolTipRef tip = AsToolTip(object);
            return tip.IsValid() && tip->SetTitle(caption, x, y, delayed, tracking);
        };
        ZuControl::tool_tip_calls.dismiss = [](const ZuObjectRef& object) {
            ZuToolTipRef tip = AsToolTip(object);
            if (tip.IsValid())
                tip->Dismiss();
            else if (object.IsValid())
                object->Delete();
        };
    }
} control_calls;

} // namespace

ZuToolTip::ZuToolTip()
{
    ZuWinStyle tip_style;
    tip_style.SetBit(ZU_WINSTYLE_TOOL);
    tip_style.SetBit(ZU_WINSTYLE_TOPMOST);
    tip_style.SetBit(ZU_WINSTYLE_FRAMELESS);
    style = tip_style;
}

ZuEventMask ZuToolTip::PressMask()
{
    ZuEventMask mask;
    mask.SetBit(ZU_EVENT_PRESS);
    return mask;
}

void ZuToolTip::Delete()
{
    if (deleted)
        return;
    deleted = true;
    ZuToolTipRef self(this);
    if (watching_presses) {
        watching_presses = false;
        ZuEvent::RemoveEventSpy(self, ZuAtomRef("Dismiss"), PressMask());
    }
    owner = ZuWindowNull;
    if (ticking) {
        const ZuAppRef& app_now = ZuApp::Current();
        if (app_now.IsValid())
            app_now->RemoveTickResponder(ZuToolTipRef(this), kShowTick, false);
        ticking = false;
    }
    Close();
    if (tip.IsValid()) {
        ZuTextTagRef old = tip;
        tip = ZuTextTagNull;
        old->Delete();
    }
    ZuWindow::Delete();
}

bool ZuToolTip::Dismiss()
{
    ZuToolTipRef self(this);
    self->Delete();
    return true;
}

void ZuToolTip::KeepInside(double& x, double& y, double w, double h)
{
    unsigned display = 0;
    ZuRect screen;
    if (!ZuGrailWindow::GetDisplayFromPoint(x, y, display) ||
        !ZuGrailWindow::GetDisplayBox(screen, display))
        return;
    if (x + w >= screen.X2())
        x = screen.X2() - w - 1;
    if (y + h >= screen.Y2())
        y = screen.Y2() - h - 1;
}

bool ZuToolTip::SetTitle(const ZuStringRef& text, double x, double y, bool delayed, bool tracking)
{
    ZuWindow::SetTitle(text);
    if (tip.IsValid()) {
        ZuTextTagRef old = tip;
        tip = ZuTextTagNull;
        old->SetParent(ZuViewNull);
        old->Delete();
    }
    is_tracking = tracking;

    tip = ZuNew<ZuTextTag>(Zuvi_app_zone);
    tip->InitGeom(0, 0, box.DX(), box.DY(), text, ZuViewRef(this));
    const ZuLookManRef& look = ZuLookMan::Current();
    if (look.IsValid())
        tip->SetFont(look->RetSmallFont());
    tip->SetColor(ZuColorPixel(ZU_COLOR_TOOLTIP_TEXT));

    double w = 0, h = 0;
    tip->GetMinSize(w, h);
    w += 8;
    h += 4;
    KeepInside(x, y, w, h);
    tip->SetSize(w, h);
    SetWindowOrigin(x, y);
    SetSize(w, h);

    // A press anywhere in the program takes the tip down, before the press
    // does anything else.
    if (!watching_presses) {
        watching_presses = true;
        ZuEvent::InsertEventSpy(ZuToolTipRef(this), ZuAtomRef("Dismiss"), PressMask());
    }

    if (delayed && !ticking) {
        const ZuAppRef& app_now = ZuApp::Current();
        if (app_now.IsValid()) {
            const unsigned delay = look.IsValid() ? look->RetToolTipDelay() : 200;
            app_now->InsertTickResponder(ZuToolTipRef(this), static_cast<int>(delay), kShowTick,
                                         false);
            ticking = true;
        }
    }
    return true;
}

bool ZuToolTip::SetTitle(const ZuStringRef& title)
{
    return SetTitle(title, 0, 0, false, false);
}

bool ZuToolTip::SetTracking(bool tracking)
{
    is_tracking = tracking;
    return true;
}

bool ZuToolTip::RetTracking() const
{
    return is_tracking;
}

void ZuToolTip::Tick(unsigned id)
{
    if (id == kShowTick) {
        ticking = false;
        const ZuEventRef& event = ZuEvent::Current();
        if (is_tracking && event.IsValid()) {
            ZuWindowRef over = event->RetWindow().IsValid() &&
                                       event->RetWindow()->IsKindOf(ZuWindowRef::RetRuntime())
                                   ? ZuWindowRef(event->RetWindow())
                                   : ZuWindowRef();
            if (over.IsValid()) {
                double ox = 0, oy = 0;
                over->GetWindowOrigin(ox, oy);
                double x = event->RetX() + ox;
                double y = event->RetY() + oy + 20;
                double w = 0, h = 0;
                GetSize(w, h);
                KeepInside(x, y, w, h);
                SetWindowOrigin(x, y);
            }
        }
        ShowNormal();
    }
    ZuWindow::Tick(id);
}

void ZuToolTip::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuWindow::DrawBack(port, rect);
    if (port.IsValid())
        port->RetAdorner()->FillRect(box, ZU_COLOR_TOOLTIP_BACK, 0);
}

void ZuToolTip::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuWindow::DrawFront(port, rect);
    if (port.IsValid())
        port->RetAdorner()->DrawRect(box, ZU_COLOR_TOOLTIP_FRAME, 0);
    if (tip.IsValid())
        tip->SetColor(ZuColorPixel(ZU_COLOR_TOOLTIP_TEXT));
}

void ZuToolTip::StoreInstance(const ZuStorageRef& s)
{
    ZuWindow::StoreInstance(s);
    s << ToolTipRecord() << ZuStorageSync::begin;
    s->StoreObject(tip);
    s->StoreBool(is_tracking);
    s << ZuStorageSync::end;
}

void ZuToolTip::RestoreInstance(const ZuStorageRef& s)
{
    ZuWindow::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef restored;
    s->RestoreObject(restored, ZuTextTagRef::RetRuntime());
    is_tracking = s->RestoreBool(is_tracking);
    s >> ZuStorageSync::end;
    tip = restored.IsValid() && restored->IsKindOf(ZuTextTagRef::RetRuntime())
              ? ZuTextTagRef(restored)
              : ZuTextTagRef();
}
