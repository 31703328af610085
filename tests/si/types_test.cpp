#include "si/types.h"

#include <gtest/gtest.h>

#include "si/typeinfo.h"
#include "si/key.h"
#include "si/string.h"
#include "si/values.h"
#include "tests/support/objmodel.h"

TEST(Types, KeyModifierFamily)
{
    EXPECT_STREQ(ZuKeyModifierRetName(ZU_MOD_CAPS_LOCK), "ZU_MOD_CAPS_LOCK");
    EXPECT_STREQ(ZuKeyModifierRetName(static_cast<ZuKeyModifier>(2)), "?");
    EXPECT_FALSE(IsValid(static_cast<ZuKeyModifier>(20)));

    struct Case {
        unsigned from, to;
    } cases[] = {
        {ZU_MOD_CONTROL, ZU_MOD_META_1},
        {ZU_MOD_META_8, ZU_MOD_LEFT_SHIFT},
        {ZU_MOD_RIGHT_CONTROL, ZU_MOD_CAPS_LOCK},
        {ZU_MOD_EXTRA_LOCK_4, ZU_MOD_NONE},
        {ZU_MOD_NONE, 32},
        {2, 2},
    };
    for (auto c : cases) {
        ZuKeyModifier m = static_cast<ZuKeyModifier>(c.from);
        m++;
        EXPECT_EQ(static_cast<unsigned>(m), c.to) << "from " << c.from;
    }
    size_t count = 0;
    while (ZuKeyModifier_names[count].name)
        ++count;
    EXPECT_EQ(count, 20u);
}

TEST(Types, KeyCursorAndSimpleType)
{
    ZuKeyCursor cursor = ZU_CURSOR_SPECIAL;
    cursor++;
    EXPECT_EQ(static_cast<unsigned>(cursor), 12u);

    ZuSimpleType pointer_kind = static_cast<ZuSimpleType>(10);
    EXPECT_FALSE(IsValid(pointer_kind));
    EXPECT_STREQ(ZuSimpleTypeRetName(pointer_kind), "?");
    EXPECT_STREQ(ZuSimpleTypeRetName(ZU_TYPE_ANY), "ZU_TYPE_ANY");
    ZuSimpleType kind = ZU_TYPE_TEXTSTYLE;
    kind++;
    EXPECT_EQ(kind, ZU_TYPE_OBJECT);
    EXPECT_STREQ(ZuKeyTypeRetName(ZU_KEY_ESCAPE), "ZU_KEY_ESCAPE");
}

TEST(Types, BasicTypeDefinitions)
{
    struct Case {
        const char* name;
        ZuSimpleType kind;
        unsigned size;
        const char* base;
    } cases[] = {
        {"Int32", ZU_TYPE_INT, 4, nullptr},        {"Card64", ZU_TYPE_CARD, 8, nullptr},
        {"Bool", ZU_TYPE_BOOL, 1, nullptr},        {"UnicodeChar", ZU_TYPE_USTRING, 2, "Card16"},
        {"Count", ZU_TYPE_CARD, 4, "Card32"},      {"Byte", ZU_TYPE_CARD, 1, "Card8"},
        {"ZuCoord", ZU_TYPE_REAL, 8, "Real"},      {"ZuTimeTick", ZU_TYPE_INT, 8, "Int64"},
        {"ZuKey", ZU_TYPE_STRUCT, 16, nullptr},    {"ZuKeyModifiers", ZU_TYPE_BITSET, 8, nullptr},
        {"ZuKeyCursor", ZU_TYPE_ENUM, 4, nullptr},
    };
    for (auto c : cases) {
        const Zuvi_TypeDef* def = Zuvi_TypeInfo::Find(c.name);
        ASSERT_NE(def, nullptr) << c.name;
        EXPECT_EQ(def->kind, c.kind) << c.name;
        EXPECT_EQ(def->size, c.size) << c.name;
        if (c.base) {
            ASSERT_NE(def->base, nullptr) << c.name;
        }
        EXPECT_STREQ(def->base ? def->base->name : nullptr, c.base) << c.name;
    }
    EXPECT_EQ(ZuKeyTypeTypeDef->extra, static_cast<const void*>(ZuKeyType_names));
    EXPECT_EQ(Zuvi_TypeInfo::Find("Pointer")->kind, static_cast<ZuSimpleType>(10));
}

