// Colour definitions: models and their conversions, components and
// transparency, the French names, comparison and the stored record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "app/colordef.h"
#include "si/colorpixel.h"
#include "si/storage.h"
#include "tests/app/deftest.h"

namespace {

// What a new colour writes after its CDef record.
const Bytes new_color_tail = [] {
    Bytes b = {0xFC, 0x15, 0x0A, 0xFC};
    for (int i = 0; i < 10; i++)
        b.insert(b.end(), {0xFC, 0x32, 0x32, 0x32, 0x32, 0x32, 0xFD});
    b.insert(b.end(), {0xFD, 0xFD});
    return b;
}();

class CColorDefTest : public DefTest {
protected:
    CColorDefRef New() { return Make<CColorDefRef>(); }
    static void ExpectComponents(const CColorDefRef& c, double a, double b, double d, double e)
    {
        double v[4];
        for (int n = 0; n < 4; n++)
            c->GetComponent(n, v[n]);
        EXPECT_NEAR(a, v[0], 1e-12);
        EXPECT_NEAR(b, v[1], 1e-12);
        EXPECT_NEAR(d, v[2], 1e-12);
        EXPECT_NEAR(e, v[3], 1e-12);
    }
    static std::string Name(const CColorDefRef& c)
    {
        ZuStringRef name = c->GetDisplayName();
        return name.IsValid() ? name->AccessLatin() : "(null)";
    }
};

TEST_F(CColorDefTest, NewColourIsOpaqueBlackRgbAtEveryIndex)
{
    CColorDefRef c = New();
    EXPECT_EQ(20, c->GetType());
    c->SetCount(10);
    for (int i = 0; i < 10; i++) {
        c->SetIndex(i);
        EXPECT_EQ(CColorDef::MODEL_RGB, c->GetValue());
        EXPECT_EQ(0.0, c->GetTransparency());
        ExpectComponents(c, 0, 0, 0, 0);
    }
    EXPECT_EQ("Noir", Name(c));
}

TEST_F(CColorDefTest, NamesComeFromHueSaturationAndBrightness)
{
    struct Case {
        const char* name; // ISO 8859-1
        std::function<void(CColorDef*)> set;
    } const cases[] = {
        {"Noir", [](CColorDef*) {}},
        {"Orange", [](CColorDef* c) { c->SetRGB(1, 0.5, 0); }},
        {"Gris clair", [](CColorDef* c) { c->SetRGB(0.75, 0.75, 0.75); }},
        {"Gris", [](CColorDef* c) { c->SetGray(0.5); }},
        {"Gris fonc\xE9", [](CColorDef* c) { c->SetGray(0.3); }},
        {"Blanc", [](CColorDef* c) { c->SetRGB(1, 1, 1); }},
        {"Bleu fonc\xE9", [](CColorDef* c) { c->SetHSB(240.0 / 360.0, 1, 0.5); }},
        {"Rouge clair", [](CColorDef* c) { c->SetHSB(0, 0.3, 1); }},
        {"Cyan gris", [](CColorDef* c) { c->SetHSB(0.5, 0.4, 0.5); }},
        {"Vert", [](CColorDef* c) { c->SetRGB(0, 1, 0); }},
        {"Magenta", [](CColorDef* c) { c->SetHSB(300.0 / 360.0, 1, 1); }},
        {"Rouge", [](CColorDef* c) { c->SetHSB(340.0 / 360.0, 1, 1); }},
        {"Transparent",
         [](CColorDef* c) {
             c->SetRGB(1, 0.5, 0);
             c->SetTransparency(1.0);
         }},
        {"Orange",
         [](CColorDef* c) {
             c->SetRGB(1, 0.5, 0);
             c->SetTransparency(0.99);
         }},
    };
    for (int model = CColorDef::MODEL_RGB; model <= CColorDef::MODEL_GRAY; model++) {
        for (const Case& k : cases) {
            CColorDefRef c = New();
            c->SetValue(model);
            k.set(c.CheckAndResolve());
            // A grey model keeps only the grey of a coloured input; white
            // in it is 0.3 + 0.59 + 0.11, a hair below 1 in doubles.
            std::string const want = k.name;
            if (model == CColorDef::MODEL_GRAY && want.find("Gris") == std::string::npos &&
                want != "Noir" && want != "Transparent")
                continue;
            EXPECT_EQ(k.name, Name(c)) << "model " << model;
        }
    }
}

TEST_F(CColorDefTest, ChangingTheModelConvertsTheColour)
{
    CColorDefRef c = New();
    c->SetRGB(1, 0, 0);
    EXPECT_TRUE(c->SetValue(CColorDef::MODEL_HSB));
    EXPECT_EQ(CColorDef::MODEL_HSB, c->GetValue());
    ExpectComponents(c, 0, 1, 1, 0);
    c->SetValue(CColorDef::MODEL_GRAY);
    ExpectComponents(c, 0.3, 0, 0, 0);
    c->SetValue(CColorDef::MODEL_CMYK);
    ExpectComponents(c, 0, 0, 0, 0.7);
    // The same model again changes nothing.
    c->SetValue(CColorDef::MODEL_CMYK);
    ExpectComponents(c, 0, 0, 0, 0.7);

    CColorDefRef k = New();
    k->SetValue(CColorDef::MODEL_CMYK);
    k->SetRGB(1, 0.5, 0);
    ExpectComponents(k, 0, 0.5, 1, 0);
}

TEST_F(CColorDefTest, EveryModelReadsBackInEveryOther)
{
    for (int model = CColorDef::MODEL_RGB; model <= CColorDef::MODEL_HSB; model++) {
        SCOPED_TRACE(model);
        CColorDefRef c = New();
        c->SetValue(model);
        c->SetRGB(0.2, 0.4, 0.6);
        double r, g, b;
        c->GetRGB(r, g, b);
        EXPECT_NEAR(0.2, r, 1e-12);
        EXPECT_NEAR(0.4, g, 1e-12);
        EXPECT_NEAR(0.6, b, 1e-12);
        double cy, m, y, k;
        c->GetCMYK(cy, m, y, k);
        EXPECT_NEAR(0.4, cy, 1e-12);
        EXPECT_NEAR(0.2, m, 1e-12);
        EXPECT_NEAR(0.0, y, 1e-12);
        EXPECT_NEAR(0.4, k, 1e-12);
        double h, s, v;
        c->GetHSB(h, s, v);
        EXPECT_NEAR(210.0 / 360.0, h, 1e-12);
        EXPECT_NEAR(2.0 / 3.0, s, 1e-12);
        EXPECT_NEAR(0.6, v, 1e-12);
        double gray;
        c->GetGray(gray);
        EXPECT_NEAR(0.362, gray, 1e-12);
    }
    CColorDefRef g = New();
    g->SetValue(CColorDef::MODEL_GRAY);
    g->SetRGB(0.2, 0.4, 0.6);
    ExpectComponents(g, 0.362, 0, 0, 0);
    double c, m, y, k;
    g->GetCMYK(c, m, y, k);
    EXPECT_NEAR(1 - 0.362, k, 1e-12);
    CColorDefRef cmyk = New();
    cmyk->SetValue(CColorDef::MODEL_CMYK);
    cmyk->SetCMYK(0.5, 0.5, 0.5, 0.75);
    double gray;
    cmyk->GetGray(gray);
    EXPECT_NEAR(0.0, gray, 1e-12); // 1 - min(1, 0.75 + 0.5)
    double r, gr, b;
    cmyk->GetRGB(r, gr, b);
    EXPECT_EQ(0.0, r + gr + b);
}

TEST_F(CColorDefTest, ComponentsAndTransparency)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    CColorDefRef c = New();
    double v = 9;
    c->GetComponent(7, v);
    EXPECT_EQ(0.0, v);
    c->GetComponent(-1, v);
    EXPECT_EQ(0.0, v);
    c->SetComponent(4, 1.5);
    EXPECT_EQ(1.0, c->GetTransparency());
    c->SetComponent(1, -3);
    c->SetComponent(2, 0.25);
    c->SetComponent(9, 0.5);
    ExpectComponents(c, 0, 0, 0.25, 0);
    // SetTransparency takes the value as it is.
    c->SetTransparency(2.0);
    c->GetComponent(4, v);
    EXPECT_EQ(2.0, v);
    // Not a number becomes 0, in every setter.
    c->SetRGB(nan, 0.5, nan);
    ExpectComponents(c, 0, 0.5, 0, 0);
    c->SetComponent(1, nan);
    ExpectComponents(c, 0, 0, 0, 0);
    c->SetHSB(nan, 1, 1);
    ExpectComponents(c, 1, 0, 0, 0);
    c->SetGray(nan);
    ExpectComponents(c, 0, 0, 0, 0);
    c->SetCMYK(nan, 1, nan, nan);
    ExpectComponents(c, 1, 0, 1, 0);
    // Out of range inputs are clamped.
    c->SetRGB(2, -1, 0.5);
    ExpectComponents(c, 1, 0, 0.5, 0);
}

