#include "si/textstyle.h"

#include "si/storage.h"
#include "si/typeinfo.h"

const ZuTextStyle ZuTextStyle::none;

ZU_ENUM_REGISTER(ZuTextHPos)
ZU_ENUM_REGISTER(ZuTextVPos)

static_assert(sizeof(ZuTextStyle) == 16, "a text style is two codes and a double");

ZU_TYPE_REGISTER(ZuTextStyle, "ZuTextStyle", nullptr, ZU_TYPE_TEXTSTYLE, nullptr,
                 sizeof(ZuTextStyle))

namespace {
ZuStorageSync text_style_record("<ZuTextStyle h_pos v_pos angle>");
}

void ZuTextStyle::StoreInstance(const ZuStorageRef& storage) const
{
    storage << text_style_record << ZuStorageSync::begin;
    storage->StoreCard(h_pos);
    storage->StoreCard(v_pos);
    storage->StoreReal(angle);
    storage << ZuStorageSync::end;
}

void ZuTextStyle::RestoreInstance(const ZuStorageRef& storage)
{
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    h_pos = static_cast<ZuTextHPos>(storage->RestoreCard(h_pos));
    v_pos = static_cast<ZuTextVPos>(storage->RestoreCard(v_pos));
    angle = storage->RestoreReal(angle);
    storage >> ZuStorageSync::end;
}

const ZuStorageRef& operator<<(const ZuStorageRef& storage, const ZuTextStyle& style)
{
    style.StoreInstance(storage);
    return storage;
}

const ZuStorageRef& operator>>(const ZuStorageRef& storage, ZuTextStyle& style)
{
    style.RestoreInstance(storage);
    return storage;
}
