#include "si/lookman.h"

#include <gtest/gtest.h>

#include <string>

#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/values.h"
#include "tests/support/looks.h"
#include "tests/support/storagetest.h"

namespace {

class LookManTest : public LookTest {
protected:
    static const ZuLookManRef& Look() { return ZuLookMan::Current(); }
};

TEST_F(LookManTest, DefaultColoursComeFromTheBuiltInTable)
{
    unsigned char r = 0, g = 0, b = 0, t = 0;
    ASSERT_TRUE(Look()->GetColorRGB(ZU_COLOR_VIEW_DROPPING, r, g, b, t));
    EXPECT_EQ((std::vector<int>{r, g, b, t}), (std::vector<int>{192, 255, 192, 128}));
    unsigned int word = 0;
    ASSERT_TRUE(Look()->GetColorCompactRGB(ZU_COLOR_VIEW_DROPPING, word));
    EXPECT_EQ(word, 0x80C0FFC0u);
    ASSERT_TRUE(Look()->GetColorCompactRGB(ZU_COLOR_VIEW_DROP_POS, word));
    EXPECT_EQ(word, 0x40008000u);
    ASSERT_TRUE(Look()->GetColorRGB(ZU_COLOR_TOOLTIP_BACK, r, g, b));
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{255, 255, 192}));

    // 33 named rows: the 34th defined colour does not exist.
    EXPECT_EQ(Look()->FindNthColor(0), ZU_COLOR_WHITE);
    EXPECT_EQ(Look()->FindNthColor(8), ZU_COLOR_PSY_DANGER);
    EXPECT_EQ(Look()->FindNthColor(32), ZU_COLOR_TEXTLINE_TEXT);
    EXPECT_EQ(Look()->FindNthColor(33), ZU_COLOR_NONE);
}

TEST_F(LookManTest, IndexesThatNameNoColourFailEveryOperation)
{
    for (int index : {8, 62, -1, -2, 1000}) {
        SCOPED_TRACE(index);
        const ZuLookColor c = static_cast<ZuLookColor>(index);
        unsigned char r = 1, g = 1, b = 1, t = 1;
        unsigned int word = 7;
        ZuColorPixel pixel(0x01020304u);
        EXPECT_FALSE(Look()->GetColorRGB(c, r, g, b, t));
        EXPECT_FALSE(Look()->GetColorRGB(c, r, g, b));
        EXPECT_FALSE(Look()->GetColorCompactRGB(c, word));
        EXPECT_FALSE(Look()->GetColorPixel(c, pixel));
        EXPECT_FALSE(Look()->SetColorRGB(c, 1, 2, 3, 4));
        EXPECT_FALSE(Look()->SetColorCompactRGB(c, 0x11223344u));
        EXPECT_EQ(word, 7u);
        EXPECT_EQ(static_cast<unsigned int>(pixel), 0x01020304u);
        ZuAtomRef name("x");
        // "*" is the name of an explicit colour; every other one has none.
        EXPECT_EQ(Look()->GetColorName(c, name), index == -2);
        EXPECT_TRUE(index == -2 ? name == "*" : name.IsInvalid());
    }
}

