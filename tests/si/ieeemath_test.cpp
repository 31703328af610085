#include "si/ieeemath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

TEST(IeeeMath, ExportGivesThePortableWords)
{
    struct Case {
        double value;
        unsigned w0, w1, w2;
    } const cases[] = {
        {0.5, 0x7FFFFFFEu, 0, 0},           // exponent 1022 - 1024 = -2, masked to 31 bits
        {1.0, 0x7FFFFFFFu, 0, 0},           // 1023 - 1024 = -1
        {2.0, 0, 0, 0},                     // 1024 - 1024
        {-2.0, 0x80000000u, 0, 0},          // sign in bit 31
        {1.5, 0x7FFFFFFFu, 0x80000000u, 0}, // top fraction bit
        {0.0, 0x7FFFFC00u, 0, 0},           // biased 0 - 1024
    };
    for (const auto& c : cases) {
        unsigned w0, w[2];
        Zuvi_ExportDouble(c.value, w0, w);
        EXPECT_EQ(w0, c.w0) << c.value;
        EXPECT_EQ(w[0], c.w1) << c.value;
        EXPECT_EQ(w[1], c.w2) << c.value;
    }
    // The lowest fraction bit lands at bit 12 of the third word.
    const double next = std::nextafter(1.0, 2.0);
    unsigned w0, w[2];
    Zuvi_ExportDouble(next, w0, w);
    EXPECT_EQ(w[1], 1u << 12);
}

TEST(IeeeMath, ImportInvertsExport)
{
    const double values[] = {0.0,      -0.0,      1.0, -1.0, 0.1, 1e-310, 1.7976931348623157e308,
                             INFINITY, 123456.789};
    for (double v : values) {
        unsigned w0, w[2];
        Zuvi_ExportDouble(v, w0, w);
        double back = 99.0;
        Zuvi_ImportDouble(back, w0, w);
        EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << v;
    }
}

// Foreign words give a double whose exponent is the field's value masked
// to the exponent's width (never a spill into the sign or an overflow).
TEST(IeeeMath, ImportOfForeignWordsStaysInsideTheDouble)
{
    const unsigned w[2] = {0xFFFFFFFFu, 0xFFFFFFFFu};
    struct Case {
        unsigned w0;
        std::uint64_t bits;
    } const cases[] = {
        {0x3FFFFFFFu, 0x3FFFFFFFFFFFFFFFull}, // 1024 + field wraps to 0x3FF
        {0x40000000u, 0x400FFFFFFFFFFFFFull}, // a negative field, sign-extended
        {0xFFFFFFFFu, 0xBFFFFFFFFFFFFFFFull}, // the sign bit stays the sign
    };
    for (const Case& c : cases) {
        double d = 0;
        Zuvi_ImportDouble(d, c.w0, w);
        std::uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        EXPECT_EQ(c.bits, bits) << std::hex << c.w0;
    }
}

} // namespace
