#include "si/textversion.h"

#include <gtest/gtest.h>

#include "si/typeinfo.h"

TEST(TextVersion, FamilyAndDescriptor)
{
    ZuTextVersion v = ZU_TEXTVER_DESC;
    EXPECT_STREQ(ZuTextVersionRetName(v), "ZU_TEXTVER_DESC");
    v++;
    EXPECT_EQ(static_cast<unsigned>(v), 4u);
    EXPECT_FALSE(IsValid(v));
    EXPECT_STREQ(ZuTextVersionRetName(v), "?");
    const Zuvi_TypeDef* def = Zuvi_TypeInfo::Find("ZuTextVersion");
    ASSERT_EQ(def, ZuTextVersionTypeDef);
    EXPECT_EQ(def->kind, ZU_TYPE_ENUM);
    EXPECT_EQ(def->size, 4u);
}
