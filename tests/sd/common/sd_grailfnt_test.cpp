#include <gtest/gtest.h>

#include <string>

#include "sd/common/sd_file.h"
#include "sd/common/sd_grailfnt.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/string.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"
#include "zoveda/gfxfontcache.h"

namespace {

class GrailFontTest : public ZuviRuntimeTest {
protected:
    void SetUp() override
    {
        ZuviRuntimeTest::SetUp();
        Zuvi_SetGfxMemoryHooks();
    }

    static ZuGrailFontRef NewFont()
    {
        return ZuGrailFontRef(ZuObjectRef(
            ZuClassFactory::New(ZuGrailFontRef::RetRuntime(), Zuvi_app_zone, __LINE__, "test")));
    }

    static ZuGrailFontRef Font(const char* name, double size, bool smooth = false,
                               bool system = false, const char* style = "Normal")
    {
        ZuGrailFontRef font = NewFont();
        font->Initialise(ZuStringRef(name), ZuStringRef(style), size, smooth, system);
        return font;
    }

    static double Advance(const ZuGrailFontRef& font, unsigned short code)
    {
        GfxFontCache::GlyphGeom geom;
        font->RetCache()->GetGlyphGeometry(code, geom);
        return geom.advance;
    }
};

TEST_F(GrailFontTest, InitialiseOpensOnceAndRefusesSizeZero)
{
    ZuGrailFontRef zero = NewFont();
    EXPECT_FALSE(
        zero->Initialise(ZuStringRef("arial.ttf"), ZuStringRef("Normal"), 0.0, false, false));
    EXPECT_EQ(zero->RetCache(), nullptr);

    ZuGrailFontRef font = NewFont();
    ASSERT_TRUE(
        font->Initialise(ZuStringRef("arial.ttf"), ZuStringRef("Normal"), 12.7, true, false));
    GfxFontCache* cache = font->RetCache();
    ASSERT_NE(cache, nullptr);
    EXPECT_TRUE(cache->HasFace());
    EXPECT_EQ(cache->RetSize(), 12);
    EXPECT_EQ(font->RetSize(), 12.0);
    EXPECT_TRUE(font->IsSmooth());
    EXPECT_FALSE(font->IsSystemFont());

    // Opened once: a second Initialise changes nothing.
    EXPECT_FALSE(
        font->Initialise(ZuStringRef("arialbd.ttf"), ZuStringRef("Gras"), 20.0, false, true));
    EXPECT_EQ(font->RetCache(), cache);
    EXPECT_EQ(font->RetName()->CompareWith("arial.ttf", true), 0);
    EXPECT_EQ(font->RetSize(), 12.0);
    EXPECT_TRUE(font->IsSmooth());

    // Invalid handles give empty texts, and the font still opens.
    ZuGrailFontRef unnamed = NewFont();
    EXPECT_TRUE(unnamed->Initialise(ZuStringNull, ZuStringNull, 10.0, false, false));
    EXPECT_EQ(unnamed->RetName()->CharacterCount(), 0u);
    EXPECT_EQ(unnamed->RetStyle()->CharacterCount(), 0u);
}

TEST_F(GrailFontTest, MetricsComeFromTheFace)
{
    ZuGrailFontRef font = Font("arial.ttf", 20.0);
    GfxFontCache* cache = font->RetCache();
    EXPECT_EQ(font->RetAscent(), double(cache->TypoLineGap() + cache->TypoAscender()));
    EXPECT_EQ(font->RetDescent(), double(cache->TypoDescender()));
    EXPECT_LT(font->RetDescent(), 0.0);
    EXPECT_GT(font->RetAscent(), 10.0);

    ZuGrailFontRef closed = NewFont();
    EXPECT_EQ(closed->RetAscent(), 0.0);
    EXPECT_EQ(closed->RetDescent(), 0.0);
}

TEST_F(GrailFontTest, AFamilyWithoutAFileFallsBackAndKeepsItsName)
{
    const std::string long_name(300, 'x');
    for (const std::string& family : {std::string("nosuchface.ttf"), long_name + ".ttf"}) {
        ZuGrailFontRef font = NewFont();
        EXPECT_TRUE(font->Initialise(ZuStringRef(family.c_str()), ZuStringRef("Normal"), 14.0,
                                     false, false));
        ASSERT_NE(font->RetCache(), nullptr);
        EXPECT_TRUE(font->RetCache()->HasFace());
        ZuStringRef name;
        font->GetName(name);
        EXPECT_EQ(name->CharacterCount(), family.size());
        EXPECT_EQ(name->CompareWith(family.c_str(), true), 0);
        EXPECT_GT(font->ComputeTextWidth("abc"), 0.0);
    }
}

TEST_F(GrailFontTest, WithoutAnyFaceTheFontKeepsItsCacheAndMeasuresZero)
{
    // No face opens at a size beyond any pixel count.
    ZuGrailFontRef font = Font("arial.ttf", 1e12);
    ASSERT_NE(font->RetCache(), nullptr);
    EXPECT_FALSE(font->RetCache()->HasFace());
    EXPECT_EQ(font->ComputeTextWidth("Bonjour"), 0.0);
    EXPECT_EQ(font->RetAscent(), 0.0);
}

TEST_F(GrailFontTest, TextWidthsSumTheAdvances)
{
    ZuGrailFontRef font = Font("arial.ttf", 16.0);
    ZuStringRef text("Hello");
    const double l = Advance(font, 'l');
    const double o = Advance(font, 'o');
    const double all = Advance(font, 'H') + Advance(font, 'e') + 2 * l + o;
    ASSERT_GT(l, 0.0);

    const struct {
        unsigned first;
        unsigned count;
        double width;
    } parts[] = {
        {3, 10, l + o}, // cut at the end
        {0, 5, all},    {1, 1, Advance(font, 'e')},
        {2, 0, 0.0},    {5, 1, 0.0}, // starts at the length
        {9, 3, 0.0},    {4, 0xFFFFFFFFu, o},
    };
    for (const auto& p : parts)
        EXPECT_EQ(font->ComputeTextWidth(text, p.first, p.count), p.width)
            << p.first << "," << p.count;
    EXPECT_EQ(font->ComputeTextWidth(text), all);
    EXPECT_EQ(font->ComputeTextWidth("Hello"), all);
    const unsigned short wide[] = {'H', 'e', 'l', 'l', 'o', 0};
    EXPECT_EQ(font->ComputeTextWidth(wide), all);
    // Latin-1 bytes are codes, not signed characters.
    EXPECT_EQ(font->ComputeTextWidth("\xE9"), Advance(font, 0xE9));

    EXPECT_EQ(font->ComputeTextWidth(""), 0.0);
    EXPECT_EQ(font->ComputeTextWidth(static_cast<const char*>(nullptr)), 0.0);
    EXPECT_EQ(font->ComputeTextWidth(static_cast<const unsigned short*>(nullptr)), 0.0);
    EXPECT_EQ(font->ComputeTextWidth(ZuStringNull), 0.0);
    EXPECT_EQ(font->ComputeTextWidth(ZuStringNull, 0, 3), 0.0);
    EXPECT_EQ(NewFont()->ComputeTextWidth(text), 0.0);
}

TEST_F(GrailFontTest, ComparisonOrdersNameStyleSizeThenFlags)
{
    const struct {
        const char* name;
        const char* style;
        double size;
        bool smooth;
        bool system;
        int result; // of the font (arial.ttf, "Normal", 12, plain) with this one
    } cases[] = {
        {"arial.ttf", "Normal", 12.0, false, false, 0},
        {"arial.ttf", "Normal", 12.0, true, false, 1},
        {"arial.ttf", "Normal", 12.0, false, true, 1},
        {"arial.ttf", "Normal", 12.0, true, true, 1},
        {"arial.ttf", "Normal", 14.0, false, false, -1},
        {"arial.ttf", "Normal", 10.0, true, true, 1},
        {"arial.ttf", "Gras", 12.0, false, false, 1},
        {"arialbd.ttf", "Normal", 12.0, false, false, -1},
        {"ARIAL.TTF", "Normal", 12.0, false, false, 1}, // exact comparison
    };
    ZuGrailFontRef font = Font("arial.ttf", 12.0);
    for (const auto& c : cases) {
        ZuGrailFontRef other = Font(c.name, c.size, c.smooth, c.system, c.style);
        EXPECT_EQ(font->CompareWith(other), c.result) << c.name << " " << c.style << " " << c.size;
        EXPECT_EQ(other->CompareWith(font), -c.result) << c.name << " " << c.style << " " << c.size;
        if (c.result == 0) {
            EXPECT_TRUE(font->IsEqual(other));
            EXPECT_EQ(font->ComputeHashValue(97), other->ComputeHashValue(97));
        }
    }
    // Another class compares by address.
    ZuStringRef text("arial.ttf");
    EXPECT_NE(font->CompareWith(text), 0);
}

TEST_F(GrailFontTest, HashSumsNameStyleSizeAndSmoothing)
{
    ZuGrailFontRef plain = Font("arial.ttf", 12.9);
    ZuGrailFontRef smooth = Font("arial.ttf", 12.0, true);
    const unsigned n = ZuStringRef("arial.ttf")->ComputeHashValue(1000003);
    const unsigned s = ZuStringRef("Normal")->ComputeHashValue(1000003);
    EXPECT_EQ(plain->ComputeHashValue(1000003), (n + s + 12) % 1000003);
    EXPECT_EQ(smooth->ComputeHashValue(1000003), (n + s + 13) % 1000003);
}

TEST_F(GrailFontTest, StoredFontsComeBackOpenedNeitherSmoothNorSystem)
{
    ZuTestStorageRef store = ZuTestStorage::Make();
    {
        ZuGrailFontRef font = Font("arialbd.ttf", 18.5, true, false, "Gras");
        store->StartStoring();
        store->StoreObject(font);
    }
    const std::vector<unsigned char> bytes = store->Bytes();
    ZuTestStorageRef back_store = ZuTestStorage::Make();
    back_store->StartRestoring(bytes);
    ZuGrailFontRef back;
    ZuStorageRef(back_store) >> back;
    back_store->FinallyAwake();
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back_store->Remaining(), 0u);
    EXPECT_EQ(back->RetName()->CompareWith("arialbd.ttf", true), 0);
    EXPECT_EQ(back->RetStyle()->CompareWith("Gras", true), 0);
    EXPECT_EQ(back->RetSize(), 18.0);
    EXPECT_FALSE(back->IsSmooth());
    EXPECT_FALSE(back->IsSystemFont());
    ASSERT_NE(back->RetCache(), nullptr);
    EXPECT_TRUE(back->RetCache()->HasFace());
    // The stored face itself, not the fallback.
    const char* sample = "Bonjour le monde";
    const double bold = Font("arialbd.ttf", 18.0)->ComputeTextWidth(sample);
    ASSERT_NE(bold, Font("arial.ttf", 18.0)->ComputeTextWidth(sample));
    EXPECT_EQ(back->ComputeTextWidth(sample), bold);
}

TEST_F(GrailFontTest, StoringASystemFontStops)
{
    ZuGrailFontRef font = Font("arial.ttf", 12.0, false, true);
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    EXPECT_DEATH(store->StoreObject(font), "Failed assertion: this->is_system_font == FALSE");
}

} // namespace
