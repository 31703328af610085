#include "si/types.h"

#include <gtest/gtest.h>

#include "si/typeinfo.h"

TEST(Types, KeyModifierFamily)
{
    EXPECT_STREQ(ZuKeyModifierRetName(ZU_MOD_CAPS_LOCK), "ZU_MOD_CAPS_LOCK");
    EXPECT_STREQ(ZuKeyModifierRetName(static_cast<ZuKeyModifier>(2)), "?");
    EXPECT_FALSE(IsValid(static_cast<ZuKeyModifier>(20)));

    struct Case { unsigned from, to; } cases[] = {
        {ZU_MOD_CONTROL, ZU_MOD_META_1}, {ZU_MOD_META_8, ZU_MOD_LEFT_SHIFT},
        {ZU_MOD_RIGHT_CONTROL, ZU_MOD_CAPS_LOCK}, {ZU_MOD_EXTRA_LOCK_4, ZU_MOD_NONE},
        {ZU_MOD_NONE, 32}, {2, 2},
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
    struct Case { char const * name; ZuSimpleType kind; unsigned size; char const * base; } cases[] = {
        {"Int32", ZU_TYPE_INT, 4, nullptr},
        {"Card64", ZU_TYPE_CARD, 8, nullptr},
        {"Bool", ZU_TYPE_BOOL, 1, nullptr},
        {"UnicodeChar", ZU_TYPE_USTRING, 2, "Card16"},
        {"Count", ZU_TYPE_CARD, 4, "Card32"},
        {"Byte", ZU_TYPE_CARD, 1, "Card8"},
        {"ZuCoord", ZU_TYPE_REAL, 8, "Real"},
        {"ZuTimeTick", ZU_TYPE_INT, 8, "Int64"},
        {"ZuKey", ZU_TYPE_STRUCT, 16, nullptr},
        {"ZuKeyModifiers", ZU_TYPE_BITSET, 8, nullptr},
        {"ZuKeyCursor", ZU_TYPE_ENUM, 4, nullptr},
    };
    for (auto c : cases) {
        Zuvi_TypeDef const * def = Zuvi_TypeInfo::Find(c.name);
        ASSERT_NE(def, nullptr) << c.name;
        EXPECT_EQ(def->kind, c.kind) << c.name;
        EXPECT_EQ(def->size, c.size) << c.name;
        if (c.base) {
            ASSERT_NE(def->base, nullptr) << c.name;
        }
        EXPECT_STREQ(def->base ? def->base->name : nullptr, c.base) << c.name;
    }
    EXPECT_EQ(ZuKeyTypeTypeDef->extra, static_cast<void const *>(ZuKeyType_names));
    EXPECT_EQ(Zuvi_TypeInfo::Find("Pointer")->kind, static_cast<ZuSimpleType>(10));
}
