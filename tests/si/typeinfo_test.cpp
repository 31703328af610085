#include "si/typeinfo.h"

#include <gtest/gtest.h>

#include <string>
#include "si/array.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"
#include "si/string.h"
#include "si/values.h"
#include "tests/support/objmodel.h"

TEST(TypeInfo, FindByNameDropsRefAndCountsCase)
{
    EXPECT_EQ(Zuvi_TypeInfo::Find("Int32"), Int32TypeDef);
    EXPECT_EQ(Zuvi_TypeInfo::Find("Int32Ref"), Int32TypeDef);
    EXPECT_EQ(Zuvi_TypeInfo::Find("Ref"), nullptr);
    EXPECT_EQ(Zuvi_TypeInfo::Find("int32"), nullptr);
    EXPECT_EQ(Zuvi_TypeInfo::Find(""), nullptr);
    EXPECT_EQ(Zuvi_TypeInfo::Find(nullptr), nullptr);
}

TEST(TypeInfo, LongNamesUseTheirFirst99Characters)
{
    std::string name(99, 'Q');
    Zuvi_TypeDef def = {nullptr, nullptr, ZU_TYPE_STRUCT, nullptr, 1};
    std::string stored = name;
    def.name = stored.c_str();
    Zuvi_TypeInfo registration(&def);
    EXPECT_EQ(Zuvi_TypeInfo::Find((name + "tail beyond the buffer").c_str()), &def);
    EXPECT_EQ(Zuvi_TypeInfo::Find(name.substr(0, 98).c_str()), nullptr);
}

TEST(TypeInfo, NthFollowsRegistrationOrderAndUnregisteringLeavesTheTableSound)
{
    unsigned count = Zuvi_TypeInfo::RetCount();
    ASSERT_GT(count, 20u);
    EXPECT_EQ(Zuvi_TypeInfo::RetNth(count), nullptr);
    bool seen_int8 = false;
    for (unsigned i = 0; i < count; ++i) {
        const Zuvi_TypeDef* def = Zuvi_TypeInfo::RetNth(i);
        ASSERT_NE(def, nullptr);
        if (def == Int8TypeDef) {
            seen_int8 = true;
            EXPECT_EQ(Zuvi_TypeInfo::RetNth(i + 1), Int16TypeDef);
        }
    }
    EXPECT_TRUE(seen_int8);

    const Zuvi_TypeDef* last = Zuvi_TypeInfo::RetNth(count - 1);
    Zuvi_TypeDef def = {"TemporaryType", nullptr, ZU_TYPE_STRUCT, nullptr, 1};
    {
        Zuvi_TypeInfo registration(&def);
        EXPECT_EQ(Zuvi_TypeInfo::RetCount(), count + 1);
        EXPECT_EQ(Zuvi_TypeInfo::RetNth(count), &def);
        EXPECT_EQ(Zuvi_TypeInfo::Find("TemporaryType"), &def);
    }
    EXPECT_EQ(Zuvi_TypeInfo::RetCount(), count);
    EXPECT_EQ(Zuvi_TypeInfo::Find("TemporaryType"), nullptr);
    EXPECT_EQ(Zuvi_TypeInfo::RetNth(count - 1), last);
    // The next registration goes after the same last entry.
    Zuvi_TypeDef again = {"TemporaryTypeAgain", nullptr, ZU_TYPE_STRUCT, nullptr, 1};
    Zuvi_TypeInfo registration(&again);
    EXPECT_EQ(Zuvi_TypeInfo::RetNth(count - 1), last);
    EXPECT_EQ(Zuvi_TypeInfo::RetNth(count), &again);
    EXPECT_EQ(Zuvi_TypeInfo::Find("TemporaryTypeAgain"), &again);
}

TEST(TypeInfo, TableIsBuiltOnceInTheApplicationZone)
{
    ZuMemZone::Initialise();
    ASSERT_FALSE(Zuvi_TypeInfo::IsTableBuilt());
    Zuvi_TypeInfo::InitialiseAll();
    ASSERT_TRUE(Zuvi_TypeInfo::IsTableBuilt());
    // Lookups keep answering from the registrations.
    EXPECT_EQ(Zuvi_TypeInfo::Find("Card8"), Card8TypeDef);
    Zuvi_TypeInfo::InitialiseAll();
    Zuvi_TypeInfo::ReleaseTable();
    ZuMemZone::Kill();
}

