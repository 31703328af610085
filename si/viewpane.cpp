#include "si/viewpane.h"

#include <cmath>

#include "si/adorner.h"
#include "si/error.h"
#include "si/grail.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuViewPane, ZU_SRC_FILE, ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuViewPane, ZuiTitleWidget)

namespace {

ZuStorageSync& PaneRecord()
{
    // The stored text runs the last two names together.
    static ZuStorageSync record("<ZuViewPane v_provider v_layout x_offset y_offsetback_color>");
    return record;
}

template <class R>
R AsKind(const ZuObjectRef& o)
{
    return o.IsValid() && o->IsKindOf(R::RetRuntime()) ? R(o) : R();
}

// Into [0, 1]; what is not a number counts as 0.
double Clamp01(double v)
{
    if (!(v > 0))
        return 0;
    return v > 1 ? 1 : v;
}

ZuViewPane* AsPane(ZuObject* o)
{
    return static_cast<ZuViewPane*>(o);
}
void GetXOffset(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsPane(o)->RetHorizontalOffset());
}
bool SetXOffset(const ZuValueRef& value, ZuObject* o)
{
    return AsPane(o)->SetHorizontalOffset(Zuvi_ValueToReal(value));
}
void GetYOffset(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsPane(o)->RetVerticalOffset());
}
bool SetYOffset(const ZuValueRef& value, ZuObject* o)
{
    return AsPane(o)->SetVerticalOffset(Zuvi_ValueToReal(value));
}
void GetXRatio(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsPane(o)->RetHorizontalRatio());
}
void GetYRatio(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsPane(o)->RetVerticalRatio());
}
void GetBackColorDatum(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsPane(o)->RetBackColor());
}
bool SetBackColorDatum(const ZuValueRef& value, ZuObject* o)
{
    return AsPane(o)->SetBackColor(Zuvi_ValueToZuColorPixel(value));
}

void DeclarePaneData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuViewPaneRef::RetRuntime(), "x_offset", "horizontal offset", &Real_type, true, true,
         &GetXOffset, &SetXOffset},
        {&ZuViewPaneRef::RetRuntime(), "y_offset", "vertical offset", &Real_type, true, true,
         &GetYOffset, &SetYOffset},
        {&ZuViewPaneRef::RetRuntime(), "x_ratio", "horizontal ratio", &Real_type, true, false,
         &GetXRatio, nullptr},
        {&ZuViewPaneRef::RetRuntime(), "y_ratio", "vertical ratio", &Real_type, true, false,
         &GetYRatio, nullptr},
        {&ZuViewPaneRef::RetRuntime(), "back_color", "Background color", &ZuColorPixel_type, true,
         true, &GetBackColorDatum, &SetBackColorDatum},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport pane_data(&DeclarePaneData, ZuViewPaneRef::RetRuntime());

} // namespace

bool ZuViewPane::Initialise(const ZuViewProviderRef& provider, const ZuViewLayoutRef& layout)
{
    v_provider = provider;
    v_layout = layout;
    return true;
}

void ZuViewPane::UpdateSurfaceSize()
{
    double w = 0, h = 0;
    if (v_layout.IsValid())
        v_layout->GetGlobalSize(w, h);
    surface.SetSize(w, h);
}

void ZuViewPane::UpdateOffset()
{
    const double over_x = std::fmax(0.0, surface.DX() - box.DX());
    const double over_y = std::fmax(0.0, surface.DY() - box.DY());
    double px = x_offset * over_x, py = y_offset * over_y;
    if (v_layout.IsValid())
        v_layout->ConstrainOrigin(px, py);
    surface.SetOrigin(-px, -py);
}

void ZuViewPane::UpdateContents(bool full)
{
    if (v_provider.IsValid())
        v_provider->UnlockAllViews();
    if (full) {
        if (v_layout.IsValid())
            v_layout->NotifyDataSourceChange();
        if (v_provider.IsValid())
            v_provider->NotifyDataSourceChange();
        UpdateSurfaceSize();
        UpdateOffset();
    }
    if (v_layout.IsInvalid() || v_provider.IsInvalid())
        return;
    const double ox = std::trunc(-surface.X1()), oy = std::trunc(-surface.Y1());
    ZuRect visible;
    visible.SetOrigin(ox, oy);
    visible.SetSize(box.DX(), box.DY());
    const double tx = box.X1() - ox, ty = box.Y1() - oy;
    ZuViewRef self(this);
    for (unsigned index = 0; v_layout->FindViewInBox(visible, index); ++index) {
        ZuRect item_box;
        // An item the layout cannot place or the provider refuses is left
        // out; the others are shown.
        if (v_layout->GetViewBox(index, item_box)) {
            item_box.MoveOrigin(tx, ty);
            ZuViewRef view;
            if (v_provider->LockView(index, item_box) && v_provider->GetView(index, view))
                view->SetParent(self);
        }
        if (index == 0xFFFFFFFFu)
            break;
    }
}

