#include "si/bitset.h"

#include <gtest/gtest.h>

#include "si/types.h"
#include "si/values.h"
#include "tests/support/objmodel.h"

TEST(Bitset, BitsAcrossBothWordsAndOutOfRange)
{
    EXPECT_EQ(ZuBitset::Bit(63).RetBits(), uint64_t(1) << 63);
    EXPECT_TRUE(ZuBitset::Bit(64).TestNone());
    ZuBitset set;
    for (unsigned n : {0u, 31u, 32u, 63u, 64u, 1000u})
        set.SetBit(n);
    EXPECT_EQ(set.RetBits(), (uint64_t(1) << 63) | (uint64_t(1) << 32) | (uint64_t(1) << 31) | 1u);
    EXPECT_TRUE(set[32]);
    EXPECT_FALSE(set[64]);
    set.ClearBit(64);
    set.ChangeBit(64);
    set.ClearBit(32);
    set.ChangeBit(31);
    EXPECT_EQ(set.RetBits(), (uint64_t(1) << 63) | 1u);
}

TEST(Bitset, ChangeBitAnswersWhetherTheBitChanged)
{
    ZuBitset set;
    EXPECT_TRUE(set.ChangeBit(5, true));
    EXPECT_FALSE(set.ChangeBit(5, true));
    EXPECT_TRUE(set.ChangeBit(5, false));
    EXPECT_FALSE(set.ChangeBit(5, false));
    EXPECT_FALSE(set.ChangeBit(64, true));
    EXPECT_TRUE(set.TestNone());
}

TEST(Bitset, TestNoneOfABit)
{
    ZuBitset only3 = ZuBitset::Bit(3);
    ZuBitset three_and_four = only3;
    three_and_four.SetBit(4);
    EXPECT_TRUE(only3.TestNone(3));
    EXPECT_FALSE(only3.TestNone(4));
    EXPECT_FALSE(three_and_four.TestNone(3));
    EXPECT_TRUE(ZuBitset().TestNone(3));
    EXPECT_TRUE(three_and_four.TestNone(64));
}

TEST(Bitset, SetAlgebra)
{
    ZuBitset a, b;
    a.SetBits(0b1100);
    b.SetBits(0b1010);
    ZuBitset r;
    r = a;
    r += b;
    EXPECT_EQ(r.RetBits(), 0b1110u);
    r = a;
    r |= b;
    EXPECT_EQ(r.RetBits(), 0b1110u);
    r = a;
    r -= b;
    EXPECT_EQ(r.RetBits(), 0b0100u);
    r = a;
    r *= b;
    EXPECT_EQ(r.RetBits(), 0b1000u);
    r = a;
    r &= b;
    EXPECT_EQ(r.RetBits(), 0b1000u);
    r = a;
    r ^= b;
    EXPECT_EQ(r.RetBits(), 0b0110u);
    r = a;
    r.Set(b);
    EXPECT_EQ(r.RetBits(), 0b1110u);
    r = a;
    r.Clear(b);
    EXPECT_EQ(r.RetBits(), 0b0100u);
    r = a;
    r.Change(b);
    EXPECT_EQ(r.RetBits(), 0b0110u);
    r = a;
    r.Change(b, true);
    EXPECT_EQ(r.RetBits(), 0b1110u);
    r = a;
    r.Change(b, false);
    EXPECT_EQ(r.RetBits(), 0b0100u);
    EXPECT_TRUE(a.TestOverlap(b));
    EXPECT_FALSE(ZuBitset::Bit(40).TestOverlap(ZuBitset::Bit(8)));
    EXPECT_TRUE(ZuBitset::Bit(40) != ZuBitset::Bit(8));
    EXPECT_TRUE(ZuBitset::Bit(40) == ZuBitset::Bit(40));
}

TEST(Bitset, TypedSetNamesBitsByEnumeration)
{
    ZuKeyModifiers mods{ZU_MOD_SHIFT, ZU_MOD_NONE};
    EXPECT_TRUE(mods.TestBit(ZU_MOD_SHIFT));
    EXPECT_TRUE(mods[ZU_MOD_NONE]);
    EXPECT_FALSE(mods[ZU_MOD_CONTROL]);
    mods.ClearBit(ZU_MOD_SHIFT);
    EXPECT_TRUE(mods.TestNone(ZU_MOD_NONE));
    EXPECT_TRUE(mods.ChangeBit(ZU_MOD_CAPS_LOCK, true));
    EXPECT_EQ(mods.RetBits(), (uint64_t(1) << 31) | (uint64_t(1) << 24));
    ZuKeyModifiers expected = ZuKeyModifiers::Bit(ZU_MOD_NONE);
    expected += ZuKeyModifiers::Bit(ZU_MOD_CAPS_LOCK);
    EXPECT_TRUE(mods == expected);
}

namespace {

class BitsetValues : public ZuviRuntimeTest {};

TEST_F(BitsetValues, ValuesGiveTheir64Bits)
{
    uint64_t bits = (uint64_t(1) << 63) | 6u;
    ZuValueRef value(bits);
    ZuBitset set(value);
    EXPECT_EQ(set.RetBits(), bits);
    EXPECT_TRUE(set == value);
    EXPECT_FALSE(set != value);

    ZuBitset other;
    other = value;
    EXPECT_EQ(other.RetBits(), bits);
    other = ZuValueRef();
    EXPECT_TRUE(other.TestNone());
    EXPECT_TRUE(other == ZuValueRef());

    ZuBitset r;
    r.SetBits(0b1100);
    r += ZuValueRef(uint64_t(0b0011));
    EXPECT_EQ(r.RetBits(), 0b1111u);
    r -= ZuValueRef(uint64_t(0b0101));
    EXPECT_EQ(r.RetBits(), 0b1010u);
    r ^= ZuValueRef(uint64_t(0b1111));
    EXPECT_EQ(r.RetBits(), 0b0101u);
    r *= ZuValueRef(uint64_t(0b0100));
    EXPECT_EQ(r.RetBits(), 0b0100u);
}

TEST_F(BitsetValues, EmptyHandleLeavesTheSetAlone)
{
    ZuBitset r;
    r.SetBits(0b1010);
    ZuValueRef empty;
    r += empty;
    r |= empty;
    r -= empty;
    r *= empty; // even the intersection
    r &= empty;
    r ^= empty;
    EXPECT_EQ(r.RetBits(), 0b1010u);
    EXPECT_FALSE(r == empty);
}

} // namespace
