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
    ZuValueRef(ZuValueRef const& other) : ZuObjectRef(other) {}
    ZuValueRef& operator=(ZuValue* value);
    ZuValueRef& operator=(ZuValueRef const& other);
    // A scalar, a record or an object makes a new value every time, so a
    // value that other handles share never changes by assignment.
    ZuValueRef(unsigned number);
    ZuValueRef(int number);
    ZuValueRef(uint64_t number);
    ZuValueRef(int64_t number);
    ZuValueRef(bool flag);
    ZuValueRef(double real);
    ZuValueRef(void* pointer);
    ZuValueRef(ZuColorPixel const& color);
    ZuValueRef(ZuRect const& rect);
    ZuValueRef(ZuTextStyle const& style);
    ZuValueRef(ZuBitset const& bits);
    ZuValueRef(ZuObjectRef const& object);
    ZuValueRef& operator=(unsigned number);
    ZuValueRef& operator=(int number);
    ZuValueRef& operator=(uint64_t number);
    ZuValueRef& operator=(int64_t number);
    ZuValueRef& operator=(bool flag);
    ZuValueRef& operator=(double real);
    ZuValueRef& operator=(void* pointer);
    ZuValueRef& operator=(ZuColorPixel const& color);
    ZuValueRef& operator=(ZuRect const& rect);
    ZuValueRef& operator=(ZuTextStyle const& style);
    ZuValueRef& operator=(ZuBitset const& bits);
    ZuValueRef& operator=(ZuObjectRef const& object);
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

ZuValueRef Zuvi_ValueToZuValue(ZuValueRef const& value);
ZuRect Zuvi_ValueToZuRect(ZuValueRef const& value);
ZuTextStyle Zuvi_ValueToZuTextStyle(ZuValueRef const& value);
ZuColorPixel Zuvi_ValueToZuColorPixel(ZuValueRef const& value);

class ZuValue : public ZuObject {
    ZU_CLASS(ZuValue, ZuObject)

public:
    ZuValue();
    virtual ~ZuValue();

    virtual void RefreshValue();
    virtual void ChangedValue();

    virtual int CompareWith(ZuTextStyle const& style);
    virtual int CompareWith(ZuRect const& rect);
    virtual int CompareWith(ZuColorPixel const& color);
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
    virtual bool SetObject(ZuObjectRef const& object);
    virtual bool SetText(ZuTextRef const& text);
    virtual bool SetArray(ZuArrayRef const& array);
    virtual bool SetColor(ZuColorPixel const& color);
    virtual bool SetRect(ZuRect const& rect);
    virtual bool SetTextStyle(ZuTextStyle const& style);

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
    virtual ZuColorPixel const& RetColor();
    virtual ZuRect const& RetRect();
    virtual ZuTextStyle const& RetTextStyle();

    virtual bool SetAutoFormat(ZuStringRef const& format);
    virtual ZuStringRef RetAutoFormat();
    virtual bool ConvertToString(ZuStringRef& out, ZuStringRef const& format);
    virtual bool ConvertToAtom(ZuAtomRef& out, ZuStringRef const& format);
    virtual ZuSimpleType RetType();
    virtual bool IsObject();

    // ZuObject
    int CompareWith(ZuObjectRef const& other) const override;

    // The kind a value uses for a pointer; it has no entry in the name table.
    static ZuSimpleType const ZU_TYPE_POINTER;

protected:
    // The value as a real, for comparisons.
    virtual double ToReal();

    void StoreInstance(ZuStorageRef const& storage) override;
    void RestoreInstance(ZuStorageRef const& storage) override;

    ZuSimpleType kind;
    uint64_t payload; // bool in the low byte, integers, pointer, or the double's bits
    ZuObjectRef object; // kinds 100, 101 and 102
    ZuColorPixel color; // kind 7
    ZuRect rect; // kind 8
    ZuTextStyle text_style; // kind 9
    ZuStringRef auto_format;

private:
    double PayloadReal() const;
    void SetScalar(ZuSimpleType new_kind, uint64_t bits);
    uint64_t ParseText(bool as_card);
};
ZU_CLASS_END(ZuValue)

#endif
