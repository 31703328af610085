// ZuConvert: the library's one converter between values and text, with its
// format language "ENUM:", "NUM:" and "EXP:". Numbers are written and read in
// the C locale whatever locale the process runs in.
#ifndef ZUVI_SI_CONVERT_H
#define ZUVI_SI_CONVERT_H

#include "si/string.h"

ZU_FORWARD(ZuAtom)
ZU_HANDLE(ZuConvert, ZuObject)

class ZuConvert : public ZuObject {
    ZU_CLASS(ZuConvert, ZuObject)

public:
    // The library's converter, created on first use.
    static ZuConvertRef Current();

    ZuConvert();

    virtual void BoolToString(bool value, const ZuStringRef& format, ZuStringRef& out);
    virtual void IntToString(int64_t value, const ZuStringRef& format, ZuStringRef& out);
    virtual void CardToString(uint64_t value, const ZuStringRef& format, ZuStringRef& out);
    virtual void RealToString(double value, const ZuStringRef& format, ZuStringRef& out);
    virtual void AtomToString(const ZuAtomRef& atom, const ZuStringRef& format, ZuStringRef& out);
    virtual void StringToString(const ZuStringRef& text, const ZuStringRef& format,
                                ZuStringRef& out);
    virtual bool StringToInt(const ZuStringRef& text, int64_t& value);
    virtual bool StringToInt(const ZuStringRef& text, int& value);
    virtual bool StringToCard(const ZuStringRef& text, uint64_t& value);
    virtual bool StringToCard(const ZuStringRef& text, unsigned int& value);
    virtual bool StringToReal(const ZuStringRef& text, double& value);

protected:
    // The common writer of whole numbers: the magnitude, and whether the
    // number is not negative.
    virtual void NumberToString(uint64_t magnitude, bool non_negative, const ZuStringRef& format,
                                ZuStringRef& out);
};
ZU_CLASS_END(ZuConvert)

#endif
