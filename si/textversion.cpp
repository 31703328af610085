#include "si/textversion.h"

#include "si/typeinfo.h"

ZU_ENUM_REGISTER(ZuTextVersion)
