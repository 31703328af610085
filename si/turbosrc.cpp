#include "si/turbosrc.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "si/rtclass.h"

#include <cstring>

namespace {

const char kFile[] = "si/turbosrc";

} // namespace

ZU_IMPLEMENT_CLASS(ZuTurboSearch, kFile, ZU_CLASS_PLAIN)

ZuTurboSearch::ZuTurboSearch()
    : second_shift(0), far_reach(0), pattern(nullptr), pattern_length(0), last_index(0)
{
    for (unsigned int& s : shift)
        s = 1;
}

ZuTurboSearch::~ZuTurboSearch()
{
    if (pattern != nullptr)
        Zuvi_app_zone->Free(pattern, __LINE__, kFile);
}

bool ZuTurboSearch::Setup(const char* bytes, unsigned int length)
{
    if (bytes == nullptr || length == 0)
        return false;
    unsigned char* copy =
        static_cast<unsigned char*>(Zuvi_app_zone->Alloc(length, "Card8", __LINE__, kFile));
    std::memcpy(copy, bytes, length);
    if (pattern != nullptr)
        Zuvi_app_zone->Free(pattern, __LINE__, kFile);
    pattern = copy;
    pattern_length = length;
    last_index = length - 1;

    for (unsigned int& s : shift)
        s = length + 1;
    // A byte of the pattern moves the window so that its last occurrence
    // in the pattern comes under it. (One shift of length - 1 for every
    // such byte would jump over matches whose byte sits further right.)
    for (unsigned int i = 0; i < length; ++i)
        shift[pattern[i]] = length - i;

    unsigned char last = pattern[last_index];
    unsigned int k = 0;
    while (k < last_index && pattern[last_index - k - 1] != last)
        ++k;
    second_shift = k;
    far_reach = length + k;
    return true;
}

unsigned int ZuTurboSearch::Search(const char* text)
{
    if (text == nullptr || pattern == nullptr)
        return not_found;
    const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
    // The text ends at its zero byte: no window reaches past it, and the
    // bytes looked at to shift are at most that zero byte.
    size_t n = std::strlen(text);
    if (n >= not_found)
        n = not_found - 1;
    const size_t m = pattern_length;
    const unsigned char last = pattern[last_index];
    size_t p = 0;
    while (p + m <= n) {
        if (t[p + last_index] != last) {
            p += shift[t[p + m]];
            continue;
        }
        unsigned int i = last_index;
        while (i > 0 && t[p + i - 1] == pattern[i - 1])
            --i;
        if (i == 0)
            return static_cast<unsigned int>(p);
        // The windows up to p + k cannot match: the last byte would meet a
        // different pattern byte there. Go on from the one after p + k.
        if (p + far_reach > n)
            break;
        p += second_shift + shift[t[p + far_reach]];
    }
    return not_found;
}
