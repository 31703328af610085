#include "si/textstyle.h"

#include "si/typeinfo.h"

ZuTextStyle const ZuTextStyle::none;

ZU_ENUM_REGISTER(ZuTextHPos)
ZU_ENUM_REGISTER(ZuTextVPos)

static_assert(sizeof(ZuTextStyle) == 16, "a text style is two codes and a double");

ZU_TYPE_REGISTER(ZuTextStyle, "ZuTextStyle", nullptr, ZU_TYPE_TEXTSTYLE, nullptr,
                 sizeof(ZuTextStyle))
