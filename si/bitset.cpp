#include "si/bitset.h"

#include "si/storage.h"
#include "si/typeinfo.h"
#include "si/values.h"

static_assert(sizeof(ZuBitset) == 8, "a bitset is two 32-bit words");

ZU_TYPE_REGISTER(ZuBitset, "ZuBitset", nullptr, ZU_TYPE_BITSET, nullptr, 8)

namespace {

// The value's 64 bits; false for an empty handle.
bool BitsOf(const ZuValueRef& value, ZuBitset& bits)
{
    if (value.IsInvalid())
        return false;
    bits.SetBits(value->RetCard64());
    return true;
}

} // namespace

ZuBitset::ZuBitset(const ZuValueRef& value) : low(0), high(0)
{
    BitsOf(value, *this);
}

ZuBitset& ZuBitset::operator=(const ZuValueRef& value)
{
    ZuBitset bits;
    BitsOf(value, bits);
    return *this = bits;
}

#define ZU_BITSET_VALUE_OPERATOR_(OP)                        \
    ZuBitset& ZuBitset::operator OP(const ZuValueRef& value) \
    {                                                        \
        ZuBitset bits;                                       \
        if (BitsOf(value, bits))                             \
            *this OP bits;                                   \
        return *this;                                        \
    }
ZU_BITSET_VALUE_OPERATOR_(+=)
ZU_BITSET_VALUE_OPERATOR_(|=)
ZU_BITSET_VALUE_OPERATOR_(-=)
ZU_BITSET_VALUE_OPERATOR_(*=)
ZU_BITSET_VALUE_OPERATOR_(&=)
ZU_BITSET_VALUE_OPERATOR_(^=)
#undef ZU_BITSET_VALUE_OPERATOR_

bool ZuBitset::operator==(const ZuValueRef& value) const
{
    ZuBitset bits;
    BitsOf(value, bits);
    return *this == bits;
}

bool ZuBitset::operator!=(const ZuValueRef& value) const
{
    return !(*this == value);
}

// The storage's cardinal keeps 32 bits only. A set with bits above 31 is
// written as the format's 64-bit cardinal item, which every reader of the
// format takes; a set within 32 bits is written exactly as before.
const ZuStorageRef& operator<<(const ZuStorageRef& storage, const ZuBitset& set)
{
    storage << ZuStorageSync::begin;
    const uint64_t bits = set.RetBits();
    if (bits >> 32) {
        unsigned char item[9];
        item[0] = Zuvi_StorageFormat::TYP_CARD64;
        for (int i = 0; i < 8; ++i)
            item[1 + i] = static_cast<unsigned char>(bits >> (56 - 8 * i));
        storage->StoreData(item, sizeof item);
    } else {
        storage->StoreCard(bits);
    }
    storage << ZuStorageSync::end;
    return storage;
}

const ZuStorageRef& operator>>(const ZuStorageRef& storage, ZuBitset& set)
{
    storage >> ZuStorageSync::begin;
    set.SetBits(storage->RestoreCard(set.RetBits()));
    storage >> ZuStorageSync::end;
    return storage;
}
