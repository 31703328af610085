#include "si/rect.h"

#include "si/typeinfo.h"

const ZuRect ZuRect::none;

static_assert(sizeof(ZuRect) == 40, "a rectangle is four doubles and its flag");

ZU_TYPE_REGISTER(ZuRect, "ZuRect", nullptr, ZU_TYPE_RECT, nullptr, sizeof(ZuRect))
