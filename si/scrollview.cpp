#include "si/scrollview.h"

#include <cmath>

#include "si/error.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/values.h"
#include "si/window.h"

ZU_IMPLEMENT_CLASS(ZuScrollView, ZU_SRC_FILE, ZU_CLASS_PLAIN)

ZuAtomRef ZuScrollView::visible_value;
ZuAtomRef ZuScrollView::visible_ratio;
ZU_EXPORT_NOTIFY(ZuScrollView, scroll, "Scroll", nullptr)
ZU_EXPORT_NOTIFY(ZuScrollView, visible_value, "visible_value", &ZuScrollView::visible_value)
ZU_EXPORT_NOTIFY(ZuScrollView, visible_ratio, "visible_ratio", &ZuScrollView::visible_ratio)
ZU_EXPORT_NOTIFY(ZuScrollView, display, "Display", nullptr)

// The scrollers' report reaches Scroll by this name.
static Zuvi_TargetExport zuvi_scroll_view_scroll(
    [](ZuObject* o, const ZuObjectRef& scroller, unsigned id) -> bool {
        static_cast<ZuScrollView*>(o)->Scroll(scroller, id);
        return true;
    },
    "Scroll", ZuScrollViewRef::RetRuntime());

namespace {

const unsigned kHorizontal = 1;
const unsigned kVertical = 2;

ZuStorageSync& ScrollViewRecord()
{
    static ZuStorageSync record("<ZuScrollView h_scroller v_scroller x_offset_ratio "
                                "y_offset_ratio x_offset y_offset width height>");
    return record;
}

// Made at each call: atoms last as long as the running library.
ZuAtomRef ScrolledEvent()
{
    return ZuAtomRef("notify_scrolled");
}

ZuAtomRef ScrollAction()
{
    return ZuAtomRef("Scroll");
}

double Clamp(double v, double low, double high)
{
    if (!(v > low))
        return low;
    return v > high ? high : v;
}

double Finite(double v)
{
    return std::isfinite(v) ? v : 0;
}

// The fraction of the content that a view of that size shows.
double VisibleFraction(double view, double content)
{
    if (content == 0)
        return 1;
    return std::fmin(1.0, view / content);
}

} // namespace

void ZuScrollView::SetOffset(double xr, double yr)
{
    x_offset_ratio = Clamp(xr, 0, 1);
    y_offset_ratio = Clamp(yr, 0, 1);
    const double rx = std::fmax(0.0, width - box.DX()), ry = std::fmax(0.0, height - box.DY());
    const double nx = std::trunc(rx * x_offset_ratio + 0.5);
    const double ny = std::trunc(ry * y_offset_ratio + 0.5);
    if (nx != x_offset || ny != y_offset)
        ScrollBy(nx - x_offset, ny - y_offset);
}

void ZuScrollView::SetTopLeft(double x, double y)
{
    const double rx = std::fmax(0.0, width - box.DX()), ry = std::fmax(0.0, height - box.DY());
    x = Clamp(x, 0, rx);
    y = Clamp(y, 0, ry);
    if (x == x_offset && y == y_offset)
        return;
    x_offset_ratio = rx == 0 ? 0 : x / rx;
    y_offset_ratio = ry == 0 ? 0 : y / ry;
    ScrollBy(x - x_offset, y - y_offset);
}

void ZuScrollView::SetTotalSize(double w, double h)
{
    width = w;
    height = h;
    SetOffset(x_offset_ratio, y_offset_ratio);
    ScrollRatioChanged();
}

void ZuScrollView::ScrollBy(double dx, double dy)
{
    if (dx == 0 && dy == 0)
        return;
    x_offset += dx;
    y_offset += dy;
    if (child_head.IsInvalid())
        return;
    for (ZuViewRef c = child_head; c.IsValid();) {
        ZuViewRef next;
        c->GetNextSibling(next);
        c->MoveOrigin(-dx, -dy);
        c = next;
    }
    Display(true);
}

void ZuScrollView::ScrollRatioChanged()
{
    const double hr = VisibleFraction(box.DX(), width);
    const double vr = VisibleFraction(box.DY(), height);
    if (h_scroller.IsValid())
        h_scroller->DefineData(visible_ratio, ZuValueRef(hr));
    if (v_scroller.IsValid())
        v_scroller->DefineData(visible_ratio, ZuValueRef(vr));
}