namespace {

class TypesFromValues : public ZuviRuntimeTest {};

TEST_F(TypesFromValues, IntegersAreCutToTheirWidth)
{
    ZuValueRef v300(300), minus_one(-1), big(int64_t(0x123456789));
    EXPECT_EQ(Zuvi_ValueToInt8(v300), 44);
    EXPECT_EQ(Zuvi_ValueToCard8(v300), 44);
    EXPECT_EQ(Zuvi_ValueToByte(v300), 44);
    EXPECT_EQ(Zuvi_ValueToCard16(minus_one), 65535);
    EXPECT_EQ(Zuvi_ValueToInt16(minus_one), -1);
    EXPECT_EQ(Zuvi_ValueToUnicodeChar(minus_one), 0xFFFF);
    EXPECT_EQ(Zuvi_ValueToInt64(big), int64_t(0x123456789));
    EXPECT_EQ(Zuvi_ValueToZuFilePos(big), int64_t(0x123456789));
    EXPECT_EQ(Zuvi_ValueToCard64(big), uint64_t(0x123456789));
    EXPECT_EQ(Zuvi_ValueToLatinChar(ZuValueRef(0x1E9u)), char(0xE9));
    EXPECT_EQ(Zuvi_ValueToReal(ZuValueRef(2.5)), 2.5);
    EXPECT_EQ(Zuvi_ValueToZuCoord(ZuValueRef(7)), 7.0);
}

TEST_F(TypesFromValues, BoolGoesThroughTheCardinal)
{
    ZuValueRef half(0.5);
    EXPECT_TRUE(half->RetBool());
    EXPECT_FALSE(Zuvi_ValueToBool(half));
    // A text counts by the number it reads as.
    EXPECT_FALSE(Zuvi_ValueToBool(ZuValueRef(ZuObjectRef(ZuStringRef("yes")))));
    EXPECT_TRUE(Zuvi_ValueToBool(ZuValueRef(ZuObjectRef(ZuStringRef("12")))));
    EXPECT_TRUE(Zuvi_ValueToBool(ZuValueRef(2)));
    EXPECT_TRUE(Zuvi_ValueToBool(ZuValueRef(true)));
}

TEST_F(TypesFromValues, EmptyHandleGivesZero)
{
    ZuValueRef empty;
    EXPECT_EQ(Zuvi_ValueToInt32(empty), 0);
    EXPECT_EQ(Zuvi_ValueToCard32(empty), 0u);
    EXPECT_EQ(Zuvi_ValueToReal(empty), 0.0);
    EXPECT_FALSE(Zuvi_ValueToBool(empty));
    EXPECT_EQ(Zuvi_ValueToPointer(empty), nullptr);
    EXPECT_EQ(Zuvi_ValueToZuKeyType(empty), ZU_KEY_NONE);
    EXPECT_TRUE(Zuvi_ValueToZuKeyModifiers(empty).TestNone());
}

TEST_F(TypesFromValues, EnumerationsSetsAndPointers)
{
    EXPECT_EQ(Zuvi_ValueToZuKeyCursor(ZuValueRef(6)), ZU_CURSOR_PAGE_DOWN);
    EXPECT_EQ(Zuvi_ValueToZuSimpleType(ZuValueRef(255)), ZU_TYPE_ANY);
    ZuKeyModifiers mods{ZU_MOD_SHIFT, ZU_MOD_NONE};
    EXPECT_TRUE(Zuvi_ValueToZuKeyModifiers(ZuValueRef(mods.RetBits())) == mods);
    int target = 0;
    EXPECT_EQ(Zuvi_ValueToPointer(ZuValueRef(static_cast<void*>(&target))), &target);
}

TEST(TypesFromValuesDeathTest, KeyRecordHasNoConversion)
{
    EXPECT_DEATH(
        {
            ZuviStartRuntime();
            Zuvi_ValueToZuKey(ZuValueRef(1));
        },
        "No conversion between ZuValue and type ZuKey");
}

} // namespace
