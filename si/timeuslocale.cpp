#include "si/timeuslocale.h"

#include "si/locale.h"
#include "si/rtclass.h"

namespace {

// The library's own mapping definitions, in this order.
Zuvi_LocaleMappingDef us_time("ZuTime", "ZuTimeUSLocale", "US-EN");
Zuvi_LocaleMappingDef uk_time("ZuTime", "ZuTimeUSLocale", "UK-EN");

} // namespace

ZU_IMPLEMENT_CLASS(ZuTimeUSLocale, "si/timeuslocale", ZU_CLASS_PLAIN)

static_assert(sizeof(ZuTimeUSLocale) == sizeof(ZuTime), "the time of a locale adds no field");

ZuTimeUSLocale::~ZuTimeUSLocale() {}