TEST_F(CColorDefTest, EachIndexHoldsItsOwnColour)
{
    CColorDefRef a = New(), b = New();
    for (const CColorDefRef& c : {a, b}) {
        c->SetCount(4);
        c->SetIndex(3);
        c->SetValue(CColorDef::MODEL_CMYK);
        c->SetCMYK(0, 0, 1, 0);
        c->SetIndex(0);
        c->SetRGB(0, 0, 1);
    }
    EXPECT_TRUE(a->IsEqualCurrent(b));
    EXPECT_TRUE(a->IsEqualAll(b));
    b->SetIndex(3);
    b->SetTransparency(0.5);
    b->SetIndex(0);
    EXPECT_TRUE(a->IsEqualCurrent(b));
    EXPECT_FALSE(a->IsEqualAll(b));
    // Only the indexes below the count are compared.
    a->SetCount(3);
    b->SetCount(3);
    EXPECT_TRUE(a->IsEqualAll(b));
    b->SetCount(2);
    EXPECT_FALSE(a->IsEqualAll(b));
    // Each index reads its own model.
    a->SetIndex(2);
    EXPECT_EQ(CColorDef::MODEL_RGB, a->GetValue());
    EXPECT_EQ("Noir", Name(a));
}

TEST_F(CColorDefTest, StoredRecordHasTenGroupsAndNoMark)
{
    const Bytes bytes = Stored(New());
    ASSERT_GT(bytes.size(), new_color_tail.size());
    EXPECT_EQ(new_color_tail, Bytes(bytes.end() - new_color_tail.size(), bytes.end()));

    CColorDefRef c = New();
    c->SetCount(2);
    c->SetIndex(1);
    c->SetValue(CColorDef::MODEL_HSB);
    c->SetHSB(0.25, 0.5, 0.75);
    c->SetTransparency(0.125);
    c->SetIndex(0);
    c->SetRGB(0.1, 0.2, 0.3);
    CColorDefRef back = New();
    EXPECT_TRUE(Restore(back, Stored(c)));
    EXPECT_TRUE(back->IsEqualAll(c));
    back->SetIndex(1);
    ExpectComponents(back, 0.25, 0.5, 0.75, 0);
    EXPECT_EQ(0.125, back->GetTransparency());
}

