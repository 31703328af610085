#include "si/localeman.h"

#include <gtest/gtest.h>

#include "si/classfactory.h"
#include "si/timeuslocale.h"
#include "tests/support/objmodel.h"

namespace {

class LocaleManTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        ZuLocaleMan::Initialise();
    }
    void TearDown() override
    {
        ZuLocaleMan::Kill();
        ZuviRuntimeTest::TearDown();
    }
    static ZuLocaleManRef Man() { return ZuLocaleMan::Current(); }
    static ZuObjectRef NewTime()
    {
        return ZuClassFactory::New("ZuTime", nullptr, __LINE__, __FILE__);
    }
};

TEST_F(LocaleManTest, TheLibraryRegistersItsTwoLocales)
{
    ZuArrayRef array;
    EXPECT_TRUE(Man()->FillLocaleArray(array));
    ASSERT_TRUE(array.IsValid());
    ASSERT_EQ(array->TotalCount(), 2u);
    EXPECT_EQ(Man()->TotalCount(), 2u);
    for (const char* name : {"US-EN", "UK-EN"}) {
        ZuLocaleRef locale = Man()->FindLocale(ZuAtomRef(name));
        ASSERT_TRUE(locale.IsValid()) << name;
        EXPECT_TRUE(array->LookFor(locale)) << name;
        // The hyphen breaks the naming rule: the locale keeps no name codes.
        EXPECT_TRUE(locale->RetName().IsInvalid());
    }
    ZuObjectRef got;
    EXPECT_TRUE(Man()->Get(1, got));
    EXPECT_FALSE(Man()->Get(2, got));
    EXPECT_TRUE(Man()->FindLocale(ZuAtomRef("fr_FR")).IsInvalid());
}

TEST_F(LocaleManTest, TheActiveLocaleChoosesTheClassesTheFactoryBuilds)
{
    EXPECT_FALSE(NewTime()->IsKindOf(ZuTimeUSLocaleRef::RetRuntime()));
    EXPECT_TRUE(Man()->SetActiveLocale(ZuAtomRef("US-EN")));
    ZuObjectRef time = NewTime();
    EXPECT_TRUE(time->IsKindOf(ZuTimeUSLocaleRef::RetRuntime()));
    EXPECT_TRUE(time->IsKindOf(ZuTimeRef::RetRuntime()));
    EXPECT_TRUE(Man()->SetActiveLocale(Man()->RetActiveLocale()));

    // An unknown name keeps the active locale.
    EXPECT_FALSE(Man()->SetActiveLocale(ZuAtomRef("xx_XX")));
    EXPECT_TRUE(Man()->RetActiveLocale() == Man()->FindLocale(ZuAtomRef("US-EN")));
    EXPECT_TRUE(NewTime()->IsKindOf(ZuTimeUSLocaleRef::RetRuntime()));

    EXPECT_TRUE(Man()->SetActiveLocale(ZuLocaleNull));
    EXPECT_FALSE(ZuClassFactory::HasPatches());
    EXPECT_FALSE(NewTime()->IsKindOf(ZuTimeUSLocaleRef::RetRuntime()));
    EXPECT_TRUE(NewTime()->IsKindOf(ZuTimeRef::RetRuntime()));
}

TEST_F(LocaleManTest, ALocaleWithoutAMappingAsksItsParent)
{
    ZuRuntimeRef time, us_time;
    ASSERT_TRUE(ZuClassFactory::GetClass("ZuTime", time));
    ASSERT_TRUE(ZuClassFactory::GetClass("ZuTimeUSLocale", us_time));
    ZuLocaleRef child(ZuNew<ZuLocale>());
    EXPECT_EQ(child->FindAlternateConstructor(time.RetRawObject()), nullptr);
    EXPECT_TRUE(child->SetParent(Man()->FindLocale(ZuAtomRef("UK-EN"))));
    EXPECT_EQ(child->FindAlternateConstructor(time.RetRawObject()), us_time->RetConstrFunc());
    EXPECT_EQ(child->FindAlternateConstructor(us_time.RetRawObject()), nullptr);
    EXPECT_EQ(child->FindAlternateConstructor(nullptr), nullptr);
}

// Deleting the manager takes its active locale out of the class factory
// first, so no deleted locale is asked for constructors afterwards.
TEST_F(LocaleManTest, KillingTheManagerDeactivatesItsLocale)
{
    EXPECT_TRUE(Man()->SetActiveLocale(ZuAtomRef("UK-EN")));
    EXPECT_TRUE(ZuClassFactory::HasPatches());
    ZuLocaleMan::Kill();
    EXPECT_TRUE(ZuLocaleMan::Current().IsInvalid());
    EXPECT_FALSE(ZuClassFactory::HasPatches());
    EXPECT_FALSE(NewTime()->IsKindOf(ZuTimeUSLocaleRef::RetRuntime()));
    // A new manager registers the definitions again.
    ZuLocaleMan::Initialise();
    EXPECT_EQ(Man()->TotalCount(), 2u);
    EXPECT_TRUE(Man()->SetActiveLocale(ZuAtomRef("US-EN")));
    EXPECT_TRUE(NewTime()->IsKindOf(ZuTimeUSLocaleRef::RetRuntime()));
}

// A definition made while a manager exists registers itself at once.
TEST_F(LocaleManTest, LaterDefinitionsRegisterThemselves)
{
    static Zuvi_LocaleMappingDef late("ZuTime", "ZuTimeUSLocale", "en_CA");
    ZuLocaleRef locale = Man()->FindLocale(ZuAtomRef("en_CA"));
    ASSERT_TRUE(locale.IsValid());
    EXPECT_EQ(static_cast<const char*>(locale->RetCountryCode()), std::string("CA"));
    EXPECT_TRUE(Man()->SetActiveLocale(locale));
    EXPECT_TRUE(NewTime()->IsKindOf(ZuTimeUSLocaleRef::RetRuntime()));
}

} // namespace
