#include "si/menusep.h"

#include "si/classfactory.h"
#include "si/colorpixel.h"
#include "si/grail.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/types.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuMenuSep, "si/menusep", ZU_CLASS_PLAIN)

namespace {

void GetMargin(ZuValueRef& value, ZuObject* object)
{
    value = ZuValueRef(static_cast<ZuMenuSep*>(object)->RetMargin());
}

bool SetMargin(const ZuValueRef& value, ZuObject* object)
{
    return value.IsValid() && static_cast<ZuMenuSep*>(object)->SetMargin(value->RetReal());
}

void DeclareMenuSepData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef item = {&ZuMenuSepRef::RetRuntime(),
                                   "margin",
                                   "Margin",
                                   &ZuCoord_type,
                                   true,
                                   true,
                                   &GetMargin,
                                   &SetMargin};
    runtime->PublishData(item);
}

Zuvi_PubDataExport menu_sep_data(&DeclareMenuSepData, ZuMenuSepRef::RetRuntime());

} // namespace

ZuMenuSep::ZuMenuSep()
{
    style = ZuCtrlStyle();
    state.ClearBit(ZU_VIEW_IS_ENABLED);
}

bool ZuMenuSep::SetMargin(double value)
{
    margin = value;
    return true;
}

double ZuMenuSep::RetMargin() const
{
    return margin;
}

void ZuMenuSep::DrawFront(const ZuGrailPortRef& port, const ZuRect& rect)
{
    ZuControl::DrawFront(port, rect);
    if (port.IsInvalid())
        return;
    const double x1 = box.X1(), y1 = box.Y1(), x2 = box.X2(), y2 = box.Y2();
    const double w = box.DX(), h = box.DY();
    if (w > h) {
        const double y = ((y2 + y1) - 1) * 0.5;
        port->SetForeColor(ZuColorPixel(ZU_COLOR_DGRAY));
        port->DrawLineToX(x1 + margin, y, x2 - margin);
        port->SetForeColor(ZuColorPixel(ZU_COLOR_WHITE));
        port->DrawLineToX(x1 + margin, y + 1, x2 - margin);
    } else {
        const double x = ((x2 + x1) - 1) * 0.5;
        port->SetForeColor(ZuColorPixel(ZU_COLOR_DGRAY));
        port->DrawLineToY(x, y1 + margin, y2 - margin);
        port->SetForeColor(ZuColorPixel(ZU_COLOR_WHITE));
        port->DrawLineToY(x + 1, y1 + margin, y2 - margin);
    }
}

void ZuMenuSep::StoreInstance(const ZuStorageRef& storage)
{
    ZuControl::StoreInstance(storage);
    static ZuStorageSync record("<ZuMenuSep margin>");
    storage << record << ZuStorageSync::begin;
    storage->StoreReal(margin);
    storage << ZuStorageSync::end;
}

void ZuMenuSep::RestoreInstance(const ZuStorageRef& storage)
{
    ZuControl::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    margin = storage->RestoreReal(margin);
    storage >> ZuStorageSync::end;
}