TEST_F(LookManTest, SettingAColourChangesTheCurrentPixelNotTheDefault)
{
    ASSERT_TRUE(Look()->SetColorRGB(ZU_COLOR_BLACK, 10, 20, 30, 0));
    unsigned int word = 0;
    ASSERT_TRUE(Look()->GetColorCompactRGB(ZU_COLOR_BLACK, word));
    EXPECT_EQ(word, 0x000A141Eu);
    ZuColorPixel pixel;
    ASSERT_TRUE(Look()->GetColorPixel(ZU_COLOR_BLACK, pixel));
    EXPECT_EQ(static_cast<ZuLookColor>(pixel), ZU_COLOR_BLACK);
    EXPECT_EQ(static_cast<unsigned int>(pixel), 0x000A141Eu);
    ASSERT_TRUE(Look()->GetColorPixel(ZuAtomRef("Black"), pixel));
    EXPECT_EQ(static_cast<unsigned int>(pixel), 0x000A141Eu);
    unsigned char r = 1, g = 1, b = 1, t = 1;
    ASSERT_TRUE(Look()->GetColorRGB(ZU_COLOR_BLACK, r, g, b, t));
    EXPECT_EQ((std::vector<int>{r, g, b, t}), (std::vector<int>{0, 0, 0, 0}));

    // A colour pixel bound to black reads the new word, and the next one.
    ZuColorPixel black(ZU_COLOR_BLACK);
    EXPECT_EQ(static_cast<unsigned int>(black), 0x000A141Eu);
    ASSERT_TRUE(Look()->SetColorCompactRGB(ZU_COLOR_BLACK, 0xFF010203u));
    EXPECT_EQ(black.Transparency(), 0xFF);
    EXPECT_EQ(black.Blue(), 0x03);

    // Another look manager has its own table; Reset brings the first back.
    ZuLookManRef other(ZuNew<ZuLookMan>(Zuvi_sys_zone));
    ZuLookMan::Change(other);
    EXPECT_EQ(static_cast<unsigned int>(black), 0x00000000u);
    ZuLookMan::Reset();
    EXPECT_EQ(static_cast<unsigned int>(black), 0xFF010203u);
    // The other one goes with its last handle, its icons and tree with it.
    ZuGrailPixmapRef sheet = NewPixmap(32, 16, 16);
    other->AddUserIcon(ZuAtomRef("Dot"), ZU_CTRL_STATE_NORMAL, sheet, ZuRect(0, 0, 3, 3));
    other = ZuLookManNull;
    ZuObjectRef::RealiseDeletions();
}

TEST_F(LookManTest, ColoursAreFoundByName)
{
    struct Case {
        ZuAtomRef name;
        ZuLookColor want;
    } const cases[] = {
        {ZuAtomRef("HiliteHot"), ZU_COLOR_HILITE_HOT},
        {ZuAtomRef("White"), ZU_COLOR_WHITE},
        {ZuAtomRef("TextLineText"), ZU_COLOR_TEXTLINE_TEXT},
        {ZuAtomRef("*"), ZU_COLOR_ANY},
        {ZuAtomRef("hilitehot"), ZU_COLOR_NONE},
        {ZuAtomRef("NoSuchColour"), ZU_COLOR_NONE},
        {ZuAtomNull, ZU_COLOR_NONE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.IsValid() ? c.name->RetText() : "(null)");
        EXPECT_EQ(Look()->FindColor(c.name), c.want);
    }
    ZuAtomRef name;
    ASSERT_TRUE(Look()->GetColorName(ZU_COLOR_HILITE_HOT, name));
    EXPECT_TRUE(name == "HiliteHot");
    EXPECT_EQ(static_cast<int>(ZU_COLOR_HILITE_HOT), 33);
}

TEST_F(LookManTest, ColourPixelsResolveThroughTheLookManager)
{
    ZuColorPixel hot(ZuAtomRef("HiliteHot"));
    EXPECT_EQ(static_cast<ZuLookColor>(hot), ZU_COLOR_HILITE_HOT);
    EXPECT_TRUE(static_cast<ZuAtomRef>(hot) == "HiliteHot");
    EXPECT_TRUE(hot == ZuAtomRef("HiliteHot"));
    EXPECT_EQ(static_cast<unsigned int>(hot), 0x00E0E0E0u);
    EXPECT_EQ(static_cast<ZuLookColor>(ZuColorPixel(ZuAtomRef("Nope"))), ZU_COLOR_NONE);
    // A look colour's luminance follows the table.
    EXPECT_EQ(ZuColorPixel(ZU_COLOR_WHITE).Luminance(), 255);
    // An index that names no colour keeps the word it cached.
    ZuColorPixel gap(static_cast<ZuLookColor>(8));
    EXPECT_EQ(static_cast<unsigned int>(gap), 0u);
    EXPECT_TRUE(static_cast<ZuAtomRef>(gap).IsInvalid());
}

ZuColorPixel StoredAndRestored(const ZuColorPixel& c, std::string& bytes)
{
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    storage << c;
    bytes.assign(storage->Bytes().begin(), storage->Bytes().end());
    storage->StartRestoring(storage->Bytes());
    ZuColorPixel back(0x12345678u);
    storage >> back;
    return back;
}

