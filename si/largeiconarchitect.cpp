#include "si/largeiconarchitect.h"

#include "si/classfactory.h"
#include "si/icon.h"
#include "si/memzone.h"
#include "si/providerview.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"
#include "si/storagesync.h"
#include "si/string.h"
#include "si/texttag.h"
#include "si/types.h"
#include "si/values.h"

ZU_IMPLEMENT_CLASS(ZuLargeIconArchitect, "si/largeiconarchitect", ZU_CLASS_PLAIN)

namespace {

ZuLargeIconArchitect* ArchitectOf(ZuObject* object)
{
    return static_cast<ZuLargeIconArchitect*>(object);
}

#define ZU_LARGEICON_DATUM(NAME, RET, SET)                                    \
    void Get##NAME(ZuValueRef& value, ZuObject* object)                       \
    {                                                                         \
        value = ZuValueRef(ArchitectOf(object)->RET());                       \
    }                                                                         \
    bool Set##NAME(const ZuValueRef& value, ZuObject* object)                 \
    {                                                                         \
        return value.IsValid() && ArchitectOf(object)->SET(value->RetReal()); \
    }
ZU_LARGEICON_DATUM(Width, RetWidth, SetWidth)
ZU_LARGEICON_DATUM(IconHeight, RetIconHeight, SetIconHeight)
ZU_LARGEICON_DATUM(TextHeight, RetTextHeight, SetTextHeight)
#undef ZU_LARGEICON_DATUM

void DeclareLargeIconData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuLargeIconArchitectRef::RetRuntime(), "width", "total width", &Real_type, true, true,
         &GetWidth, &SetWidth},
        {&ZuLargeIconArchitectRef::RetRuntime(), "icon_height", "icon height", &Real_type, true,
         true, &GetIconHeight, &SetIconHeight},
        {&ZuLargeIconArchitectRef::RetRuntime(), "text_height", "text height", &Real_type, true,
         true, &GetTextHeight, &SetTextHeight},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport large_icon_data(&DeclareLargeIconData, ZuLargeIconArchitectRef::RetRuntime());

// Clicks fall through the parts of an item to the provider view.
void MakePart(const ZuViewRef& part, const ZuProviderViewRef& holder)
{
    part->SetIntoParent(holder);
    part->ChangeState(ZU_VIEW_NO_DETECT, true, false);
    part->ChangeState(ZU_VIEW_NO_UI_INSPECT, false, false);
}

} // namespace

bool ZuLargeIconArchitect::Initialise(const ZuGrailFontRef& font, double width)
{
    ZuPicArchitect::Initialise(font);
    SetWidth(width);
    return true;
}

bool ZuLargeIconArchitect::SetWidth(double width)
{
    // NaN compares with nothing: it fails the test below as 0 does.
    dx = (width != 0 && width == width) ? width : 70.0;
    return true;
}

bool ZuLargeIconArchitect::SetIconHeight(double height)
{
    icon_dy = height;
    return true;
}

bool ZuLargeIconArchitect::SetTextHeight(double height)
{
    text_dy = height;
    return true;
}

double ZuLargeIconArchitect::RetWidth() const
{
    return dx;
}

double ZuLargeIconArchitect::RetIconHeight() const
{
    return icon_dy;
}

double ZuLargeIconArchitect::RetTextHeight() const
{
    return text_dy;
}

bool ZuLargeIconArchitect::GetViewSize(const ZuObjectRef&, double& width, double& height)
{
    width = dx;
    height = icon_dy + text_dy;
    return true;
}

bool ZuLargeIconArchitect::CreateView(const ZuObjectRef& item, const ZuProviderViewRef& holder)
{
    if (holder.IsInvalid())
        return false;
    ZuObjectRef carrier;
    ZuiPictogram* pictogram = GetPictogram(item, carrier);
    if (pictogram == nullptr)
        return false;

    ZuAtomRef icon_name;
    if (pictogram->GetIcon(icon_name)) {
        ZuIconRef icon = ZuNew<ZuIcon>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        icon->Initialise(icon_name, 0.0, icon_dy, true, true);
        icon->SetSize(dx, icon_dy);
        icon->SetOrigin(0, 0);
        MakePart(icon, holder);
    }
    ZuStringRef text;
    if (pictogram->GetText(ZU_TEXTVER_NORMAL, text)) {
        ZuTextTagRef tag = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        tag->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_CENTER, ZU_TEXT_VPOS_TOP));
        tag->SetText(text);
        tag->SetFont(RetFont());
        tag->SetColor(RetTextColor());
        tag->SetSize(dx, text_dy);
        tag->SetOrigin(0, icon_dy);
        MakePart(tag, holder);
    }
    return true;
}

ZuObjectRef ZuLargeIconArchitect::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuLargeIconArchitectRef::RetRuntime())) {
        const ZuLargeIconArchitect* other =
            static_cast<const ZuLargeIconArchitect*>(source.Resolve());
        SetWidth(other->dx);
        SetIconHeight(other->icon_dy);
        SetTextHeight(other->text_dy);
    }
    return ZuPicArchitect::Copy(source);
}

void ZuLargeIconArchitect::StoreInstance(const ZuStorageRef& storage)
{
    ZuPicArchitect::StoreInstance(storage);
    static ZuStorageSync record("<ZuLargeIconArchitect dx icon_dy text_dy>");
    storage << record << ZuStorageSync::begin;
    storage->StoreReal(dx);
    storage->StoreReal(icon_dy);
    storage->StoreReal(text_dy);
    storage << ZuStorageSync::end;
}

void ZuLargeIconArchitect::RestoreInstance(const ZuStorageRef& storage)
{
    ZuPicArchitect::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    dx = storage->RestoreReal(dx);
    icon_dy = storage->RestoreReal(icon_dy);
    text_dy = storage->RestoreReal(text_dy);
    storage >> ZuStorageSync::end;
}
