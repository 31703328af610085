// ZuValue: the library's dynamically typed value. One object holds a
// boolean, an integer (up to 64 bits), a real, a pointer, a colour, a
// rectangle, a text style or a handle to another object, with the kind of
// what it holds, and converts what it holds into the other kinds on request.
#ifndef ZUVI_SI_VALUES_H
#define ZUVI_SI_VALUES_H

#include "si/rect.h"
#include "si/string.h"
#include "si/bitset.h"
#include "si/colorpixel.h"
#include "si/textstyle.h"
#include "si/types.h"

class ZuArrayRef;

ZU_HANDLE_BEGIN(ZuValue, ZuObject)
// Handles share the value they are given.
ZuValueRef(ZuValue* value);
ZuValueRef(const ZuValueRef& other) : ZuObjectRef(other) {}
ZuValueRef& operator=(ZuValue* value);
ZuValueRef& operator=(const ZuValueRef& other);
// A scalar, a record or an object makes a new value every time, so a
// value that other handles share never changes by assignment.
ZuValueRef(unsigned number);
ZuValueRef(int number);
ZuValueRef(uint64_t number);
ZuValueRef(int64_t number);
ZuValueRef(bool flag);
ZuValueRef(double real);
ZuValueRef(void* pointer);
ZuValueRef(const ZuColorPixel& color);
ZuValueRef(const ZuRect& rect);
ZuValueRef(const ZuTextStyle& style);
ZuValueRef(const ZuBitset& bits);
ZuValueRef(const ZuObjectRef& object);
ZuValueRef& operator=(unsigned number);
ZuValueRef& operator=(int number);
ZuValueRef& operator=(uint64_t number);
ZuValueRef& operator=(int64_t number);
ZuValueRef& operator=(bool flag);
ZuValueRef& operator=(double real);
ZuValueRef& operator=(void* pointer);
ZuValueRef& operator=(const ZuColorPixel& color);
ZuValueRef& operator=(const ZuRect& rect);
ZuValueRef& operator=(const ZuTextStyle& style);
ZuValueRef& operator=(const ZuBitset& bits);
ZuValueRef& operator=(const ZuObjectRef& object);
// Creates a value in the application zone and points the handle at it.
ZuValue* NewValue();
// The matching Ret operation; 0, false, null or the shared empty record
// for an empty handle.
operator unsigned() const;
operator int() const;
operator uint64_t() const;
operator int64_t() const;
operator bool() const;
operator double() const;
operator void*() const;
operator ZuColorPixel() const;
operator ZuRect() const;
operator ZuTextStyle() const;
operator ZuBitset() const;
ZU_HANDLE_END(ZuValue)

ZuValueRef Zuvi_ValueToZuValue(const ZuValueRef& value);
ZuRect Zuvi_ValueToZuRect(const ZuValueRef& value);
ZuTextStyle Zuvi_ValueToZuTextStyle(const ZuValueRef& value);
ZuColorPixel Zuvi_ValueToZuColorPixel(const ZuValueRef& value);

class ZuValue : public ZuObject {
    ZU_CLASS(ZuValue, ZuObject)

public:
    ZuValue();
    virtual ~ZuValue();

    virtual void RefreshValue();
    virtual void ChangedValue();

    virtual int CompareWith(const ZuTextStyle& style);
    virtual int CompareWith(const ZuRect& rect);
    virtual int CompareWith(const ZuColorPixel& color);
    virtual int CompareWith(void* pointer);
    virtual int CompareWith(double real);
    virtual int CompareWith(bool flag);
    virtual int CompareWith(int64_t number);
    virtual int CompareWith(uint64_t number);
    virtual int CompareWith(int number);
    virtual int CompareWith(unsigned number);

    virtual bool SetCard32(unsigned number);
    virtual bool SetInt32(int number);
    virtual bool SetCard64(uint64_t number);
    virtual bool SetInt64(int64_t number);
    virtual bool SetBool(bool flag);
    virtual bool SetReal(double real);
    virtual bool SetPointer(void* pointer);
    virtual bool SetObject(const ZuObjectRef& object);
    virtual bool SetText(const ZuTextRef& text);
    virtual bool SetArray(const ZuArrayRef& array);
    virtual bool SetColor(const ZuColorPixel& color);
    virtual bool SetRect(const ZuRect& rect);
    virtual bool SetTextStyle(const ZuTextStyle& style);

    virtual unsigned RetCard32();
    virtual int RetInt32();
    virtual uint64_t RetCard64();
    virtual int64_t RetInt64();
    virtual bool RetBool();
    virtual double RetReal();
    virtual void* RetPointer();
    virtual ZuObjectRef RetObject();
    virtual ZuTextRef RetText();
    virtual ZuArrayRef RetArray();
    // Another kind than a colour first makes the colour of RetCard32.
    virtual const ZuColorPixel& RetColor();
    virtual const ZuRect& RetRect();
    virtual const ZuTextStyle& RetTextStyle();

    virtual bool SetAutoFormat(const ZuStringRef& format);
    virtual ZuStringRef RetAutoFormat();
    virtual bool ConvertToString(ZuStringRef& out, const ZuStringRef& format);
    virtual bool ConvertToAtom(ZuAtomRef& out, const ZuStringRef& format);
    virtual ZuSimpleType RetType();
    virtual bool IsObject();

    // ZuObject
    int CompareWith(const ZuObjectRef& other) const override;

    // The kind a value uses for a pointer; it has no entry in the name table.
    static const ZuSimpleType ZU_TYPE_POINTER;

protected:
    // The value as a real, for comparisons.
    virtual double ToReal();

    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

    ZuSimpleType kind;
    uint64_t payload;       // bool in the low byte, integers, pointer, or the double's bits
    ZuObjectRef object;     // kinds 100, 101 and 102
    ZuColorPixel color;     // kind 7
    ZuRect rect;            // kind 8
    ZuTextStyle text_style; // kind 9
    ZuStringRef auto_format;

private:
    double PayloadReal() const;
    void SetScalar(ZuSimpleType new_kind, uint64_t bits);
    uint64_t ParseText(bool as_card);
};
ZU_CLASS_END(ZuValue)

#endif
