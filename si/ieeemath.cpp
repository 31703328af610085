#include "si/ieeemath.h"

#include <cstdint>
#include <cstring>

namespace {

// Bit positions of the host's double, found once by looking at the patterns
// of 1.0, 1.5 and -1.0 rather than assumed.
struct DoubleLayout {
    unsigned sign_bit;     // bit that differs between 1.0 and -1.0
    unsigned exp_low_bit;  // lowest bit set in 1.0
    unsigned frac_top_bit; // bit that differs between 1.0 and 1.5

    DoubleLayout()
    {
        sign_bit = LowestBit(Bits(1.0) ^ Bits(-1.0));
        exp_low_bit = LowestBit(Bits(1.0));
        frac_top_bit = LowestBit(Bits(1.0) ^ Bits(1.5));
    }

    static std::uint64_t Bits(double d)
    {
        std::uint64_t u;
        std::memcpy(&u, &d, sizeof u);
        return u;
    }

    static unsigned LowestBit(std::uint64_t u)
    {
        unsigned n = 0;
        while (n < 63 && !(u & (std::uint64_t(1) << n)))
            n++;
        return n;
    }

    // Number of fraction bits below and including the top one.
    unsigned FracBits() const { return frac_top_bit + 1; }
    // Width of the exponent field (between the fraction and the sign).
    unsigned ExpBits() const { return sign_bit - exp_low_bit; }
};

const DoubleLayout& Layout()
{
    static const DoubleLayout layout;
    return layout;
}

} // namespace

void Zuvi_ExportDouble(double value, unsigned int& w0, unsigned int* w)
{
    const DoubleLayout& l = Layout();
    std::uint64_t const bits = DoubleLayout::Bits(value);
    std::uint64_t const exp_mask = (std::uint64_t(1) << l.ExpBits()) - 1;
    std::uint64_t const frac_mask = (std::uint64_t(1) << l.FracBits()) - 1;

    std::uint32_t const exponent = std::uint32_t((bits >> l.exp_low_bit) & exp_mask);
    std::uint64_t fraction = bits & frac_mask;
    // Align the fraction to 52 bits whatever the host's width.
    if (l.FracBits() < 52)
        fraction <<= (52 - l.FracBits());
    else if (l.FracBits() > 52)
        fraction >>= (l.FracBits() - 52);

    std::uint32_t const sign = std::uint32_t((bits >> l.sign_bit) & 1);
    w0 = ((exponent - 1024u) & 0x7FFFFFFFu) | (sign << 31);
    w[0] = std::uint32_t(fraction >> 20);
    w[1] = std::uint32_t(fraction & 0xFFFFF) << 12;
}

void Zuvi_ImportDouble(double& value, unsigned int w0, const unsigned int* w)
{
    const DoubleLayout& l = Layout();
    std::uint64_t const exp_mask = (std::uint64_t(1) << l.ExpBits()) - 1;
    std::uint64_t const frac_mask = (std::uint64_t(1) << l.FracBits()) - 1;

    // Sign-extend the 31-bit exponent field, then rebias. Out-of-range
    // exponents from foreign data are simply masked to the field's width.
    std::uint32_t field = w0 & 0x7FFFFFFFu;
    if (field & 0x40000000u)
        field |= 0x80000000u;
    std::uint64_t const exponent = std::uint64_t(std::uint32_t(1024u + field)) & exp_mask;

    std::uint64_t fraction = (std::uint64_t(w[0]) << 20) | (std::uint64_t(w[1]) >> 12);
    if (l.FracBits() < 52)
        fraction >>= (52 - l.FracBits());
    else if (l.FracBits() > 52)
        fraction <<= (l.FracBits() - 52);

    std::uint64_t bits = 0;
    bits |= exponent << l.exp_low_bit;
    bits |= fraction & frac_mask;
    if (w0 & 0x80000000u)
        bits |= std::uint64_t(1) << l.sign_bit;
    std::memcpy(&value, &bits, sizeof value);
}
