#include "si/respond.h"

#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/view.h"

ZU_IMPLEMENT_CLASS(ZuResponder, ZU_SRC_FILE, ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuResponder, ZuiTickHandler)

ZuAtomRef ZuResponder::notify_became_main;
ZuAtomRef ZuResponder::notify_resigned_main;
ZU_EXPORT_NOTIFY(ZuResponder, became_main, "notify_became_main", &ZuResponder::notify_became_main)
ZU_EXPORT_NOTIFY(ZuResponder, resigned_main, "notify_resigned_main",
                 &ZuResponder::notify_resigned_main)

namespace {

ZuStorageSync& ResponderRecord()
{
    static ZuStorageSync record("<ZuResponder>");
    return record;
}

// A button is held unless the set is empty or holds only the "no button".
bool HoldsButton(const ZuEventRef& event)
{
    return !event->RetButtons().TestNone(ZU_EV_BUTTON_NONE);
}

// The pointer lies in the view's box, borders included.
bool PointInView(const ZuView* view, const ZuEventRef& event)
{
    const ZuRect& box = view->RetBox();
    double x = event->RetX(), y = event->RetY();
    return !box.IsEmpty() && box.X1() <= x && x <= box.X2() && box.Y1() <= y && y <= box.Y2();
}

} // namespace

void ZuResponder::SetNextResponder(const ZuResponderRef& next)
{
    next_responder = next;
}

bool ZuResponder::GetNextResponder(ZuResponderRef& out) const
{
    out = next_responder;
    return out.IsValid();
}

bool ZuResponder::GetView(ZuViewRef& out)
{
    out = ZuViewNull;
    return false;
}

bool ZuResponder::WouldAcceptMain() const
{
    return false;
}

void ZuResponder::BecomeMain(bool flag)
{
    QuickReport(notify_became_main, flag ? 1 : 0);
}

void ZuResponder::ResignMain()
{
    QuickReport(notify_resigned_main, 0);
}

void ZuResponder::DispatchEvent(const ZuEventRef& event)
{
    if (event.IsInvalid())
        return;
    switch (static_cast<unsigned>(event->RetType())) {
    case ZU_EVENT_KEY_DOWN:
    case ZU_EVENT_KEY_REP:
        KeyDown(event);
        break;
    case ZU_EVENT_KEY_UP:
        KeyUp(event);
        break;
    case ZU_EVENT_KEY_CHANGE:
        KeyChange(event);
        break;
    case ZU_EVENT_PRESS:
        ButtonPress(event);
        break;
    case ZU_EVENT_RELEASE:
        ButtonRelease(event);
        break;
    case ZU_EVENT_MOTION:
        if (HoldsButton(event))
            DragNotify(event);
        else
            MotionNotify(event);
        break;
    default:
        Miscellanous(event);
        break;
    }
}

#define ZU_PASS_ON(HANDLER)                            \
    void ZuResponder::HANDLER(const ZuEventRef& event) \
    {                                                  \
        ZuResponder* next = next_responder.Resolve();  \
        if (next != nullptr)                           \
            next->HANDLER(event);                      \
    }
ZU_PASS_ON(KeyDown)
ZU_PASS_ON(KeyChange)
ZU_PASS_ON(KeyUp)
ZU_PASS_ON(ButtonPress)
ZU_PASS_ON(ButtonRelease)
ZU_PASS_ON(MotionNotify)
ZU_PASS_ON(DragNotify)
ZU_PASS_ON(Miscellanous)
#undef ZU_PASS_ON

void ZuResponder::EnterNotify(const ZuEventRef& event)
{
    ZuResponderRef next = next_responder;
    if (next.IsInvalid())
        return;
    if (!next->IsKindOf(ZuViewRef::RetRuntime())) {
        next->EnterNotify(event);
        return;
    }
    ZuView* view = static_cast<ZuView*>(next.Resolve());
    if (!view->RetState().TestBit(ZU_VIEW_IS_ENTERED) && PointInView(view, event))
        view->EnterNotify(event);
}

void ZuResponder::LeaveNotify(const ZuEventRef& event)
{
    ZuResponderRef next = next_responder;
    if (next.IsInvalid())
        return;
    if (!next->IsKindOf(ZuViewRef::RetRuntime())) {
        next->LeaveNotify(event);
        return;
    }
    ZuView* view = static_cast<ZuView*>(next.Resolve());
    if (view->RetState().TestBit(ZU_VIEW_IS_ENTERED) && !PointInView(view, event))
        view->LeaveNotify(event);
}

void ZuResponder::Tick(unsigned) {}

void ZuResponder::StoreInstance(const ZuStorageRef& s)
{
    ZuObject::StoreInstance(s);
    s << ResponderRecord() << ZuStorageSync::begin << ZuStorageSync::end;
}

void ZuResponder::RestoreInstance(const ZuStorageRef& s)
{
    ZuObject::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin >> ZuStorageSync::end;
}
