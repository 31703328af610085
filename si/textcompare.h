// Texts compared with strings: an 8-bit or 16-bit text and a string handle
// are equal when the string's exact comparison with the text gives 0. The
// handle is resolved strictly: an empty handle is fatal.
//
// Only these four forms exist (text == string, string != text); they take
// precedence over the handle's own identity comparisons, which would make a
// new string of the text and compare objects.
#ifndef SI_TEXTCOMPARE_H
#define SI_TEXTCOMPARE_H

#include "si/string.h"

inline bool operator==(const char* text, const ZuStringRef& string)
{
    return string->CompareWith(text, true) == 0;
}

inline bool operator==(const unsigned short* text, const ZuStringRef& string)
{
    return string->CompareWith(text, true) == 0;
}

inline bool operator!=(const ZuStringRef& string, const char* text)
{
    return string->CompareWith(text, true) != 0;
}

inline bool operator!=(const ZuStringRef& string, const unsigned short* text)
{
    return string->CompareWith(text, true) != 0;
}

#endif
