#include "si/ifilesort.h"

#include "si/typeinfo.h"

ZU_ENUM_REGISTER(ZuFileSortType)
