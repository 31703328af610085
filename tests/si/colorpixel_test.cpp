#include "si/colorpixel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "si/atom.h"
#include "si/values.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(ColorPixel, ConstructionAndPacking)
{
    struct Case {
        const char* what;
        unsigned int got;
        unsigned int want;
    } const cases[] = {
        {"reals scale by 256", ZuColorPixel(1.0, 0.5, 0.0, 0.0), 0x00FF8000u},
        {"MakeCompactRGB scales by 255", ZuColorPixel::MakeCompactRGB(1.0, 0.5, 0.0, 0.0),
         0x00FF7F00u},
        {"below 0, NaN, above 1, 0.999", ZuColorPixel(-0.1, kNaN, 2.0, 0.999), 0xFF0000FFu},
        {"MakeCompactRGB clamps and NaN", ZuColorPixel::MakeCompactRGB(-3.0, kNaN, 7.0, 1.0),
         0xFF0000FFu},
        {"bytes in r, g, b, t order", ZuColorPixel((unsigned char)0x12, 0x34, 0x56, 0x78),
         0x78123456u},
        {"a word", ZuColorPixel(0xAB123456u), 0xAB123456u},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.want) << c.what;

    ZuColorPixel word(0x80FFC864u);
    EXPECT_EQ(static_cast<ZuLookColor>(word), ZU_COLOR_ANY);
    EXPECT_EQ(word.Red(), 0xFF);
    EXPECT_EQ(word.Green(), 0xC8);
    EXPECT_EQ(word.Blue(), 0x64);
    EXPECT_EQ(word.Transparency(), 0x80);
    EXPECT_EQ(word.RealRed(), 255 * 0.00392156862745098);

    ZuColorPixel nothing;
    EXPECT_EQ(static_cast<ZuLookColor>(nothing), ZU_COLOR_NONE);
    EXPECT_EQ(static_cast<unsigned int>(nothing), 0u);
    EXPECT_TRUE(ZuColorPixel::none == nothing);

    ZuColorPixel assigned(ZU_COLOR_WHITE);
    assigned = 0x00010203u;
    EXPECT_EQ(static_cast<ZuLookColor>(assigned), ZU_COLOR_ANY);
    assigned = ZU_COLOR_BLACK;
    EXPECT_EQ(static_cast<ZuLookColor>(assigned), ZU_COLOR_BLACK);
}

