#include "si/validity.h"

#include "si/error.h"
#include "si/typeinfo.h"
#include "si/values.h"

const ZuValidityRecord ZuValidityRecord::none;

ZU_ENUM_REGISTER(ZuValidity)

ZuValidityRecord Zuvi_ValueToZuValidityRecord(const ZuValueRef&)
{
    ZU_ABORT("No conversion between ZuValue and type ZuValidityRecord");
}
