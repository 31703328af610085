#include "tests/support/views.h"

#include "sd/win32/sd_grailwdo.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "w32/module.h"
#include "w32/winuser.h"

ZU_IMPLEMENT_CLASS(TProbeEvent, "tests/support/views", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_CLASS(TProbeView, "tests/support/views", ZU_CLASS_PLAIN)

std::string TProbeView::log;

TProbeEventRef TProbeEvent::Make(ZuEventType t, double px, double py)
{
    TProbeEventRef e = ZuNew<TProbeEvent>(Zuvi_app_zone);
    e->Type(t).At(px, py);
    return e;
}

TProbeViewRef TProbeView::Make(const char* label, double x1, double y1, double x2, double y2,
                               unsigned color)
{
    TProbeViewRef v = ZuNew<TProbeView>(Zuvi_app_zone);
    v->label = label;
    v->color = color;
    if (x2 >= x1 && y2 >= y1)
        v->SetBox(ZuRect(x1, y1, x2, y2));
    return v;
}

void TProbeView::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    if (color == 0)
        return;
    port->SetForeColor(ZuColorPixel(color));
    port->FillRect(rect, 0);
}

#define PROBE(H)                            \
    void TProbeView::H(const ZuEventRef& e) \
    {                                       \
        log += label + ":" #H " ";          \
        if (pass_on)                        \
            ZuView::H(e);                   \
    }
PROBE(KeyDown)
PROBE(KeyUp)
PROBE(KeyChange)
PROBE(ButtonPress)
PROBE(ButtonRelease)
PROBE(MotionNotify)
PROBE(DragNotify)
PROBE(Miscellanous)
#undef PROBE

void TProbeView::EnterNotify(const ZuEventRef& e)
{
    log += label + ":Enter ";
    ZuView::EnterNotify(e);
}

void TProbeView::LeaveNotify(const ZuEventRef& e)
{
    log += label + ":Leave ";
    ZuView::LeaveNotify(e);
}

void TProbeView::BecomeMain(bool flag)
{
    log += label + ":Become ";
    ZuView::BecomeMain(flag);
}

void TProbeView::ResignMain()
{
    log += label + ":Resign ";
    ZuView::ResignMain();
}

void TProbeView::Tick(unsigned id)
{
    log += label + ":Tick" + std::to_string(id) + " ";
}

ZuWindowRef NewTestWindow(double dx, double dy)
{
    ZuWindowRef w = ZuNew<ZuWindow>(Zuvi_app_zone);
    w->SetSize(dx, dy);
    return w;
}

void RegisterWindowClass()
{
    WNDCLASSEXA wc;
    if (!GetClassInfoExA(nullptr, Zuvi_GrWindowRec::RetClassName(), &wc))
        Zuvi_GrWindowRec::GlobalInit(GetModuleHandleA(nullptr));
}

void UnregisterWindowClass()
{
    Zuvi_GrWindowRec::GlobalKill();
}