TEST_F(CColorDefTest, SurplusStoredGroupsAreDropped)
{
    const Bytes prefix = [&] {
        Bytes b = Stored(New());
        b.resize(b.size() - new_color_tail.size());
        return b;
    }();
    for (long long groups : {12LL, 2147483647LL}) {
        SCOPED_TRACE(groups);
        const int written = groups > 12 ? 11 : int(groups);
        Bytes bytes = prefix;
        const Bytes record = Written([&](const ZuStorageRef& s) {
            s << ZuStorageSync::begin;
            s->StoreInt(groups);
            s << ZuStorageSync::repeat;
            for (int i = 0; i < written; i++)
                s << ZuStorageSync::begin << 0.5 << 0.25 << 0.125 << 0.0 << i / 16.0
                  << ZuStorageSync::end;
            s << ZuStorageSync::end_repeat << ZuStorageSync::end << 77;
        });
        bytes.insert(bytes.end(), record.begin(), record.end());
        CColorDefRef c = New();
        Restore(c, bytes);
        EXPECT_EQ(77, store->RestoreInt(0)) << "out of step";
        EXPECT_EQ(0u, store->Remaining());
        c->SetCount(10);
        for (int i = 0; i < 10; i++) {
            c->SetIndex(i);
            ExpectComponents(c, 0.5, 0.25, 0.125, 0);
            EXPECT_EQ(i / 16.0, c->GetTransparency());
        }
    }
}

