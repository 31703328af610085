// ZuText: the abstract base of every text object (strings, atoms, atom
// paths). Code that only reads or replaces a text works through ZuTextRef.
#ifndef ZUVI_SI_TEXT_H
#define ZUVI_SI_TEXT_H

#include "si/object.h"

ZU_FORWARD(ZuString)
ZU_FORWARD(ZuValue)

ZU_HANDLE_BEGIN(ZuText, ZuObject)
ZU_HANDLE_CONVERSIONS(ZuText)
// A handle to a new string holding the text.
ZuTextRef(const char* text);
// 16-bit text is not provided: stops with "NIY".
ZuTextRef(const unsigned short* text);
ZU_HANDLE_END(ZuText)

class ZuText : public ZuObject {
    ZU_CLASS(ZuText, ZuObject)

public:
    ZuText() {}

    // A string holding the text.
    virtual ZuStringRef RetString() = 0;
    // Replaces the text.
    virtual bool SetString(const ZuStringRef& text) = 0;
    virtual unsigned CharacterCount() = 0;
};
ZU_CLASS_END(ZuText)

#endif