namespace {

class TypeInfoObject : public ZuviRuntimeTest {};

TEST_F(TypeInfoObject, FindTypeByTextAndAtom)
{
    const Zuvi_TypeDef* def = nullptr;
    ASSERT_TRUE(ZuTypeInfo::FindType("ZuStringRef", def));
    EXPECT_EQ(def, ZuStringTypeDef);
    EXPECT_STREQ(def->name, "ZuString");
    EXPECT_EQ(def->kind, ZU_TYPE_OBJECT);
    EXPECT_EQ(def->size, 0u);

    ASSERT_TRUE(ZuTypeInfo::FindType("Int32", def));
    EXPECT_EQ(def->kind, ZU_TYPE_INT);
    EXPECT_EQ(def->size, 4u);

    const Zuvi_TypeDef* untouched = Int8TypeDef;
    def = untouched;
    EXPECT_FALSE(ZuTypeInfo::FindType("Ref", def));
    EXPECT_FALSE(ZuTypeInfo::FindType("zustring", def));
    EXPECT_FALSE(ZuTypeInfo::FindType("ZuSTRING", def));
    EXPECT_EQ(def, untouched);

    ASSERT_TRUE(ZuTypeInfo::FindType(ZuAtomRef("ZuValueArray"), def));
    EXPECT_EQ(def, ZuValueArrayTypeDef);
    EXPECT_EQ(def->kind, ZU_TYPE_ARRAY);
    def = untouched;
    EXPECT_FALSE(ZuTypeInfo::FindType(ZuAtomNull, def));
    EXPECT_EQ(def, untouched);
}

TEST_F(TypeInfoObject, NthTypeAndName)
{
    unsigned count = ZuTypeInfo::RetTypeCount();
    EXPECT_EQ(ZuTypeInfo::RetNthType(count), nullptr);
    EXPECT_TRUE(ZuTypeInfo::RetNthName(count) == ZuAtomNull);
    for (unsigned i = 0; i < count; ++i)
        if (ZuTypeInfo::RetNthType(i) == Card32TypeDef) {
            EXPECT_TRUE(ZuTypeInfo::RetNthName(i) == ZuAtomRef("Card32"));
        }
}

TEST_F(TypeInfoObject, RuntimeOfAType)
{
    ZuTypeInfoRef info(ZuClassFactory::New("ZuTypeInfo", nullptr, __LINE__, __FILE__));
    ZuRuntimeRef runtime;
    EXPECT_FALSE(info->GetRuntimeInfo(runtime)); // no definition yet
    EXPECT_EQ(info->RetType(), nullptr);
    EXPECT_FALSE(info->RetReadOk());

    info->Initialise(ZuValueRef::RetRuntime());
    EXPECT_EQ(info->RetType(), ZuValueTypeDef);
    EXPECT_TRUE(info->RetReadOk());
    EXPECT_TRUE(info->RetWriteOk());
    ASSERT_TRUE(info->GetRuntimeInfo(runtime));
    EXPECT_TRUE(runtime == ZuValueRef::RetRuntime());

    info->Initialise(Card32TypeDef, ZuBitsetInfoNull, true, false);
    EXPECT_FALSE(info->GetRuntimeInfo(runtime));
    EXPECT_FALSE(info->RetWriteOk());

    // Typed arrays name ZuArray's run-time class.
    info->Initialise(ZuValueArrayTypeDef, ZuBitsetInfoNull, true, true);
    EXPECT_EQ(ZuValueArrayTypeDef->extra, static_cast<const void*>(&ZuArrayRef::RetRuntime()));
    ASSERT_TRUE(info->GetRuntimeInfo(runtime));
    EXPECT_TRUE(runtime == ZuArrayRef::RetRuntime());
    EXPECT_STREQ(runtime->RetClassName(), "ZuArray");
}

} // namespace
