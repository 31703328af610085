#include "si/scrollarrowpos.h"

#include "si/typedef.h"
#include "si/typeinfo.h"

ZU_ENUM_REGISTER(ZuScrollArrowPos)
