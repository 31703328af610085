#include "si/convert.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "si/atom.h"
#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"

// ---------------------------------------------------------------------------
// Number text in the C locale.
//
// Numbers that reach texts, stored values and PostScript must read the same
// whatever locale the user runs, so nothing here goes through the C library's
// locale-dependent printf/strtod: integers are written digit by digit and
// reals through std::to_chars / std::from_chars, which never look at the
// locale. The printf conventions that formats rely on ("%lu", "%ld", "%lf",
// "%lE" with flags, width and precision) are reproduced on top of that.
// ---------------------------------------------------------------------------
namespace {

const unsigned kMaxFormat = 200; // characters of a format used to recognise its form
const unsigned kMaxFlags = 60;   // flag characters of a placeholder
const int kMaxField = 200;       // width and precision are bounded to this

// A printf conversion, parsed from a placeholder's flags.
struct NumberSpec {
    bool left = false;  // '-'
    bool plus = false;  // '+'
    bool space = false; // ' '
    bool zero = false;  // '0'
    int width = 0;
    int precision = -1; // -1: the conversion's default
};

// Parses flags as printf reads "%<flags>lu": the flag characters, then the
// width, then a '.' and the precision. Characters out of that order have no
// meaning to printf; they are ignored rather than handed to the C library.
NumberSpec ParseSpec(const std::string& flags)
{
    NumberSpec spec;
    size_t i = 0;
    for (; i < flags.size(); ++i) {
        char c = flags[i];
        if (c == '-')
            spec.left = true;
        else if (c == '+')
            spec.plus = true;
        else if (c == ' ')
            spec.space = true;
        else if (c == '0')
            spec.zero = true;
        else
            break;
    }
    for (; i < flags.size() && flags[i] >= '0' && flags[i] <= '9'; ++i)
        spec.width = std::min(kMaxField, spec.width * 10 + (flags[i] - '0'));
    if (i < flags.size() && flags[i] == '.') {
        spec.precision = 0;
        for (++i; i < flags.size() && flags[i] >= '0' && flags[i] <= '9'; ++i)
            spec.precision = std::min(kMaxField, spec.precision * 10 + (flags[i] - '0'));
    }
    return spec;
}

// Pads a converted number (sign already split off) to the conversion's width.
std::string Pad(const std::string& sign, const std::string& digits, const NumberSpec& spec,
                bool zero_allowed)
{
    size_t len = sign.size() + digits.size();
    size_t width = static_cast<size_t>(spec.width);
    if (len >= width)
        return sign + digits;
    std::string fill(width - len, ' ');
    if (spec.left)
        return sign + digits + fill;
    if (spec.zero && zero_allowed)
        return sign + std::string(width - len, '0') + digits;
    return fill + sign + digits;
}

std::string Decimal(uint64_t value)
{
    char buf[24];
    char* end = buf + sizeof buf;
    char* p = end;
    do {
        *--p = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return std::string(p, end);
}

// "%lu" (non_negative) or "%ld" of minus the magnitude, on 64 bits.
std::string WriteWhole(uint64_t magnitude, bool non_negative, const NumberSpec& spec)
{
    std::string sign;
    if (!non_negative) {
        if (magnitude != 0)
            sign = "-";
        else if (spec.plus)
            sign = "+";
        else if (spec.space)
            sign = " ";
    }
    return Pad(sign, Decimal(magnitude), spec, true);
}

// "%lf" (conversion 'f') or "%lE" (conversion 'E') of a double.
std::string WriteReal(double value, char conversion, const NumberSpec& spec)
{
    int precision = spec.precision < 0 ? 6 : spec.precision;
    std::string sign;
    if (std::signbit(value))
        sign = "-";
    else if (spec.plus)
        sign = "+";
    else if (spec.space)
        sign = " ";
    double magnitude = std::fabs(value);
    std::string digits;
    bool finite = std::isfinite(magnitude);
    if (!finite) {
        digits = std::isnan(magnitude) ? "nan" : "inf";
    } else {
        // A fixed conversion of the largest double needs 309 digits before the point.
        std::vector<char> buf(400 + static_cast<size_t>(precision));
        auto res = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude,
                                 conversion == 'f' ? std::chars_format::fixed
                                                   : std::chars_format::scientific,
                                 precision);
        digits.assign(buf.data(), res.ptr);
    }
    if (conversion == 'E')
        for (char& c : digits)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return Pad(sign, digits, spec, finite);
}

// In the "NUM:" form a written real loses its trailing zeros after the point,
// then a point left at the end.
void TrimReal(std::string& text)
{
    if (text.find('.') == std::string::npos)
        return;
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
}

// The characters of a format, 8-bit or 16-bit.
struct FormatChars {
    std::vector<unsigned short> chars;
    bool wide = false;
    unsigned short at(size_t i) const { return chars[i]; }
    size_t size() const { return chars.size(); }
    // 8-bit copy of the first characters, used to recognise the form.
    std::string Head() const
    {
        std::string head;
        for (size_t i = 0; i < chars.size() && i < kMaxFormat; ++i)
            head.push_back(static_cast<char>(chars[i] < 0x100 ? chars[i] : 0x7F));
        return head;
    }
};

// The result text, kept in the format's width.
using Chars = std::vector<unsigned short>;

void Append(Chars& out, const std::string& text)
{
    for (unsigned char c : text)
        out.push_back(c);
}

enum class NumberKind { Whole, Real };

// Writes one number under a format. `write` turns a spec and a conversion
// ('u' for whole numbers, 'f' or 'E' for reals) into the number's text.
template <class Writer>
Chars RenderNumber(const FormatChars& format, NumberKind kind, Writer write, int64_t enum_index)
{
    Chars out;
    std::string head = format.size() == 0 ? std::string("NUM:%;") : format.Head();
    FormatChars fallback;
    const FormatChars* fmt = &format;
    if (format.size() == 0) {
        for (char c : head)
            fallback.chars.push_back(static_cast<unsigned char>(c));
        fmt = &fallback;
    }
    auto starts = [&](const char* prefix) {
        return head.compare(0, std::strlen(prefix), prefix) == 0;
    };

    if (kind == NumberKind::Whole && starts("ENUM:")) {
        size_t pos = 5;
        if (pos < fmt->size() && enum_index >= 0) {
            unsigned short sep = fmt->at(pos);
            size_t start = pos + 1;
            int64_t index = 0;
            while (start <= fmt->size()) {
                size_t end = start;
                while (end < fmt->size() && fmt->at(end) != sep)
                    ++end;
                if (index == enum_index) {
                    if (start == fmt->size() && end == start && index == 0)
                        break; // nothing after the separator
                    out.insert(out.end(), fmt->chars.begin() + start, fmt->chars.begin() + end);
                    return out;
                }
                if (end >= fmt->size())
                    break;
                start = end + 1;
                ++index;
            }
        }
        Append(out, write(NumberSpec(), 'u'));
        return out;
    }

    bool num = starts("NUM:");
    bool exp = kind == NumberKind::Real && starts("EXP:");
    if (!num && !exp) {
        Append(out, write(NumberSpec(), kind == NumberKind::Whole ? 'u' : 'f'));
        return out;
    }
    size_t i = 4;
    while (i < fmt->size()) {
        unsigned short c = fmt->at(i);
        if (c == '%' && i + 1 < fmt->size() && fmt->at(i + 1) == '%') {
            out.push_back('%');
            i += 2;
            continue;
        }
        if (c != '%') {
            out.push_back(c);
            ++i;
            continue;
        }
        // The placeholder.
        ++i;
        std::string flags;
        while (i < fmt->size() && flags.size() < kMaxFlags) {
            unsigned short f = fmt->at(i);
            bool flag = f == '-' || f == '+' || f == ' ' || (f >= '0' && f <= '9') ||
                        (kind == NumberKind::Real && f == '.');
            if (!flag)
                break;
            flags.push_back(static_cast<char>(f));
            ++i;
        }
        if (i < fmt->size() && fmt->at(i) == ';')
            ++i;
        std::string number =
            write(ParseSpec(flags), kind == NumberKind::Whole ? 'u' : (num ? 'f' : 'E'));
        if (kind == NumberKind::Real && num)
            TrimReal(number);
        Append(out, number);
        // Everything after the first placeholder is literal text.
        out.insert(out.end(), fmt->chars.begin() + i, fmt->chars.end());
        return out;
    }
    return out;
}

// 8-bit copy of at most 199 characters, ASCII capitals lowered, leading
// spaces skipped: what the readers look at.
std::string ReaderText(const FormatChars& text)
{
    std::string copy;
    for (size_t i = 0; i < text.size() && i < 199; ++i) {
        unsigned short c = text.at(i);
        char ch = static_cast<char>(c < 0x100 ? c : 0x7F);
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
        copy.push_back(ch);
    }
    size_t skip = copy.find_first_not_of(' ');
    return skip == std::string::npos ? std::string() : copy.substr(skip);
}

bool IsCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads a whole number; the result is the 64-bit pattern of the number
// (a negative number in two's complement). Decimal magnitudes beyond 64 bits
// stay at the largest magnitude rather than wrapping.
bool ReadWhole(const std::string& text, uint64_t& bits)
{
    if (text.compare(0, 5, "false") == 0) {
        bits = 0;
        return true;
    }
    if (text.compare(0, 4, "true") == 0) {
        bits = 1;
        return true;
    }
    if (text.compare(0, 2, "0x") == 0) {
        uint64_t value = 0;
        for (size_t i = 2; i < text.size(); ++i) {
            char c = text[i];
            unsigned digit;
            if (c >= '0' && c <= '9')
                digit = static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                digit = static_cast<unsigned>(c - 'a' + 10);
            else
                break;
            value = (value << 4) | digit;
        }
        bits = value;
        return true;
    }
    size_t gate = text.find_first_not_of("-+ ");
    if (gate == std::string::npos || !(text[gate] >= '0' && text[gate] <= '9'))
        return false;
    // As atol reads: blanks, one optional sign, digits.
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    uint64_t magnitude = 0;
    bool overflow = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (magnitude > (~0ULL - digit) / 10)
            overflow = true;
        else
            magnitude = magnitude * 10 + digit;
    }
    if (overflow)
        magnitude = ~0ULL;
    if (negative && magnitude > (1ULL << 63))
        magnitude = 1ULL << 63;
    bits = negative ? 0 - magnitude : magnitude;
    return true;
}