// A damaged record that reads stores a record that reads again, the same
// way: what the reader skipped on its way is kept and written back, but
// never where the reader expects a block (before it, it stopped the group
// loop, read the next groups as skipped data and grew on every save).
TEST_F(CColorDefTest, DamagedRecordStoresARecordThatReadsBackTheSame)
{
    CColorDefRef c = New();
    c->SetRGB(0.25, 0.5, 1.0);
    store->StartStoring();
    store->StoreObject(c);
    const Bytes sound = store->Bytes();
    std::size_t const groups = sound.size() - new_color_tail.size() + 4; // first colour group
    const Bytes values = {0x15, 0x0A, 0xFC, 0xFC};                       // the CDef's ten values
    std::size_t const repeat =
        std::search(sound.begin(), sound.end(), values.begin(), values.end()) - sound.begin() + 2;
    ASSERT_LT(repeat, groups);
    struct Damage {
        const char* what;
        std::size_t at;
        std::size_t length;
    } const damages[] = {
        {"third colour group without its begin", groups + 2 * 7, 1},
        {"last colour group without its begin", groups + 9 * 7, 1},
        {"a colour group missing", groups + 4 * 7, 7},
        {"the CDef values without the begin of their repeat", repeat, 1},
        {"the CDef values without their count", repeat - 1, 1},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        Bytes damaged = sound;
        damaged.erase(damaged.begin() + std::ptrdiff_t(d.at),
                      damaged.begin() + std::ptrdiff_t(d.at + d.length));
        store->StartRestoring(damaged);
        ZuObjectRef read;
        store->RestoreObject(read, CDefRef::RetRuntime());
        ASSERT_TRUE(read.IsValid());

        store->StartStoring();
        store->StoreObject(read);
        const Bytes saved = store->Bytes();
        store->StartRestoring(saved);
        ZuObjectRef again;
        ASSERT_NO_THROW(store->RestoreObject(again, CDefRef::RetRuntime()));
        ASSERT_TRUE(again.IsValid());
        EXPECT_EQ(0u, store->Remaining());
        store->StartStoring();
        store->StoreObject(again);
        EXPECT_EQ(saved, store->Bytes()) << "the record changes on every save";
        if (d.at >= groups) {
            // The damage lies after the first group: its colour is kept.
            CColorDefRef back(again);
            back->SetIndex(0);
            ExpectComponents(back, 0.25, 0.5, 1.0, 0);
        }
    }
}

// Components read from a file may lie anywhere: conversions clamp them
// first, so a hue past a full turn still names one of the six sextants.
TEST_F(CColorDefTest, StoredComponentsOutOfRangeAreClampedWhenConverted)
{
    CColorDefRef hsb = New();
    hsb->SetValue(CColorDef::MODEL_HSB);
    Bytes bytes = Stored(hsb);
    bytes.resize(bytes.size() - new_color_tail.size());
    const Bytes record = Written([&](const ZuStorageRef& s) {
        s << ZuStorageSync::begin << 1 << ZuStorageSync::repeat;
        s << ZuStorageSync::begin << 7.5 << std::numeric_limits<double>::quiet_NaN() << 2.0 << -4.0
          << 0.0 << ZuStorageSync::end;
        s << ZuStorageSync::end_repeat << ZuStorageSync::end;
    });
    bytes.insert(bytes.end(), record.begin(), record.end());
    CColorDefRef c = New();
    EXPECT_TRUE(Restore(c, bytes));
    double v;
    c->GetComponent(0, v);
    EXPECT_EQ(7.5, v); // kept as stored
    double r, g, b;
    c->GetRGB(r, g, b); // hue 1 is 0, saturation 0, brightness 1
    EXPECT_EQ(1.0, r);
    EXPECT_EQ(1.0, g);
    EXPECT_EQ(1.0, b);
    double h, sat, br;
    c->GetHSB(h, sat, br);
    EXPECT_EQ(1.0, h);
    EXPECT_EQ(0.0, sat);
    EXPECT_EQ(1.0, br);
    EXPECT_EQ("Blanc", Name(c));
}

TEST_F(CColorDefTest, UnknownModelReadsAsRgb)
{
    CColorDefRef c = New();
    c->SetRGB(0.1, 0.2, 0.3);
    c->SetValue(7);
    EXPECT_EQ(7, c->GetValue());
    double r, g, b;
    c->GetRGB(r, g, b);
    EXPECT_NEAR(0.1, r, 1e-12);
    EXPECT_NEAR(0.3, b, 1e-12);
    c->SetValue(CColorDef::MODEL_RGB);
    ExpectComponents(c, 0.1, 0.2, 0.3, 0);
}

struct TestPixel {
    double r = -1, g = -1, b = -1;
    void SetRed(double v) { r = v; }
    void SetGreen(double v) { g = v; }
    void SetBlue(double v) { b = v; }
};

TEST_F(CColorDefTest, ColourPixelGetsRedGreenAndBlue)
{
    CColorDefRef c = New();
    c->SetValue(CColorDef::MODEL_CMYK);
    c->SetCMYK(0, 0.5, 1, 0);
    TestPixel p;
    c->GetColorPixel(p);
    EXPECT_EQ(1.0, p.r);
    EXPECT_EQ(0.5, p.g);
    EXPECT_EQ(0.0, p.b);

    // The library's colour pixel scales its reals by 255.
    ZuColorPixel pixel;
    c->GetColorPixel(pixel);
    EXPECT_EQ(static_cast<unsigned int>(pixel), 0x00FF7F00u);
    EXPECT_EQ(static_cast<ZuLookColor>(pixel), ZU_COLOR_ANY);
}

} // namespace
