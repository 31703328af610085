#include "si/key.h"

#include <gtest/gtest.h>

TEST(Key, ClearedOnConstructionAndCopiedWhole)
{
    ZuKey key;
    EXPECT_EQ(key.type, ZU_KEY_NONE);
    EXPECT_EQ(key.code, 0);
    EXPECT_EQ(key.value, 0);
    EXPECT_TRUE(key.modifiers.TestNone());

    key.type = ZU_KEY_CURSOR;
    key.code = ZU_CURSOR_PAGE_DOWN;
    key.value = 0x20AC;
    key.modifiers.SetBit(ZU_MOD_META_1);
    ZuKey copy(key);
    ZuKey assigned;
    assigned = key;
    for (const ZuKey* k : {&copy, &assigned}) {
        EXPECT_EQ(k->type, ZU_KEY_CURSOR);
        EXPECT_EQ(k->code, ZU_CURSOR_PAGE_DOWN);
        EXPECT_EQ(k->value, 0x20AC);
        EXPECT_TRUE(k->modifiers == ZuKeyModifiers::Bit(ZU_MOD_META_1));
    }
}