// Reads a real as atof does (blanks, one optional sign, a decimal or
// hexadecimal number), in the C locale.
bool ReadReal(const std::string& text, double& value)
{
    size_t gate = text.find_first_not_of("-+. ");
    if (gate == std::string::npos || !(text[gate] >= '0' && text[gate] <= '9'))
        return false;
    size_t i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    double result = 0.0;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    bool digit_or_point = first < last && ((*first >= '0' && *first <= '9') || *first == '.');
    if (digit_or_point) {
        std::chars_format form = std::chars_format::general;
        if (last - first > 2 && first[0] == '0' && first[1] == 'x') {
            const char* hex = first + 2;
            bool hex_digit =
                hex < last && (std::isxdigit(static_cast<unsigned char>(*hex)) || *hex == '.');
            if (hex_digit) {
                first = hex;
                form = std::chars_format::hex;
            }
        }
        double parsed = 0.0;
        auto res = std::from_chars(first, last, parsed, form);
        if (res.ec == std::errc()) {
            result = parsed;
        } else if (res.ec == std::errc::result_out_of_range) {
            // Too large gives infinity, too small gives zero, as strtod answers.
            int64_t exponent = 0;
            bool seen_nonzero = false, after_point = false;
            int64_t lead = 0;
            const char* p = first;
            char exp_mark = form == std::chars_format::hex ? 'p' : 'e';
            for (; p < res.ptr && *p != exp_mark; ++p) {
                if (*p == '.') {
                    after_point = true;
                    continue;
                }
                bool nz = *p != '0';
                if (!seen_nonzero) {
                    if (nz)
                        seen_nonzero = true;
                    else if (after_point)
                        --lead;
                } else if (!after_point) {
                    ++lead;
                }
            }
            if (p < res.ptr) {
                int64_t e = 0;
                bool eneg = false;
                ++p;
                if (p < res.ptr && (*p == '-' || *p == '+'))
                    eneg = *p++ == '-';
                for (; p < res.ptr; ++p)
                    e = std::min<int64_t>(e * 10 + (*p - '0'), 1000000);
                exponent = eneg ? -e : e;
            }
            result = lead + exponent > 0 ? HUGE_VAL : 0.0;
        }
    }
    value = negative ? -result : result;
    return true;
}

} // namespace

