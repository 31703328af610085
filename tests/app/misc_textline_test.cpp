// Numbers in text lines: written through the unit functions, set only when
// the text changes, read back with a point for the decimals whatever the
// process's numeric locale.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "app/misc.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/looks.h"

namespace {

class MiscTextLine : public LookTest {
protected:
    void SetUp() override
    {
        LookTest::SetUp();
        line = ZuNew<ZuTextLine>(Zuvi_app_zone);
    }
    void TearDown() override
    {
        line->Delete();
        line = ZuTextLineRef();
        LookTest::TearDown();
    }
    std::string Text() const { return line->RetText()->AccessLatin(); }
    void Put(const char* s) { line->SetText(ZuStringRef(s)); }
    // Runs the checks under a French numeric locale when one is installed
    // (it writes decimals with a comma), then under the C locale.
    template <typename F>
    void InBothLocales(F checks)
    {
        const char* previous = std::setlocale(LC_NUMERIC, nullptr);
        const std::string saved = previous ? previous : "C";
        for (const char* name : {"fr_FR.UTF-8", "fr_FR.utf8", "fr_FR"})
            if (std::setlocale(LC_NUMERIC, name) && std::localeconv()->decimal_point[0] == ',') {
                SCOPED_TRACE(name);
                checks();
                break;
            }
        std::setlocale(LC_NUMERIC, saved.c_str());
        checks();
    }

    ZuTextLineRef line;
};

TEST_F(MiscTextLine, SettersWriteTheNumberAndChangeTheTextOnlyWhenItDiffers)
{
    InBothLocales([this] {
        Put("");
        SetTextLineUnitValue(line, 12.345, 24);
        EXPECT_EQ(Text(), "1.235");
        const ZuStringRef before = line->RetText();
        SetTextLineUnitValue(line, 12.345, 24);
        // The same text: not set again (the string is the same object).
        EXPECT_TRUE(line->RetText() == before);
        SetTextLineNumber(line, 2.71828, 3);
        EXPECT_EQ(Text(), "2.718");
        SetTextLineInt(line, -42);
        EXPECT_EQ(Text(), "-42");
        const ZuStringRef same = line->RetText();
        SetTextLineInt(line, -42);
        EXPECT_TRUE(line->RetText() == same);
    });
}

TEST_F(MiscTextLine, ReadersTakeTheLeadingNumberAndZeroForNone)
{
    InBothLocales([this] {
        struct Case {
            const char* text;
            double real;
            int whole;
        } cases[] = {
            {"", 0.0, 0},
            {"1.5", 1.5, 1},
            {"  -2.25mm", -2.25, -2},
            {"+7", 7.0, 7},
            {"abc", 0.0, 0},
            {"1,5", 1.0, 1},
            {"12e1", 120.0, 12},
            {"99999999999", 99999999999.0, 2147483647},
        };
        for (const Case& c : cases) {
            Put(c.text);
            EXPECT_DOUBLE_EQ(GetTextLineReal(line), c.real) << c.text;
            EXPECT_EQ(GetTextLineInt(line), c.whole) << c.text;
        }
        Put("1.5");
        EXPECT_DOUBLE_EQ(GetTextLineUnitValue(line, 24), 15.0);
    });
    // Only the first 99 characters are read.
    std::string long_text(99, ' ');
    long_text += "5";
    Put(long_text.c_str());
    EXPECT_EQ(GetTextLineInt(line), 0);
    // No line: nothing written, 0 read.
    SetTextLineInt(ZuTextLineRef(), 3);
    EXPECT_EQ(GetTextLineInt(ZuTextLineRef()), 0);
    EXPECT_EQ(GetTextLineReal(ZuTextLineRef()), 0.0);
}

} // namespace
