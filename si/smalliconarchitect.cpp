#include "si/smalliconarchitect.h"

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

ZU_IMPLEMENT_CLASS(ZuSmallIconArchitect, "si/smalliconarchitect", ZU_CLASS_PLAIN)

namespace {

ZuSmallIconArchitect* ArchitectOf(ZuObject* object)
{
    return static_cast<ZuSmallIconArchitect*>(object);
}

#define ZU_SMALLICON_DATUM(NAME, RET, SET)                                    \
    void Get##NAME(ZuValueRef& value, ZuObject* object)                       \
    {                                                                         \
        value = ZuValueRef(ArchitectOf(object)->RET());                       \
    }                                                                         \
    bool Set##NAME(const ZuValueRef& value, ZuObject* object)                 \
    {                                                                         \
        return value.IsValid() && ArchitectOf(object)->SET(value->RetReal()); \
    }
ZU_SMALLICON_DATUM(Height, RetHeight, SetHeight)
ZU_SMALLICON_DATUM(IconWidth, RetIconWidth, SetIconWidth)
ZU_SMALLICON_DATUM(TextWidth, RetTextWidth, SetTextWidth)
#undef ZU_SMALLICON_DATUM

void DeclareSmallIconData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuSmallIconArchitectRef::RetRuntime(), "height", "total height", &Real_type, true, true,
         &GetHeight, &SetHeight},
        {&ZuSmallIconArchitectRef::RetRuntime(), "icon_width", "icon width", &Real_type, true, true,
         &GetIconWidth, &SetIconWidth},
        {&ZuSmallIconArchitectRef::RetRuntime(), "text_width", "text width", &Real_type, true, true,
         &GetTextWidth, &SetTextWidth},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport small_icon_data(&DeclareSmallIconData, ZuSmallIconArchitectRef::RetRuntime());

// Clicks fall through the parts of a line to the provider view.
void MakePart(const ZuViewRef& part, const ZuProviderViewRef& holder)
{
    part->SetIntoParent(holder);
    part->ChangeState(ZU_VIEW_NO_DETECT, true, false);
    part->ChangeState(ZU_VIEW_NO_UI_INSPECT, false, false);
}

} // namespace

bool ZuSmallIconArchitect::Initialise(const ZuGrailFontRef& font, double height)
{
    ZuPicArchitect::Initialise(font);
    SetHeight(height);
    return true;
}

bool ZuSmallIconArchitect::SetHeight(double height)
{
    // NaN compares with nothing: it fails the test below as 0 does.
    dy = (height != 0 && height == height) ? height : 16.0;
    return true;
}

bool ZuSmallIconArchitect::SetIconWidth(double width)
{
    icon_dx = width;
    return true;
}

bool ZuSmallIconArchitect::SetTextWidth(double width)
{
    text_dx = width;
    return true;
}

double ZuSmallIconArchitect::RetHeight() const
{
    return dy;
}

double ZuSmallIconArchitect::RetIconWidth() const
{
    return icon_dx;
}

double ZuSmallIconArchitect::RetTextWidth() const
{
    return text_dx;
}

bool ZuSmallIconArchitect::GetViewSize(const ZuObjectRef&, double& width, double& height)
{
    width = icon_dx + space + text_dx;
    height = dy;
    return true;
}

bool ZuSmallIconArchitect::CreateView(const ZuObjectRef& item, const ZuProviderViewRef& holder)
{
    if (holder.IsInvalid())
        return false;
    ZuObjectRef carrier;
    ZuiPictogram* pictogram = GetPictogram(item, carrier);
    if (pictogram == nullptr)
        return true;

    ZuAtomRef icon_name;
    if (pictogram->GetIcon(icon_name)) {
        ZuIconRef icon = ZuNew<ZuIcon>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        icon->Initialise(icon_name, icon_dx, 0, true, true);
        icon->SetSize(icon_dx, dy);
        icon->SetOrigin(0, 0);
        MakePart(icon, holder);
    }
    ZuStringRef text;
    if (pictogram->GetText(ZU_TEXTVER_NORMAL, text)) {
        ZuTextTagRef tag = ZuNew<ZuTextTag>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
        tag->SetTextStyle(ZuTextStyle(ZU_TEXT_HPOS_LEFT, ZU_TEXT_VPOS_CENTER));
        tag->SetText(text);
        tag->SetFont(RetFont());
        tag->SetColor(RetTextColor());
        tag->SetSize(text_dx, dy);
        tag->SetLeftSpace(space);
        tag->SetOrigin(icon_dx, 0);
        MakePart(tag, holder);
    }
    return true;
}

ZuObjectRef ZuSmallIconArchitect::Copy(const ZuObjectRef& source)
{
    if (source.IsValid() && source->IsKindOf(ZuSmallIconArchitectRef::RetRuntime())) {
        const ZuSmallIconArchitect* other =
            static_cast<const ZuSmallIconArchitect*>(source.Resolve());
        SetHeight(other->dy);
        SetIconWidth(other->icon_dx);
        SetTextWidth(other->text_dx);
    }
    return ZuPicArchitect::Copy(source);
}

void ZuSmallIconArchitect::StoreInstance(const ZuStorageRef& storage)
{
    ZuPicArchitect::StoreInstance(storage);
    static ZuStorageSync record("<ZuSmallIconArchitect space icon_dx text_dx dy>");
    storage << record << ZuStorageSync::begin;
    storage->StoreReal(space);
    storage->StoreReal(icon_dx);
    storage->StoreReal(text_dx);
    storage->StoreReal(dy);
    storage << ZuStorageSync::end;
}

void ZuSmallIconArchitect::RestoreInstance(const ZuStorageRef& storage)
{
    ZuPicArchitect::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    space = storage->RestoreReal(space);
    icon_dx = storage->RestoreReal(icon_dx);
    text_dx = storage->RestoreReal(text_dx);
    dy = storage->RestoreReal(dy);
    storage >> ZuStorageSync::end;
}
