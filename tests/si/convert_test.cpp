#include "si/convert.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>
#include <vector>

#include "tests/support/objmodel.h"
#include "tests/support/text.h"

namespace {

class ConvertTest : public ZuviRuntimeTest {};

ZuStringRef Format(const char* text)
{
    return text != nullptr ? ZuStringRef(text) : ZuStringRef();
}

struct WholeCase {
    bool signed_value;
    int64_t int_value;
    uint64_t card_value;
    const char* format;
    const char* expected;
};

TEST_F(ConvertTest, WritesWholeNumbersUnderEveryForm)
{
    const WholeCase cases[] = {
        {true, 42, 0, "NUM:%5;", "   42"},
        {true, 42, 0, "NUM:%-5;|", "42   |"},
        {true, 42, 0, "NUM:%05;", "00042"},
        {true, -5, 0, nullptr, "-5"},
        {true, -5, 0, "", "-5"},
        {true, 3000000000LL, 0, nullptr, "3000000000"},
        {false, 0, 7, "NUM:x %;", "x 7"},
        {false, 0, 4294967296ULL, nullptr, "4294967296"},
        {false, 0, 18446744073709551615ULL, nullptr, "18446744073709551615"},
        {true, -9223372036854775807LL - 1, 0, nullptr, "-9223372036854775808"},
        {true, -3000000000LL, 0, "NUM:%;", "-3000000000"},
        // A second placeholder is copied as it stands, "%%" included.
        {true, 42, 0, "NUM:%;-%;%%", "42-%;%%"},
        {true, 42, 0, "NUM:%%%;", "%42"},
        {true, 42, 0, "NUM:%", "42"},
        {true, 42, 0, "NUM:no number", "no number"},
        {true, 42, 0, "NUM:", ""},
        {true, 42, 0, "other", "42"},
        {true, 42, 0, "EXP:%;", "42"},
        {true, 1, 0, "ENUM:|zero|one|two", "one"},
        {true, 0, 0, "ENUM:|zero|one|two", "zero"},
        {true, 5, 0, "ENUM:|zero|one|two", "5"},
        {true, 1, 0, "ENUM:|zero||two", ""},
        {true, 0, 0, "ENUM:|", "0"},
        {true, 0, 0, "ENUM:", "0"},
        {true, -1, 0, "ENUM:|zero|one", "-1"},
        {true, 2, 0, "ENUM:,a,b,c", "c"},
    };
    for (const WholeCase& c : cases) {
        ZuStringRef out;
        if (c.signed_value)
            ZuConvert::Current()->IntToString(c.int_value, Format(c.format), out);
        else
            ZuConvert::Current()->CardToString(c.card_value, Format(c.format), out);
        EXPECT_EQ(Text(out), c.expected) << "format " << (c.format ? c.format : "(none)");
    }
}

TEST_F(ConvertTest, WideFieldsAndLongFlagRunsStayBounded)
{
    ZuStringRef out;
    ZuConvert::Current()->IntToString(1, ZuStringRef("NUM:%99999999999;"), out);
    EXPECT_EQ(Text(out).size(), 200u);
    std::string flags = "NUM:%" + std::string(70, '1') + ";";
    ZuConvert::Current()->IntToString(1, ZuStringRef(flags.c_str()), out);
    EXPECT_LE(Text(out).size(), 300u);
    ZuConvert::Current()->RealToString(1e308, ZuStringRef("NUM:%;"), out);
    EXPECT_EQ(Text(out).size(), 309u); // every digit kept
    EXPECT_EQ(Text(out).substr(0, 4), "1000");
}

TEST_F(ConvertTest, WritesBooleans)
{
    ZuStringRef out;
    ZuConvert::Current()->BoolToString(true, ZuStringRef("ENUM:/yes/no"), out);
    EXPECT_EQ(Text(out), "yes");
    ZuConvert::Current()->BoolToString(false, ZuStringRef("ENUM:/yes/no"), out);
    EXPECT_EQ(Text(out), "no");
    ZuConvert::Current()->BoolToString(true, ZuStringNull, out);
    EXPECT_EQ(Text(out), "TRUE");
    ZuConvert::Current()->BoolToString(false, ZuStringNull, out);
    EXPECT_EQ(Text(out), "FALSE");
    ZuConvert::Current()->BoolToString(true, ZuStringRef("NUM:%;"), out);
    EXPECT_EQ(Text(out), "TRUE");
}

struct RealCase {
    double value;
    const char* format;
    const char* expected;
};

TEST_F(ConvertTest, WritesReals)
{
    const RealCase cases[] = {
        {2.0, nullptr, "2"},
        {3.5, nullptr, "3.5"},
        {3.0, "NUM:%;", "3"},
        {1.25, "NUM:%.3;", "1.25"},
        {2.5, "NUM:%.2;", "2.5"},
        {-0.5, "NUM:%08.2;", "-0000.5"},
        {2.0, "x", "2.000000"},
        {3.5, "ENUM:|a|b", "3.500000"},
        {1e10, "EXP:%;", "1.000000E+10"},
        {1.5, "EXP:%.2; m", "1.50E+00 m"},
        {1234.5, "NUM:%; pt", "1234.5 pt"},
        {-0.0, nullptr, "-0"},
        {100.0, "NUM:%.0;", "100"},
    };
    for (const RealCase& c : cases) {
        ZuStringRef out;
        ZuConvert::Current()->RealToString(c.value, Format(c.format), out);
        EXPECT_EQ(Text(out), c.expected) << c.value << " with " << (c.format ? c.format : "(none)");
    }
}

TEST_F(ConvertTest, KeepsTheWidthOfASixteenBitFormat)
{
    ZuStringRef format("");
    const unsigned short text[] = {'N', 'U', 'M', ':', '%', ';', ' ', 0x20AC, 0};
    format->SetString(text, 0);
    ZuStringRef out;
    ZuConvert::Current()->IntToString(12, format, out);
    ASSERT_TRUE(out->IsDefaultUnicode());
    ASSERT_EQ(out->CharacterCount(), 4u);
    EXPECT_EQ(out->RetCharacter(0), '1');
    EXPECT_EQ(out->RetCharacter(3), 0x20AC);
}

TEST_F(ConvertTest, WritersChangeTheSharedStringOrMakeANewOne)
{
    ZuStringRef first("old");
    ZuStringRef second = first;
    ZuConvert::Current()->IntToString(7, ZuStringNull, first);
    EXPECT_EQ(Text(second), "7"); // the same string object changed in place
    ZuConvert::Current()->RealToString(1.5, ZuStringNull, first);
    EXPECT_EQ(Text(second), "1.5");
    ZuConvert::Current()->BoolToString(true, ZuStringNull, first);
    EXPECT_EQ(Text(first), "TRUE");
    EXPECT_EQ(Text(second), "1.5"); // a new string for the handle
    ZuStringRef input("in");
    ZuConvert::Current()->StringToString(input, ZuStringRef("NUM:%;"), first);
    EXPECT_TRUE(first == input);
}

TEST_F(ConvertTest, CurrentIsOneConverter)
{
    EXPECT_TRUE(ZuConvert::Current() == ZuConvert::Current());
}

struct ReadCase {
    const char* text;
    bool ok;
    uint64_t bits;
};

TEST_F(ConvertTest, ReadsWholeNumbers)
{
    const ReadCase cases[] = {
        {"  TRUE", true, 1},
        {"false and more", true, 0},
        {"0X1F", true, 31},
        {"0x", true, 0},
        {"0xffffffffffffffff", true, 18446744073709551615ULL},
        {"12abc", true, 12},
        {"abc", false, 0},
        {"", false, 0},
        {"- 5", true, 0},
        {"-1", true, 18446744073709551615ULL},
        {"+17", true, 17},
        {"4294967296", true, 4294967296ULL},
        {"18446744073709551615", true, 18446744073709551615ULL},
        {"-9223372036854775808", true, 9223372036854775808ULL},
        {"99999999999999999999999", true, 18446744073709551615ULL},
    };
    for (const ReadCase& c : cases) {
        uint64_t card = 77;
        EXPECT_EQ(ZuConvert::Current()->StringToCard(ZuStringRef(c.text), card), c.ok) << c.text;
        EXPECT_EQ(card, c.ok ? c.bits : 77) << c.text;
        int64_t whole = 77;
        EXPECT_EQ(ZuConvert::Current()->StringToInt(ZuStringRef(c.text), whole), c.ok) << c.text;
        EXPECT_EQ(static_cast<uint64_t>(whole), c.ok ? c.bits : 77) << c.text;
    }
    unsigned small = 0;
    EXPECT_TRUE(ZuConvert::Current()->StringToCard(ZuStringRef("-1"), small));
    EXPECT_EQ(small, 4294967295u);
    int signed_small = 0;
    EXPECT_TRUE(ZuConvert::Current()->StringToInt(ZuStringRef("-7"), signed_small));
    EXPECT_EQ(signed_small, -7);
    int64_t untouched = 5;
    EXPECT_FALSE(ZuConvert::Current()->StringToInt(ZuStringNull, untouched));
    EXPECT_EQ(untouched, 5);
}

TEST_F(ConvertTest, ReadsReals)
{
    struct {
        const char* text;
        bool ok;
        double value;
    } const cases[] = {
        {"1E3", true, 1000.0},     {"-.5", true, -0.5},   {" 2.25e1 cm", true, 22.5},
        {"3,5", true, 3.0},        {"true", false, 0.0},  {"0x10", true, 16.0},
        {".", false, 0.0},         {"", false, 0.0},      {"- 5", true, 0.0},
        {"1e999", true, HUGE_VAL}, {"1e-999", true, 0.0},
    };
    for (const auto& c : cases) {
        double value = 77.0;
        EXPECT_EQ(ZuConvert::Current()->StringToReal(ZuStringRef(c.text), value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 77.0) << c.text;
    }
}

// Texts and stored numbers must not depend on the user's locale.
TEST_F(ConvertTest, UsesTheCLocaleWhateverTheProcessLocale)
{
    const char* const candidates[] = {"fr_FR.UTF-8", "fr_FR.utf8", "de_DE.UTF-8",
                                      "de_DE.utf8",  "fr_FR",      "de_DE"};
    std::string previous = std::setlocale(LC_ALL, nullptr);
    bool comma = false;
    for (const char* name : candidates) {
        if (std::setlocale(LC_ALL, name) != nullptr && std::localeconv()->decimal_point[0] == ',') {
            comma = true;
            break;
        }
    }
    if (!comma) {
        std::setlocale(LC_ALL, previous.c_str());
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    ZuStringRef out;
    ZuConvert::Current()->RealToString(2.5, ZuStringNull, out);
    EXPECT_EQ(Text(out), "2.5");
    ZuConvert::Current()->RealToString(1e10, ZuStringRef("EXP:%;"), out);
    EXPECT_EQ(Text(out), "1.000000E+10");
    double value = 0;
    EXPECT_TRUE(ZuConvert::Current()->StringToReal(ZuStringRef("2.5"), value));
    EXPECT_EQ(value, 2.5);
    std::setlocale(LC_ALL, previous.c_str());
}

} // namespace