TEST(ColorPixel, Luminance)
{
    struct Case {
        unsigned int word;
        unsigned char luminance;
    } const cases[] = {
        {0x00FFFFFFu, 255}, {0x00FF0000u, 76}, {0x0000FF00u, 152},
        {0x000000FFu, 25},  {0xFF000000u, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZuColorPixel(c.word).Luminance(), c.luminance) << std::hex << c.word;
}

TEST(ColorPixel, SettersMakeTheColourExplicit)
{
    ZuColorPixel c(0x00FFC864u);
    c.SetRed(static_cast<unsigned char>(0x80));
    EXPECT_EQ(static_cast<unsigned int>(c), 0x0080C864u);
    c.SetTransparency(static_cast<unsigned char>(0x11));
    EXPECT_EQ(static_cast<unsigned int>(c), 0x1180C864u);

    // Through reals the components not set may lose one unit, never more.
    ZuColorPixel r(0x00FFC864u);
    r.SetRed(0.5);
    EXPECT_EQ(r.Red(), 127);
    EXPECT_EQ(r.Transparency(), 0);
    EXPECT_TRUE(r.Green() == 0xC8 || r.Green() == 0xC7);
    EXPECT_TRUE(r.Blue() == 0x64 || r.Blue() == 0x63);
    EXPECT_EQ(static_cast<ZuLookColor>(r), ZU_COLOR_ANY);
}

TEST(ColorPixel, SetLuminance)
{
    struct Case {
        const char* what;
        unsigned int from;
        double l;
        unsigned int want;
    } const cases[] = {
        {"red to white spreads the excess twice", 0x00FF0000u, 1.0, 0x00FFFFFFu},
        {"grey to half", 0x00808080u, 0.5, 0x007F7F7Fu},
        {"to 0 is black with the old transparency", 0x40123456u, 0.0, 0x40000000u},
        {"below 0 is black", 0x00123456u, -1.0, 0x00000000u},
        {"above 1 is white", 0x80123456u, 2.0, 0x80FFFFFFu},
        {"black becomes a grey", 0x00000000u, 0.5, 0x007F7F7Fu},
        {"NaN changes nothing", 0x00123456u, kNaN, 0x00123456u},
    };
    for (const Case& c : cases) {
        ZuColorPixel pixel(c.from);
        pixel.SetLuminance(c.l);
        EXPECT_EQ(static_cast<unsigned int>(pixel), c.want) << c.what;
    }

    // The byte form does nothing when the luminance is there already.
    ZuColorPixel same(0x00FFFFFFu);
    same.SetLuminance(static_cast<unsigned char>(255));
    EXPECT_EQ(static_cast<unsigned int>(same), 0x00FFFFFFu);
    same.SetLuminance(static_cast<unsigned char>(0));
    EXPECT_EQ(static_cast<unsigned int>(same), 0u);
}

TEST(ColorPixel, Comparisons)
{
    EXPECT_FALSE(ZuColorPixel(0x00FFFFFFu) == ZuColorPixel(ZU_COLOR_WHITE));
    EXPECT_TRUE(ZuColorPixel(0x00FFFFFFu) != ZuColorPixel(ZU_COLOR_WHITE));
    EXPECT_TRUE(ZuColorPixel(ZU_COLOR_WHITE) == ZuColorPixel(ZU_COLOR_WHITE));
    EXPECT_FALSE(ZuColorPixel(ZU_COLOR_WHITE) == ZuColorPixel(ZU_COLOR_BLACK));
    EXPECT_TRUE(ZuColorPixel(0x00123456u) == ZuColorPixel(0x00123456u));
    EXPECT_FALSE(ZuColorPixel(0x00123456u) == ZuColorPixel(0x01123456u));
    EXPECT_TRUE(ZuColorPixel() == ZuColorPixel::none);

    ZuColorPixel c(0x00123456u);
    EXPECT_TRUE(c == 0x00123456u);
    EXPECT_TRUE(0x00123456u == c);
    EXPECT_TRUE(c != ZU_COLOR_WHITE);
    EXPECT_TRUE(ZU_COLOR_ANY == c);
}

// Explicit colours and no colour have names of their own and need no look
// manager; a name that is no look colour's makes no colour.
class ColorPixelNames : public ZuviRuntimeTest {};

TEST_F(ColorPixelNames, ExplicitAndNoColour)
{
    EXPECT_TRUE(static_cast<ZuAtomRef>(ZuColorPixel(0x00123456u)) == ZuAtomRef("*"));
    EXPECT_TRUE(static_cast<ZuAtomRef>(ZuColorPixel::none).IsInvalid());
    EXPECT_TRUE(ZuColorPixel(0x00123456u) == ZuAtomRef("*"));

    EXPECT_EQ(static_cast<ZuLookColor>(ZuColorPixel(ZuAtomRef("*"))), ZU_COLOR_ANY);
    EXPECT_EQ(static_cast<ZuLookColor>(ZuColorPixel(ZuAtomRef())), ZU_COLOR_NONE);
    EXPECT_EQ(static_cast<ZuLookColor>(ZuColorPixel(ZuAtomRef("NoSuchColour"))), ZU_COLOR_NONE);
}

TEST_F(ColorPixelNames, ReadingALookColourWithoutLookManagerStops)
{
    EXPECT_DEATH(
        {
            ZuColorPixel c(ZU_COLOR_WHITE);
            (void)static_cast<unsigned int>(c);
        },
        "Tried to resolve NULL pointer");
}

ZuColorPixel StoredAndRestored(const ZuColorPixel& c, std::string* bytes = nullptr)
{
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    storage << c;
    if (bytes != nullptr)
        bytes->assign(storage->Bytes().begin(), storage->Bytes().end());
    storage->StartRestoring(storage->Bytes());
    ZuColorPixel back(ZU_COLOR_WHITE);
    storage >> back;
    return back;
}

TEST_F(ColorPixelNames, StorageKeepsWordAndKind)
{
    std::string bytes;
    ZuColorPixel back = StoredAndRestored(ZuColorPixel(0x80FF7F00u), &bytes);
    EXPECT_NE(bytes.find("<ZuColorPixel pixel name>"), std::string::npos);
    EXPECT_NE(bytes.find('*'), std::string::npos);
    EXPECT_EQ(static_cast<ZuLookColor>(back), ZU_COLOR_ANY);
    EXPECT_EQ(static_cast<unsigned int>(back), 0x80FF7F00u);

    back = StoredAndRestored(ZuColorPixel::none);
    EXPECT_EQ(static_cast<ZuLookColor>(back), ZU_COLOR_NONE);
}

} // namespace
