// The seven-segment display: the text read into places, the segments and
// points drawn for them, its fixed size and its stored form.
#include <gtest/gtest.h>

#include <string>

#include "si/classfactory.h"
#include "si/led7disp.h"
#include "si/memzone.h"
#include "si/string.h"
#include "si/values.h"
#include "tests/support/itemviews.h"
#include "tests/support/looks.h"

namespace {

class Led7Test : public LookTest {
protected:
    ZuLed7DisplayRef NewDisplay(const char* text, bool sign)
    {
        ZuLed7DisplayRef d = ZuNew<ZuLed7Display>(Zuvi_app_zone);
        d->SetText(ZuStringRef(text));
        d->SetSign(sign);
        return d;
    }
    // The display drawn in a box at (0, 0) of a port 340 x 20.
    ZuGrailPixmapRef Drawn(const ZuLed7DisplayRef& d)
    {
        ZuGrailPixmapRef port = NewPixmap(32, 340, 20);
        d->SetBox(ZuRect(0, 0, 339, 19));
        d->Draw(port, d->RetBox(), ZU_DRAW_ALL);
        return port;
    }
    unsigned Ink(const ZuColorPixel& color)
    {
        ZuGrailPixmapRef probe = NewPixmap(32, 4, 4);
        probe->SetForeColor(color);
        probe->DrawDot(1, 1);
        const unsigned ink = Pixel(probe, 1, 1);
        probe->Delete();
        return ink;
    }
    // What the places show, read from the middle of each segment: a digit
    // as "0123456789AbCdEF", ' ' blank, '-' minus, '?' anything else, and
    // '.' after a place with its point; trailing blanks dropped.
    std::string Reading(const ZuGrailPixmapRef& port, unsigned ink)
    {
        // top, middle, bottom, upper left, lower left, upper right, lower
        // right, as offsets from the place's origin.
        const int probes[7][2] = {{4, 0}, {4, 6}, {4, 12}, {1, 3}, {1, 9}, {7, 3}, {7, 9}};
        const char* shapes[] = {"1011111", "0000011", "1110110", "1110011", "0101011", "1111001",
                                "1111101", "1000011", "1111111", "1111011", "1101111", "0111101",
                                "1011100", "0110111", "1111100", "1101100", "0000000", "0100000"};
        const char names[] = "0123456789AbCdEF -";
        std::string out;
        for (int x = 3; x + 10 <= 340; x += 10) {
            std::string lit;
            for (const auto& p : probes)
                lit += Pixel(port, x + p[0], 3 + p[1]) == ink ? '1' : '0';
            char shown = '?';
            for (unsigned i = 0; i < 18; ++i)
                if (lit == shapes[i])
                    shown = names[i];
            out += shown;
            if (Pixel(port, x + 9, 16) == ink)
                out += '.';
        }
        return out.erase(out.find_last_not_of(' ') + 1);
    }
    std::string Shown(const char* text, bool sign)
    {
        ZuLed7DisplayRef d = NewDisplay(text, sign);
        ZuGrailPixmapRef port = Drawn(d);
        const std::string reading = Reading(port, Ink(d->RetColor()));
        port->Delete();
        d->Delete();
        return reading;
    }
};

TEST_F(Led7Test, ReadsTheTextIntoPlaces)
{
    const std::string digits31(31, '7');
    const std::string digits30(30, '7');
    struct Case {
        std::string text;
        bool sign;
        std::string shown;
    } cases[] = {
        {"42", true, " 42"},
        {"42", false, "42"},
        {"-3.5", true, "-3.5"},
        {"-3.5", false, "-3.5"},
        {"1-2", true, " 12"},
        {"1-2", false, "12"},
        {"0x1F", true, " 01F"},
        {"0x1F", false, "01F"},
        {"0123456789abcdef", false, "0123456789AbCdEF"},
        {"ABCDEF", false, "AbCdEF"},
        {"3,5", false, "3.5"},
        {".5", true, " 5"},
        {"", true, ""},
        {"+ xyz", true, ""},
        // A signed text of 31 digits fills the 32 places; the 32nd
        // character is not read.
        {digits31, true, " " + digits31},
        {digits31 + ".", true, " " + digits31},
        {digits30 + ".", true, " " + digits30 + "."},
        {digits31 + "99", false, digits31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + (c.sign ? " signed" : " unsigned"));
        EXPECT_EQ(Shown(c.text.c_str(), c.sign), c.shown);
    }
}

// An unsigned "1": the two right segments of place 0, whose origin is
// (3, 3), and no other pixel of the colour (pure red by default).
TEST_F(Led7Test, DrawsSingleLinesOfItsColour)
{
    ZuLed7DisplayRef d = NewDisplay("1", false);
    EXPECT_TRUE(d->RetColor() == ZuColorPixel(1.0, 0.0, 0.0, 0.0));
    ZuGrailPixmapRef port = NewPixmap(32, 20, 20);
    d->SetBox(ZuRect(0, 0, 13, 15));
    d->Draw(port, d->RetBox(), ZU_DRAW_ALL);
    const unsigned red = Ink(ZuColorPixel(1.0, 0.0, 0.0, 0.0));
    std::string lit;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (Pixel(port, x, y) == red)
                lit += std::to_string(x) + "," + std::to_string(y) + " ";
    EXPECT_EQ(lit, "10,4 10,5 10,6 10,7 10,8 10,10 10,11 10,12 10,13 10,14 ");

    // Another colour, and an empty text that draws nothing of it.
    const ZuColorPixel green(0.0, 1.0, 0.0, 0.0);
    d->SetColor(green);
    d->SetText(ZuStringRef("-"));
    d->Draw(port, d->RetBox(), ZU_DRAW_ALL);
    EXPECT_EQ(Pixel(port, 5, 9), Ink(green));
    EXPECT_EQ(Pixel(port, 10, 4), red);
    port->Delete();
    d->Delete();
}

TEST_F(Led7Test, SizeIsFixedByThePlaces)
{
    // The look's relief is 2 on each side.
    struct Case {
        const char* text;
        bool sign;
        unsigned digits;
        double dx;
    } cases[] = {{"42", true, 0, 34},  {"42", false, 0, 24}, {"", true, 0, 4},
                 {"+ x", true, 0, 4},  {"42", true, 6, 64},  {"123456789", true, 6, 64},
                 {"-3.5", true, 0, 34}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ZuLed7DisplayRef d = NewDisplay(c.text, c.sign);
        d->SetDigits(c.digits);
        double dx = 0, dy = 0, max_dx = 0, max_dy = 0;
        d->GetMinSize(dx, dy);
        d->GetMaxSize(max_dx, max_dy);
        EXPECT_EQ(dx, c.dx);
        EXPECT_EQ(dy, 16);
        EXPECT_EQ(max_dx, dx);
        EXPECT_EQ(max_dy, dy);
        d->Delete();
    }
}

TEST_F(Led7Test, NeverActiveAndStoresItsFields)
{
    ZuLed7DisplayRef d = NewDisplay("12", true);
    EXPECT_TRUE(d->RetState().TestBit(ZU_VIEW_NO_DETECT));
    EXPECT_FALSE(d->RetState().TestBit(ZU_VIEW_OK_ACTIVE));
    EXPECT_TRUE(d->RetStyle().TestBit(ZU_CTRL_DRAW_RELIEF));
    EXPECT_EQ(d->RetDigits(), 0u);
    EXPECT_TRUE(d->RetSigned());

    EXPECT_TRUE(d->DefineData(ZuAtomRef("led_digits"), ZuValueRef(5u)));
    ZuValueRef v;
    ASSERT_TRUE(d->QueryData(ZuAtomRef("led_digits"), v));
    EXPECT_EQ(v->RetCard32(), 5u);
    d->SetDigitsSign(4, false);
    d->SetColor(ZuColorPixel(0.0, 0.0, 1.0, 0.0));
    ZuLed7DisplayRef back(StoredAndRead(d));
    ASSERT_TRUE(back.IsValid());
    EXPECT_EQ(back->RetDigits(), 4u);
    EXPECT_FALSE(back->RetSigned());
    EXPECT_TRUE(back->RetColor() == ZuColorPixel(0.0, 0.0, 1.0, 0.0));
    EXPECT_STREQ(back->RetText()->AccessLatin(), "12");
    back->Delete();
    d->Delete();
}

} // namespace