bool ZuViewPane::SetOffset(double x, double y)
{
    x = Clamp01(x);
    y = Clamp01(y);
    if (x == x_offset && y == y_offset)
        return true;
    x_offset = x;
    y_offset = y;
    UpdateOffset();
    UpdateContents(false);
    return true;
}

bool ZuViewPane::GetOffset(double& x, double& y)
{
    x = x_offset;
    y = y_offset;
    return true;
}

bool ZuViewPane::SetHorizontalOffset(double x)
{
    return SetOffset(x, y_offset);
}

bool ZuViewPane::SetVerticalOffset(double y)
{
    return SetOffset(x_offset, y);
}

double ZuViewPane::RetHorizontalOffset() const
{
    return x_offset;
}

double ZuViewPane::RetVerticalOffset() const
{
    return y_offset;
}

double ZuViewPane::RetHorizontalRatio() const
{
    const double sw = surface.DX();
    if (!(sw > 0))
        return 1;
    return std::fmin(1.0, box.DX() / sw);
}

double ZuViewPane::RetVerticalRatio() const
{
    const double sh = surface.DY();
    if (!(sh > 0))
        return 1;
    return std::fmin(1.0, box.DY() / sh);
}

bool ZuViewPane::SetBackColor(const ZuColorPixel& color)
{
    back_color = color;
    return true;
}

bool ZuViewPane::GetBackColor(ZuColorPixel& color) const
{
    color = back_color;
    return true;
}

ZuColorPixel ZuViewPane::RetBackColor() const
{
    return back_color;
}

bool ZuViewPane::GetSurfaceSize(double& width, double& height) const
{
    width = surface.DX();
    height = surface.DY();
    return true;
}

const ZuViewProviderRef& ZuViewPane::RetProvider() const
{
    return v_provider;
}

const ZuViewLayoutRef& ZuViewPane::RetLayout() const
{
    return v_layout;
}

bool ZuViewPane::SetTitle(const ZuStringRef&)
{
    return false;
}

void ZuViewPane::Awake()
{
    ZuView::Awake();
    UpdateContents(true);
}

ZuObjectRef ZuViewPane::Copy(const ZuObjectRef& source)
{
    if (source.IsInvalid() || !source->IsKindOf(ZuViewPaneRef::RetRuntime()))
        return ZuObjectRef(this);
    ZuViewPane* s = static_cast<ZuViewPane*>(source.Resolve());
    if (s == this)
        return ZuObjectRef(this);
    // The pane's children are its provider's views, which the provider
    // shows in one pane at a time: the copy takes the view's own settings
    // and shares the provider and the layout, and shows the items when its
    // owner fills it (UpdateContents).
    box = s->box;
    state = s->state;
    tag = s->tag;
    SetUserName(s->RetUserName());
    cursor = s->cursor;
    v_provider = s->v_provider;
    v_layout = s->v_layout;
    back_color = s->back_color;
    x_offset = s->x_offset;
    y_offset = s->y_offset;
    surface = s->surface;
    return ZuResponder::Copy(source);
}

void ZuViewPane::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuView::DrawBack(port, rect);
    if (static_cast<ZuLookColor>(back_color) == ZU_COLOR_NONE || port.IsInvalid())
        return;
    const ZuAdornerRef& adorner = port->RetAdorner();
    if (adorner.IsValid())
        adorner->FillRect(box, back_color, 0);
}

void ZuViewPane::StoreInstance(const ZuStorageRef& s)
{
    ZuView::StoreInstance(s);
    s << PaneRecord() << ZuStorageSync::begin;
    s->StoreObject(v_provider);
    s->StoreObject(v_layout);
    s->StoreReal(x_offset);
    s->StoreReal(y_offset);
    s << back_color;
    s << ZuStorageSync::end;
}

void ZuViewPane::RestoreInstance(const ZuStorageRef& s)
{
    ZuView::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef read;
    s->RestoreObject(read, ZuViewProviderRef::RetRuntime());
    v_provider = AsKind<ZuViewProviderRef>(read);
    s->RestoreObject(read, ZuViewLayoutRef::RetRuntime());
    v_layout = AsKind<ZuViewLayoutRef>(read);
    x_offset = Clamp01(s->RestoreReal(x_offset));
    y_offset = Clamp01(s->RestoreReal(y_offset));
    s >> back_color;
    s >> ZuStorageSync::end;
}
