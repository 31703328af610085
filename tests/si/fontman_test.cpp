#include <gtest/gtest.h>

#include "sd/common/sd_file.h"
#include "si/classfactory.h"
#include "si/fontman.h"
#include "si/memzone.h"
#include "si/string.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"
#include "zoveda/gfxfontcache.h"

namespace {

class FontManTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        Zuvi_SetGfxMemoryHooks();
        man = ZuFontManRef(ZuObjectRef(
            ZuClassFactory::New(ZuFontManRef::RetRuntime(), Zuvi_app_zone, __LINE__, "test")));
    }
    void TearDown() override
    {
        ZuFontMan::KillSystemFontMan();
        man = ZuFontManNull;
        ZuviRuntimeTest::TearDown();
    }

    ZuGrailFontRef Create(const char* family, double size, bool smooth = true,
                          const char* style = "Normal")
    {
        ZuGrailFontRef font;
        EXPECT_TRUE(man->CreateFont(ZuStringRef(family), ZuStringRef(style), size, smooth, font));
        return font;
    }

    unsigned Entries(const ZuGrailFontRef& font)
    {
        unsigned n = 0;
        ZuObjectRef element;
        for (unsigned i = 0; man->RetFonts()->Get(i, element); ++i)
            n += element == font;
        return n;
    }

    ZuFontManRef man;
};

TEST_F(FontManTest, SameRequestSharesOneFontListedOncePerRequest)
{
    ZuGrailFontRef a = Create("arial.ttf", 12.0);
    ZuGrailFontRef b = Create("arial.ttf", 12.0);
    EXPECT_TRUE(a == b);
    EXPECT_EQ(Entries(a), 2u);
    EXPECT_EQ(man->RetFonts()->TotalCount(), 2u);
    // Family and style match without regard to case.
    EXPECT_TRUE(Create("ARIAL.TTF", 12.0, true, "normal") == a);
    EXPECT_EQ(Entries(a), 3u);

    EXPECT_TRUE(man->ReleaseFont(a));
    EXPECT_EQ(Entries(a), 2u);
    EXPECT_TRUE(man->ReleaseFont(a));
    EXPECT_TRUE(man->ReleaseFont(a));
    EXPECT_EQ(Entries(a), 0u);
    EXPECT_FALSE(man->ReleaseFont(a));
    // Released everywhere, the next request makes a new font.
    ZuGrailFontRef c = Create("arial.ttf", 12.0);
    EXPECT_FALSE(c == a);
}

TEST_F(FontManTest, RequestsDifferingInAnyKeyGetFontsOfTheirOwn)
{
    ZuGrailFontRef base = Create("arial.ttf", 12.0);
    const struct {
        const char* family;
        const char* style;
        double size;
        bool smooth;
    } cases[] = {
        {"arialbd.ttf", "Normal", 12.0, true}, {"arial.ttf", "Gras", 12.0, true},
        {"arial.ttf", "Normal", 13.0, true},   {"arial.ttf", "Normal", 12.0, false},
        {"arial.ttf", "Normal", -12.0, true},
    };
    for (const auto& c : cases) {
        ZuGrailFontRef other = Create(c.family, c.size, c.smooth, c.style);
        EXPECT_FALSE(other == base)
            << c.family << " " << c.style << " " << c.size << " " << c.smooth;
    }
}

TEST_F(FontManTest, NegativeSizesAskForSystemFonts)
{
    ZuGrailFontRef plain = Create("arial.ttf", 12.0);
    ZuGrailFontRef system = Create("arial.ttf", -12.0);
    EXPECT_FALSE(plain == system);
    EXPECT_TRUE(system->IsSystemFont());
    EXPECT_FALSE(plain->IsSystemFont());
    EXPECT_EQ(system->RetSize(), 12.0);
    EXPECT_TRUE(Create("arial.ttf", -12.0) == system);
    EXPECT_TRUE(Create("arial.ttf", 12.0) == plain);
}

TEST_F(FontManTest, FractionalSizesMakeANewFontEachTime)
{
    ZuGrailFontRef a = Create("arial.ttf", 12.5);
    ZuGrailFontRef b = Create("arial.ttf", 12.5);
    EXPECT_FALSE(a == b);
    EXPECT_EQ(a->RetSize(), 12.0);
    EXPECT_EQ(man->RetFonts()->TotalCount(), 2u);
}

TEST_F(FontManTest, FontsWithoutAFaceAreHandedOutToo)
{
    ZuGrailFontRef font = Create("nosuchface.ttf", 12.0);
    ASSERT_TRUE(font.IsValid());
    EXPECT_EQ(font->RetName()->CompareWith("nosuchface.ttf", true), 0);
    EXPECT_TRUE(font->RetCache()->HasFace()); // "arial.ttf" stood in
    ZuGrailFontRef none = Create("arial.ttf", 0.0);
    ASSERT_TRUE(none.IsValid());
    EXPECT_EQ(none->ComputeTextWidth("abc"), 0.0);
}

TEST_F(FontManTest, TheDataBaseStartsEmptyAndIsNotStored)
{
    ZuDataBaseRef db;
    man->GetFontFamiliesDB(db);
    ASSERT_TRUE(db.IsValid());
    EXPECT_EQ(db->TotalCount(), 0u);
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(man);
    const std::vector<unsigned char> bytes = store->Bytes();
    const std::string text(bytes.begin(), bytes.end());
    // The manager stores its class record only: no fonts, no data base.
    EXPECT_NE(text.find("<ZuFontMan>"), std::string::npos);
    EXPECT_EQ(text.find("FontFamilyModel"), std::string::npos);

    ZuTestStorageRef back_store = ZuTestStorage::Make();
    back_store->StartRestoring(bytes);
    ZuFontManRef back;
    ZuStorageRef(back_store) >> back;
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back_store->Remaining(), 0u);
}

TEST_F(FontManTest, OneManagerIsInstalledAtATime)
{
    EXPECT_TRUE(ZuFontMan::Current().IsInvalid());
    ZuFontMan::InitSystemFontMan(man);
    EXPECT_TRUE(ZuFontMan::Current() == man);
    EXPECT_DEATH(ZuFontMan::InitSystemFontMan(man),
                 "Failed assertion: ZuFontMan::current.IsInvalid \\(\\)");
    ZuFontMan::KillSystemFontMan();
    EXPECT_TRUE(ZuFontMan::Current().IsInvalid());
    ZuFontMan::InitSystemFontMan(man);
    EXPECT_TRUE(ZuFontMan::Current() == man);
}

} // namespace