void ZuScrollView::SetHorizontalScroller(const ZuObjectRef& scroller)
{
    ZuObjectRef self(this);
    if (h_scroller.IsValid())
        h_scroller->DetachObserver(self, ScrolledEvent(), ScrollAction(), kHorizontal);
    if (scroller.IsValid())
        scroller->AttachObserver(self, ScrolledEvent(), ScrollAction(), kHorizontal);
    h_scroller = scroller;
}

void ZuScrollView::SetVerticalScroller(const ZuObjectRef& scroller)
{
    ZuObjectRef self(this);
    if (v_scroller.IsValid())
        v_scroller->DetachObserver(self, ScrolledEvent(), ScrollAction(), kVertical);
    if (scroller.IsValid())
        scroller->AttachObserver(self, ScrolledEvent(), ScrollAction(), kVertical);
    v_scroller = scroller;
}

void ZuScrollView::Scroll(const ZuObjectRef& scroller, unsigned int)
{
    ZuValueRef value;
    if (scroller.IsInvalid() || !scroller->QueryData(visible_value, value) || value.IsInvalid())
        return;
    const double v = Zuvi_ValueToReal(value);
    if (scroller == h_scroller)
        SetOffset(v, y_offset_ratio);
    else if (scroller == v_scroller)
        SetOffset(x_offset_ratio, v);
}

void ZuScrollView::SetSize(double dx, double dy)
{
    ZU_ASSERT(dx != 0);
    ZU_ASSERT(dy != 0);
    const double x = box.X1(), y = box.Y1();
    box = ZuRect(x, y, x + dx - 1, y + dy - 1);
    ScrollRatioChanged();
}

void ZuScrollView::SetOrigin(double x, double y)
{
    if (x == box.X1() && y == box.Y1())
        return;
    box.SetOrigin(x, y);
}

void ZuScrollView::MoveOrigin(double dx, double dy)
{
    ZuView::MoveOrigin(dx, dy);
}

void ZuScrollView::ChangeSize(double ddx, double ddy)
{
    ZuView::ChangeSize(ddx, ddy);
}

bool ZuScrollView::WouldAcceptMain() const
{
    ZuViewRef first = const_cast<ZuScrollView*>(this)->RetFirstActive();
    return first.IsValid() && first->WouldAcceptMain();
}

void ZuScrollView::BecomeMain(bool flag)
{
    ZuViewRef first = RetFirstActive();
    if (first.IsValid() && window.IsValid())
        window->SetMainResponder(ZuResponderRef(first), flag);
}

void ZuScrollView::ResignMain()
{
    ZuResponder::ResignMain();
    state.ClearBit(ZU_VIEW_IS_ACTIVE);
    Display(true);
}

void ZuScrollView::Delete()
{
    SetHorizontalScroller(ZuObjectNull);
    SetVerticalScroller(ZuObjectNull);
    ZuControl::Delete();
}

void ZuScrollView::StoreInstance(const ZuStorageRef& s)
{
    ZuControl::StoreInstance(s);
    s << ScrollViewRecord() << ZuStorageSync::begin;
    s->StoreObject(h_scroller);
    s->StoreObject(v_scroller);
    s->StoreReal(x_offset_ratio);
    s->StoreReal(y_offset_ratio);
    s->StoreReal(x_offset);
    s->StoreReal(y_offset);
    s->StoreReal(width);
    s->StoreReal(height);
    s << ZuStorageSync::end;
}

void ZuScrollView::RestoreInstance(const ZuStorageRef& s)
{
    ZuControl::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    s->RestoreObject(h_scroller, ZuObjectRef::RetRuntime());
    s->RestoreObject(v_scroller, ZuObjectRef::RetRuntime());
    x_offset_ratio = Clamp(s->RestoreReal(x_offset_ratio), 0, 1);
    y_offset_ratio = Clamp(s->RestoreReal(y_offset_ratio), 0, 1);
    x_offset = Finite(s->RestoreReal(x_offset));
    y_offset = Finite(s->RestoreReal(y_offset));
    width = Finite(s->RestoreReal(width));
    height = Finite(s->RestoreReal(height));
    s >> ZuStorageSync::end;
}