namespace {

// The characters of a format handle; an empty handle or an empty string means
// no format.
FormatChars CharsOf(const ZuStringRef& text)
{
    FormatChars chars;
    ZuString* string = text.Resolve();
    if (string == nullptr)
        return chars;
    unsigned n = string->CharacterCount();
    chars.wide = string->IsDefaultUnicode();
    chars.chars.reserve(n);
    for (unsigned i = 0; i < n; ++i)
        chars.chars.push_back(string->RetCharacter(i));
    return chars;
}

// Makes sure `out` holds a string.
void EnsureString(ZuStringRef& out)
{
    if (!out.IsValid())
        out = ZuNew<ZuString>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
}

// Clears the string of `out` and appends the result, in the format's width.
void Deliver(const Chars& result, bool wide, ZuStringRef& out)
{
    EnsureString(out);
    out->ClearString();
    if (result.empty())
        return;
    if (wide) {
        std::vector<unsigned short> text(result.begin(), result.end());
        text.push_back(0);
        out->AppendString(text.data(), static_cast<unsigned>(result.size()));
    } else {
        std::vector<char> text;
        text.reserve(result.size() + 1);
        for (unsigned short c : result)
            text.push_back(static_cast<char>(c));
        text.push_back(0);
        out->AppendString(text.data(), static_cast<unsigned>(result.size()));
    }
}

} // namespace