TEST_F(LookManTest, ColourPixelsRoundTripThroughStorage)
{
    std::string bytes;
    ZuColorPixel back = StoredAndRestored(ZuColorPixel(ZU_COLOR_HILITE_HOT), bytes);
    EXPECT_NE(bytes.find("HiliteHot"), std::string::npos);
    EXPECT_EQ(static_cast<ZuLookColor>(back), ZU_COLOR_HILITE_HOT);
    EXPECT_EQ(static_cast<unsigned int>(back), 0x00E0E0E0u);

    back = StoredAndRestored(ZuColorPixel(0x80FF7F00u), bytes);
    EXPECT_NE(bytes.find('*'), std::string::npos);
    EXPECT_EQ(static_cast<ZuLookColor>(back), ZU_COLOR_ANY);
    EXPECT_EQ(static_cast<unsigned int>(back), 0x80FF7F00u);

    back = StoredAndRestored(ZuColorPixel::none, bytes);
    EXPECT_EQ(static_cast<ZuLookColor>(back), ZU_COLOR_NONE);
    EXPECT_TRUE(back == ZuColorPixel::none);

    // A restored look colour takes the look's current word when read.
    ASSERT_TRUE(Look()->SetColorRGB(ZU_COLOR_UI_SELECT, 1, 2, 3, 0));
    back = StoredAndRestored(ZuColorPixel(ZU_COLOR_UI_SELECT), bytes);
    EXPECT_EQ(static_cast<unsigned int>(back), 0x00010203u);
}

TEST_F(LookManTest, LookColourEnumerationFamily)
{
    EXPECT_TRUE(IsValid(ZU_COLOR_NONE));
    EXPECT_TRUE(IsValid(ZU_COLOR_HILITE_HOT));
    EXPECT_FALSE(IsValid(static_cast<ZuLookColor>(8)));
    EXPECT_STREQ(ZuLookColorRetName(ZU_COLOR_VIEW_DROPPING), "ZU_COLOR_VIEW_DROPPING");
    EXPECT_STREQ(ZuLookColorRetName(static_cast<ZuLookColor>(9)), "");
    ZuLookColor c = ZU_COLOR_NONE;
    c++;
    EXPECT_EQ(c, ZU_COLOR_ANY);
    c++;
    EXPECT_EQ(c, ZU_COLOR_WHITE);
    c = ZU_COLOR_TRANSPARENT;
    c++;
    EXPECT_EQ(c, ZU_COLOR_PSY_DANGER);
    c = static_cast<ZuLookColor>(9);
    c++;
    EXPECT_EQ(static_cast<int>(c), 9);
    EXPECT_EQ(Zuvi_ValueToZuLookColor(ZuValueRef(33u)), ZU_COLOR_HILITE_HOT);
    EXPECT_STREQ(ZuFlushPriorityRetName(ZU_FLUSH_LAZY), "ZU_FLUSH_LAZY");
    EXPECT_EQ(static_cast<unsigned>(ZU_FLUSH_NORMAL), 2u);
}

TEST_F(LookManTest, SystemLookManagerLifeAndFonts)
{
    const ZuLookManRef system = ZuLookMan::sys_lookman;
    ASSERT_TRUE(system.IsValid());
    EXPECT_TRUE(Look() == system);
    ZuLookMan::Change(ZuLookManNull);
    EXPECT_TRUE(Look().IsInvalid());
    ZuLookMan::Reset();
    EXPECT_TRUE(Look() == system);

    // Three system fonts of the policies' faces and sizes.
    struct Case {
        ZuGrailFontRef font;
        const char* face;
        double size;
    } const cases[] = {
        {Look()->RetSysFont(), "arial.ttf", 12.0},
        {Look()->RetSmallFont(), "arial.ttf", 10.0},
        {Look()->RetBoldFont(), "arialbd.ttf", 12.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.face);
        ASSERT_TRUE(c.font.IsValid());
        EXPECT_TRUE(c.font->IsSystemFont());
        EXPECT_EQ(c.font->RetSize(), c.size);
        EXPECT_FALSE(c.font->IsSmooth());
        EXPECT_EQ(c.font->RetName()->CompareWith(ZuStringRef(c.face), true), 0);
    }
    EXPECT_FALSE(Look()->RetSysFont() == Look()->RetSmallFont());
    EXPECT_EQ(font_man->RetFonts()->TotalCount(), 3u);

    ZuLookMan::Kill();
    EXPECT_TRUE(ZuLookMan::Current().IsInvalid());
    EXPECT_TRUE(ZuLookMan::sys_lookman.IsInvalid());
}

TEST_F(LookManTest, StoringALookManagerStops)
{
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    EXPECT_DEATH(storage << ZuObjectRef(Look()), "Trying to store Look Manager");
}

} // namespace
