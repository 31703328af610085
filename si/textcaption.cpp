#include "si/textcaption.h"

#include "si/grail.h"
#include "si/lookman.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"

ZU_IMPLEMENT_CLASS(ZuTextCaption, "si/textcaption", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuTextCaption, ZuiValue)
ZU_IMPLEMENT_INTERFACE(ZuTextCaption, ZuiTitleWidget)

namespace {

ZuStorageSync& TextCaptionRecord()
{
    static ZuStorageSync record("<ZuTextCaption  back_color>");
    return record;
}

} // namespace

ZuTextCaption::ZuTextCaption() : back_color(0.5, 0.5, 0.5, 0.0)
{
    text_color = ZuColorPixel(1.0, 1.0, 1.0, 0.0);
    automatic_color = false;
    style.SetBit(ZU_CTRL_DRAW_RELIEF);
    style.SetBit(ZU_CTRL_DRAW_SUNKEN);
}

ZuObjectRef ZuTextCaption::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuTextCaptionRef::RetRuntime()))
        SetBackColor(ZuTextCaptionRef(source)->RetBackColor());
    return ZuTextTag::Copy(source);
}

bool ZuTextCaption::SetBackColor(const ZuColorPixel& color)
{
    back_color = color;
    return true;
}

ZuColorPixel ZuTextCaption::RetBackColor() const
{
    return back_color;
}

void ZuTextCaption::DrawBack(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuControl::DrawBack(port, rect);
    if (port.IsInvalid())
        return;
    double inset = 0;
    const ZuLookManRef& look = ZuLookMan::Current();
    if (style.TestBit(ZU_CTRL_DRAW_RELIEF) && look.IsValid())
        inset = look->RetWidgetFrameSize();
    port->SetForeColor(back_color);
    port->FillRect(box, inset);
}

void ZuTextCaption::StoreInstance(const ZuStorageRef& s)
{
    ZuTextTag::StoreInstance(s);
    s << TextCaptionRecord() << ZuStorageSync::begin;
    s << back_color;
    s << ZuStorageSync::end;
}

void ZuTextCaption::RestoreInstance(const ZuStorageRef& s)
{
    ZuTextTag::RestoreInstance(s);
    s >> ZuStorageSync::type >> ZuStorageSync::begin;
    s >> back_color;
    s >> ZuStorageSync::end;
}