ZU_IMPLEMENT_CLASS(ZuConvert, "si/convert", ZU_CLASS_SINGLETON | ZU_CLASS_NOT_STORED)

ZuConvert::ZuConvert() {}

// The converter is the one instance of its class: the class factory keeps it
// from its first creation until the library shuts down.
ZuConvertRef ZuConvert::Current()
{
    return ZuNew<ZuConvert>(Zuvi_app_zone, __LINE__, ZU_SRC_FILE);
}

void ZuConvert::NumberToString(uint64_t magnitude, bool non_negative, const ZuStringRef& format,
                               ZuStringRef& out)
{
    FormatChars chars = CharsOf(format);
    int64_t index =
        non_negative && magnitude <= 0x7FFFFFFFFFFFFFFFULL ? static_cast<int64_t>(magnitude) : -1;
    Chars result = RenderNumber(
        chars, NumberKind::Whole,
        [&](const NumberSpec& spec, char) { return WriteWhole(magnitude, non_negative, spec); },
        index);
    Deliver(result, chars.wide, out);
}

void ZuConvert::BoolToString(bool value, const ZuStringRef& format, ZuStringRef& out)
{
    FormatChars chars = CharsOf(format);
    if (chars.Head().compare(0, 5, "ENUM:") == 0) {
        NumberToString(value ? 0 : 1, true, format, out);
        return;
    }
    out = value ? "TRUE" : "FALSE";
}

void ZuConvert::IntToString(int64_t value, const ZuStringRef& format, ZuStringRef& out)
{
    bool non_negative = value >= 0;
    uint64_t magnitude =
        non_negative ? static_cast<uint64_t>(value) : 0ULL - static_cast<uint64_t>(value);
    NumberToString(magnitude, non_negative, format, out);
}

void ZuConvert::CardToString(uint64_t value, const ZuStringRef& format, ZuStringRef& out)
{
    NumberToString(value, true, format, out);
}

void ZuConvert::RealToString(double value, const ZuStringRef& format, ZuStringRef& out)
{
    FormatChars chars = CharsOf(format);
    Chars result = RenderNumber(
        chars, NumberKind::Real,
        [&](const NumberSpec& spec, char conversion) { return WriteReal(value, conversion, spec); },
        -1);
    Deliver(result, chars.wide, out);
}

void ZuConvert::AtomToString(const ZuAtomRef& atom, const ZuStringRef&, ZuStringRef& out)
{
    out = ZuStringRef(atom);
}

void ZuConvert::StringToString(const ZuStringRef& text, const ZuStringRef&, ZuStringRef& out)
{
    out = text;
}

bool ZuConvert::StringToInt(const ZuStringRef& text, int64_t& value)
{
    if (!text.IsValid())
        return false;
    uint64_t bits = 0;
    if (!ReadWhole(ReaderText(CharsOf(text)), bits))
        return false;
    value = static_cast<int64_t>(bits);
    return true;
}

bool ZuConvert::StringToInt(const ZuStringRef& text, int& value)
{
    int64_t wide = 0;
    if (!StringToInt(text, wide))
        return false;
    value = static_cast<int>(static_cast<unsigned>(static_cast<uint64_t>(wide)));
    return true;
}

bool ZuConvert::StringToCard(const ZuStringRef& text, uint64_t& value)
{
    int64_t wide = 0;
    if (!StringToInt(text, wide))
        return false;
    value = static_cast<uint64_t>(wide);
    return true;
}

bool ZuConvert::StringToCard(const ZuStringRef& text, unsigned int& value)
{
    int64_t wide = 0;
    if (!StringToInt(text, wide))
        return false;
    value = static_cast<unsigned>(static_cast<uint64_t>(wide));
    return true;
}

bool ZuConvert::StringToReal(const ZuStringRef& text, double& value)
{
    if (!text.IsValid())
        return false;
    return ReadReal(ReaderText(CharsOf(text)), value);
}
