#include "si/shadeview.h"

#include <cstdint>

#include "si/grail.h"
#include "si/classfactory.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/typeinfo.h"
#include "si/types.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuShadeView, "si/shadeview", ZU_CLASS_PLAIN)

namespace {

ZuStorageSync& ShadeRecord()
{
    static ZuStorageSync record(
        "<ZuShadeView view color_ext color_int dx_offset dy_offset grow transition>");
    return record;
}

ZuShadeView* AsShade(ZuObject* o)
{
    return static_cast<ZuShadeView*>(o);
}

void GetExt(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsShade(o)->RetColorExt());
}
bool SetExt(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsShade(o)->SetColorExt(ZuColorPixel(value));
}
void GetInt(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsShade(o)->RetColorInt());
}
bool SetInt(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsShade(o)->SetColorInt(ZuColorPixel(value));
}
void GetDx(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(std::int32_t(AsShade(o)->RetDxOffset()));
}
bool SetDx(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsShade(o)->SetDxOffset(int(value->RetInt32()));
}
void GetDy(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(std::int32_t(AsShade(o)->RetDyOffset()));
}
bool SetDy(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsShade(o)->SetDyOffset(int(value->RetInt32()));
}
void GetGrowItem(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(std::int32_t(AsShade(o)->RetGrow()));
}
bool SetGrowItem(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsShade(o)->SetGrow(int(value->RetInt32()));
}
void GetSteps(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(std::uint32_t(AsShade(o)->RetTransition()));
}
bool SetSteps(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsShade(o)->SetTransition(unsigned(value->RetCard32()));
}

void DeclareShadeData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuShadeViewRef::RetRuntime(), "color_ext", "External color", &ZuColorPixel_type, true,
         true, &GetExt, &SetExt},
        {&ZuShadeViewRef::RetRuntime(), "color_int", "Internal color", &ZuColorPixel_type, true,
         true, &GetInt, &SetInt},
        {&ZuShadeViewRef::RetRuntime(), "dx_offset", "Horizontal offset", &Int32_type, true, true,
         &GetDx, &SetDx},
        {&ZuShadeViewRef::RetRuntime(), "dy_offset", "Vertical offset", &Int32_type, true, true,
         &GetDy, &SetDy},
        {&ZuShadeViewRef::RetRuntime(), "grow", "Relative growing", &Int32_type, true, true,
         &GetGrowItem, &SetGrowItem},
        {&ZuShadeViewRef::RetRuntime(), "transition", "Transition steps", &Card32_type, true, true,
         &GetSteps, &SetSteps},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport shade_data(&DeclareShadeData, ZuShadeViewRef::RetRuntime());

ZuColorPixel Blend(const ZuColorPixel& outer, const ZuColorPixel& inner, double t)
{
    return ZuColorPixel(outer.RealRed() * (1 - t) + inner.RealRed() * t,
                        outer.RealGreen() * (1 - t) + inner.RealGreen() * t,
                        outer.RealBlue() * (1 - t) + inner.RealBlue() * t,
                        outer.RealTransparency() * (1 - t) + inner.RealTransparency() * t);
}

} // namespace

ZuShadeView::ZuShadeView() : color_ext(0.0, 0.0, 0.0, 1.0), color_int(0.0, 0.0, 0.0, 0.5) {}

void ZuShadeView::Delete()
{
    ZuView::Delete();
    view = ZuViewNull;
}

ZuRect ZuShadeView::RetShadowBox() const
{
    ZuRect box = view.IsValid() ? view->RetBox() : RetBox();
    box.MoveOrigin(dx_offset - grow, dy_offset - grow);
    box.ChangeSize(grow, grow);
    return box;
}

void ZuShadeView::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuView::DrawBack(port, rect);
    ZuRect shadow = RetShadowBox();
    for (unsigned i = 0; i < transition; ++i) {
        port->SetForeColor(Blend(color_ext, color_int, double(i) / double(transition)));
        port->DrawRect(shadow, double(i));
    }
    port->SetForeColor(color_int);
    port->FillRect(shadow, double(transition));
}

bool ZuShadeView::SetView(const ZuViewRef& v)
{
    view = v;
    return true;
}

bool ZuShadeView::SetColorExt(const ZuColorPixel& colour)
{
    color_ext = colour;
    return true;
}

bool ZuShadeView::SetColorInt(const ZuColorPixel& colour)
{
    color_int = colour;
    return true;
}

bool ZuShadeView::SetOffset(int dx, int dy)
{
    dx_offset = dx;
    dy_offset = dy;
    return true;
}

bool ZuShadeView::SetDxOffset(int dx)
{
    dx_offset = dx;
    return true;
}

bool ZuShadeView::SetDyOffset(int dy)
{
    dy_offset = dy;
    return true;
}

bool ZuShadeView::SetGrow(int g)
{
    grow = g;
    return true;
}

bool ZuShadeView::SetTransition(unsigned steps)
{
    transition = steps;
    return true;
}

void ZuShadeView::StoreInstance(const ZuStorageRef& s)
{
    ZuView::StoreInstance(s);
    s << ShadeRecord() << ZuStorageSync::begin;
    s->StoreObject(view);
    s << color_ext << color_int;
    s->StoreInt(dx_offset);
    s->StoreInt(dy_offset);
    s->StoreInt(grow);
    s->StoreCard(transition);
    s << ZuStorageSync::end;
}

void ZuShadeView::RestoreInstance(const ZuStorageRef& s)
{
    ZuView::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    ZuObjectRef v;
    s->RestoreObject(v, ZuViewRef::RetRuntime());
    view = ZuViewRef(v);
    s >> color_ext >> color_int;
    dx_offset = int(std::int32_t(s->RestoreInt(0)));
    dy_offset = int(std::int32_t(s->RestoreInt(0)));
    grow = int(std::int32_t(s->RestoreInt(0)));
    transition = unsigned(std::uint32_t(s->RestoreCard(4)));
    s >> ZuStorageSync::end;
}
