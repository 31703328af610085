#include "si/colorwell.h"

#include <cmath>

#include "si/adorner.h"
#include "si/classfactory.h"
#include "si/dragcalls.h"
#include "si/event.h"
#include "si/grail.h"
#include "si/lookman.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/typeinfo.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuColorWell, "si/colorwell", ZU_CLASS_PLAIN)

ZuAtomRef ZuColorWell::drag_object;

ZU_EXPORT_NOTIFY(ZuColorWell, drag_object, "drag_object", &ZuColorWell::drag_object)
ZU_EXPORT_OBSERVER(ZuColorWell, OnDragEnded)

namespace {

ZuColorWell* AsWell(ZuObject* o)
{
    return static_cast<ZuColorWell*>(o);
}

void GetColor(ZuValueRef& value, ZuObject* o)
{
    value = ZuValueRef(AsWell(o)->RetColor());
}
bool SetColor(const ZuValueRef& value, ZuObject* o)
{
    return value.IsValid() && AsWell(o)->SetColor(ZuColorPixel(value));
}

#define ZU_WELL_COMPONENT(NAME)                                           \
    void Get##NAME(ZuValueRef& value, ZuObject* o)                        \
    {                                                                     \
        value = ZuValueRef(AsWell(o)->Ret##NAME());                       \
    }                                                                     \
    bool Set##NAME(const ZuValueRef& value, ZuObject* o)                  \
    {                                                                     \
        return value.IsValid() && AsWell(o)->Set##NAME(value->RetReal()); \
    }
ZU_WELL_COMPONENT(Red)
ZU_WELL_COMPONENT(Green)
ZU_WELL_COMPONENT(Blue)
ZU_WELL_COMPONENT(Transparency)
ZU_WELL_COMPONENT(Luminance)
#undef ZU_WELL_COMPONENT

void DeclareWellData(ZuRuntime* runtime)
{
    const ZuRuntimeRef* rt = &ZuColorWellRef::RetRuntime();
    static Zuvi_PubDataDef items[] = {
        {rt, "color", "Color", &ZuColorPixel_type, true, true, &GetColor, &SetColor},
        {rt, "red", "Red component", &Real_type, true, true, &GetRed, &SetRed},
        {rt, "green", "Greeen component", &Real_type, true, true, &GetGreen, &SetGreen},
        {rt, "blue", "Blue component", &Real_type, true, true, &GetBlue, &SetBlue},
        {rt, "transparency", "Transparency", &Real_type, true, true, &GetTransparency,
         &SetTransparency},
        {rt, "luminance", "Luminance", &Real_type, true, true, &GetLuminance, &SetLuminance},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport well_data(&DeclareWellData, ZuColorWellRef::RetRuntime());

// Every item announces its change with "Changed".
Zuvi_NotifyExport color_changed(&ZuColorWellRef::RetRuntime(), "Changed", "color", nullptr);
Zuvi_NotifyExport red_changed(&ZuColorWellRef::RetRuntime(), "Changed", "red", nullptr);
Zuvi_NotifyExport green_changed(&ZuColorWellRef::RetRuntime(), "Changed", "green", nullptr);
Zuvi_NotifyExport blue_changed(&ZuColorWellRef::RetRuntime(), "Changed", "blue", nullptr);
Zuvi_NotifyExport transparency_changed(&ZuColorWellRef::RetRuntime(), "Changed", "transparency",
                                       nullptr);
Zuvi_NotifyExport luminance_changed(&ZuColorWellRef::RetRuntime(), "Changed", "luminance", nullptr);

ZuStorageSync& WellRecord()
{
    static ZuStorageSync record("<ZuColorWell color frame>");
    return record;
}

} // namespace

ZuColorWell::ZuColorWell()
{
    style.SetBit(ZU_CTRL_DRAW_RELIEF);
}

void ZuColorWell::StoreInstance(const ZuStorageRef& s)
{
    ZuControl::StoreInstance(s);
    s << WellRecord() << ZuStorageSync::begin;
    s << color;
    s->StoreReal(frame);
    s << ZuStorageSync::end;
}

void ZuColorWell::RestoreInstance(const ZuStorageRef& s)
{
    ZuControl::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    s >> color;
    frame = s->RestoreReal(frame);
    if (!std::isfinite(frame))
        frame = 4.0;
    s >> ZuStorageSync::end;
}

bool ZuColorWell::SetColor(const ZuColorPixel& c)
{
    if (c != color) {
        color = c;
        QuickReportChange(0);
    }
    return true;
}

bool ZuColorWell::SetRed(double v)
{
    return SetColor(ZuColorPixel(v, color.RealGreen(), color.RealBlue(), color.RealTransparency()));
}

bool ZuColorWell::SetGreen(double v)
{
    return SetColor(ZuColorPixel(color.RealRed(), v, color.RealBlue(), color.RealTransparency()));
}

bool ZuColorWell::SetBlue(double v)
{
    return SetColor(ZuColorPixel(color.RealRed(), color.RealGreen(), v, color.RealTransparency()));
}

bool ZuColorWell::SetTransparency(double v)
{
    return SetColor(ZuColorPixel(color.RealRed(), color.RealGreen(), color.RealBlue(), v));
}

bool ZuColorWell::SetLuminance(double f)
{
    return SetColor(ZuColorPixel(color.RealRed() * f, color.RealGreen() * f, color.RealBlue() * f,
                                 color.RealTransparency()));
}

ZuColorPixel ZuColorWell::RetColor() const
{
    return color;
}

double ZuColorWell::RetRed() const
{
    return color.Red() * (1.0 / 255);
}

double ZuColorWell::RetGreen() const
{
    return color.Green() * (1.0 / 255);
}

double ZuColorWell::RetBlue() const
{
    return color.Blue() * (1.0 / 255);
}

double ZuColorWell::RetTransparency() const
{
    return color.Transparency() * (1.0 / 255);
}

double ZuColorWell::RetLuminance() const
{
    return color.Luminance() * (1.0 / 255);
}

void ZuColorWell::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuControl::DrawBack(port, rect);
}

void ZuColorWell::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuControl::DrawFront(port, rect);
    if (port.IsInvalid())
        return;
    ZuAdornerRef adorner = port->RetAdorner();
    if (adorner.IsInvalid())
        return;
    double inset = frame;
    const ZuLookManRef& look = ZuLookMan::Current();
    if (look.IsValid()) {
        if (style.TestBit(ZU_CTRL_EFFECT_WHEN_ACTIVE))
            inset += look->RetWidgetFrameSize();
        if (style.TestBit(ZU_CTRL_DRAW_RELIEF))
            inset += look->Ret3DEffectWidth();
    }
    // A partly transparent colour shows over white.
    adorner->FillRect(box, ZU_COLOR_WHITE, inset);
    adorner->FillRect(box, color, inset);
    adorner->DrawRect(box, ZU_COLOR_BLACK, inset);
}

void ZuColorWell::ButtonPress(const ZuEventRef& event)
{
    if (event.IsValid() && event->RetChange() == ZU_EV_BUTTON_LEFT && Zuvi_drag_calls.make) {
        const double ex = event->RetX(), ey = event->RetY();
        const double cx = (box.X1() + box.X2()) / 2, cy = (box.Y1() + box.Y2()) / 2;
        ZuColorWellRef image = ZuNew<ZuColorWell>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        image->SetParent(ZuViewRef(this));
        image->SetOrigin(cx - 8, cy - 8);
        image->SetSize(17, 17);
        image->SetColor(color);
        image->frame = 0;
        image->ChangeStyle(ZU_CTRL_EFFECT_WHEN_ACTIVE, false);
        image->ChangeStyle(ZU_CTRL_DRAW_RELIEF, false);
        ZuObjectRef drag = Zuvi_drag_calls.make(image, ZuValueRef(color), true, ex - cx + 8,
                                                ey - cy + 8, ZuViewRef());
        if (drag.IsValid()) {
            OnDragEnded(ZuObjectRef(), 0);
            drag_image = image;
            drag->AttachObserver(ZuObjectRef(this), ZuAtomRef("notify_drag_ended"),
                                 ZuAtomRef("OnDragEnded"), 0);
            if (Zuvi_drag_calls.start)
                Zuvi_drag_calls.start(drag);
        } else {
            image->SetParent(ZuViewNull);
            image->Delete();
        }
    }
    ZuControl::ButtonPress(event);
}

bool ZuColorWell::OnDragEnded(const ZuObjectRef&, unsigned)
{
    if (drag_image.IsInvalid())
        return true;
    ZuViewRef image = drag_image;
    drag_image = ZuViewRef();
    if (image->RetParent().IsValid())
        image->SetParent(ZuViewNull);
    image->Delete();
    return true;
}

bool ZuColorWell::GetDraggedColor(const ZuObjectRef& drag, ZuColorPixel& out)
{
    ZuValueRef value;
    if (drag.IsInvalid() || !drag->QueryData(ZuAtomRef("drag_object"), value) || value.IsInvalid())
        return false;
    // The drag publishes its object inside a value.
    if (value->RetType() == ZU_TYPE_OBJECT) {
        ZuObjectRef inner = value->RetObject();
        if (inner.IsInvalid() || !inner->IsKindOf(ZuValueRef::RetRuntime()))
            return false;
        value = ZuValueRef(static_cast<ZuValue*>(inner.Resolve()));
    }
    if (value->RetType() != ZU_TYPE_COLOR)
        return false;
    out = value->RetColor();
    return true;
}

bool ZuColorWell::DragAndDrop(const ZuRect& rect, const ZuObjectRef& object,
                              ZuDragDropProtocol step)
{
    ZuColorPixel dropped;
    switch (static_cast<unsigned>(step)) {
    case ZU_DDP_DRAGnDROP_CHECK:
        return GetDraggedColor(object, dropped);
    case ZU_DDP_DRAGnDROP_COMMIT:
        // The control ends its part of the drop as for a cancelled one.
        ZuControl::DragAndDrop(rect, object, ZU_DDP_DRAGnDROP_CANCEL);
        if (!GetDraggedColor(object, dropped))
            return false;
        SetColor(dropped);
        Display(true);
        return true;
    default:
        return ZuControl::DragAndDrop(rect, object, step);
    }
}
