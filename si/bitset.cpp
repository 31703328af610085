#include "si/bitset.h"

#include "si/typeinfo.h"
#include "si/values.h"

static_assert(sizeof(ZuBitset) == 8, "a bitset is two 32-bit words");

ZU_TYPE_REGISTER(ZuBitset, "ZuBitset", nullptr, ZU_TYPE_BITSET, nullptr, 8)


namespace {

// The value's 64 bits; false for an empty handle.
bool BitsOf(ZuValueRef const & value, ZuBitset & bits)
{
    if (value.IsInvalid())
        return false;
    bits.SetBits(value->RetCard64());
    return true;
}

} // namespace

ZuBitset::ZuBitset(ZuValueRef const & value) : low(0), high(0)
{
    BitsOf(value, *this);
}

ZuBitset & ZuBitset::operator=(ZuValueRef const & value)
{
    ZuBitset bits;
    BitsOf(value, bits);
    return *this = bits;
}

#define ZU_BITSET_VALUE_OPERATOR_(OP)                                           \
    ZuBitset & ZuBitset::operator OP(ZuValueRef const & value)                  \
    {                                                                           \
        ZuBitset bits;                                                          \
        if (BitsOf(value, bits))                                                \
            *this OP bits;                                                      \
        return *this;                                                           \
    }
ZU_BITSET_VALUE_OPERATOR_(+=)
ZU_BITSET_VALUE_OPERATOR_(|=)
ZU_BITSET_VALUE_OPERATOR_(-=)
ZU_BITSET_VALUE_OPERATOR_(*=)
ZU_BITSET_VALUE_OPERATOR_(&=)
ZU_BITSET_VALUE_OPERATOR_(^=)
#undef ZU_BITSET_VALUE_OPERATOR_

bool ZuBitset::operator==(ZuValueRef const & value) const
{
    ZuBitset bits;
    BitsOf(value, bits);
    return *this == bits;
}

bool ZuBitset::operator!=(ZuValueRef const & value) const
{
    return !(*this == value);
}
