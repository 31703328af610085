#include "si/values.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "si/array.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/convert.h"
#include "si/ipictogram.h"
#include "si/memzone.h"
#include "si/pubdata.h"
#include "si/rtclass.h"
#include "si/storage.h"

// Places that the library's diagnostics print (zone dumps, memory and
// assertion messages) are fixed line numbers, not __LINE__: what a dump or
// a log shows stays the same however this file is laid out.
namespace {
const unsigned kMadeValueLine = 976; // a value made for a handle
} // namespace

namespace {

bool IsObjectKind(ZuSimpleType kind)
{
    return kind == ZU_TYPE_OBJECT || kind == ZU_TYPE_TEXT || kind == ZU_TYPE_ARRAY;
}

// A real truncated toward zero into 64 bits. Reals beyond the 64-bit range
// stay at its ends and a NaN gives 0, where a bare conversion is undefined.
int64_t TruncatedSigned(double d)
{
    if (std::isnan(d))
        return 0;
    if (d >= 9223372036854775808.0)
        return INT64_MAX;
    if (d <= -9223372036854775808.0)
        return INT64_MIN;
    return static_cast<int64_t>(d);
}

uint64_t TruncatedBits(double d)
{
    if (!std::isnan(d) && d >= 9223372036854775808.0) {
        if (d >= 18446744073709551616.0)
            return UINT64_MAX;
        return static_cast<uint64_t>(d);
    }
    return static_cast<uint64_t>(TruncatedSigned(d));
}

int CompareReals(double mine, double theirs)
{
    if (std::isnan(mine) || std::isnan(theirs) || mine == theirs)
        return 0;
    return mine < theirs ? -1 : 1;
}

} // namespace

const ZuSimpleType ZuValue::ZU_TYPE_POINTER = static_cast<ZuSimpleType>(10);

ZuValue::ZuValue() : kind(ZU_TYPE_NONE), payload(0) {}

ZuValue::~ZuValue() {}

void ZuValue::RefreshValue() {}

void ZuValue::ChangedValue()
{
    QuickReportChange(0);
}

// ---------------------------------------------------------------------------
// Setting
// ---------------------------------------------------------------------------

void ZuValue::SetScalar(ZuSimpleType new_kind, uint64_t bits)
{
    kind = new_kind;
    payload = bits;
    object = ZuObjectNull;
    ChangedValue();
}

bool ZuValue::SetCard32(unsigned number)
{
    SetScalar(ZU_TYPE_CARD, number);
    return true;
}

bool ZuValue::SetInt32(int number)
{
    SetScalar(ZU_TYPE_INT, static_cast<uint64_t>(static_cast<int64_t>(number)));
    return true;
}

bool ZuValue::SetCard64(uint64_t number)
{
    SetScalar(ZU_TYPE_CARD, number);
    return true;
}

bool ZuValue::SetInt64(int64_t number)
{
    SetScalar(ZU_TYPE_INT, static_cast<uint64_t>(number));
    return true;
}

bool ZuValue::SetBool(bool flag)
{
    SetScalar(ZU_TYPE_BOOL, flag ? 1 : 0);
    return true;
}

bool ZuValue::SetReal(double real)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &real, sizeof bits);
    SetScalar(ZU_TYPE_REAL, bits);
    return true;
}

// Pointers keep all their bits.
bool ZuValue::SetPointer(void* pointer)
{
    SetScalar(ZU_TYPE_POINTER, static_cast<uint64_t>(reinterpret_cast<std::uintptr_t>(pointer)));
    return true;
}

bool ZuValue::SetColor(const ZuColorPixel& c)
{
    kind = ZU_TYPE_COLOR;
    object = ZuObjectNull;
    color = c;
    ChangedValue();
    return true;
}

bool ZuValue::SetRect(const ZuRect& r)
{
    kind = ZU_TYPE_RECT;
    object = ZuObjectNull;
    rect = r;
    ChangedValue();
    return true;
}

bool ZuValue::SetTextStyle(const ZuTextStyle& style)
{
    kind = ZU_TYPE_TEXTSTYLE;
    object = ZuObjectNull;
    text_style = style;
    ChangedValue();
    return true;
}

bool ZuValue::SetText(const ZuTextRef& text)
{
    kind = ZU_TYPE_TEXT;
    object = text;
    ChangedValue();
    return true;
}

bool ZuValue::SetArray(const ZuArrayRef& array)
{
    kind = ZU_TYPE_ARRAY;
    object = array;
    ChangedValue();
    return true;
}

bool ZuValue::SetObject(const ZuObjectRef& other)
{
    ZuObject* held = other.Resolve();
    if (held != nullptr && held->IsKindOf(ZuValueRef::RetRuntime())) {
        // A value is copied, not kept.
        ZuValue* source = static_cast<ZuValue*>(held);
        if (source != this) {
            kind = source->kind;
            auto_format = source->auto_format;
            payload = source->payload;
            object = source->object;
            color = source->color;
            rect = source->rect;
            text_style = source->text_style;
        }
        ChangedValue();
        return true;
    }
    kind = ZU_TYPE_OBJECT;
    object = other;
    if (held != nullptr) {
        if (held->IsKindOf(ZuStringRef::RetRuntime()))
            kind = ZU_TYPE_TEXT;
        else if (held->IsKindOf(ZuArrayRef::RetRuntime()))
            kind = ZU_TYPE_ARRAY;
    }
    ChangedValue();
    return true;
}

bool ZuValue::SetAutoFormat(const ZuStringRef& format)
{
    auto_format = format;
    return true;
}

ZuStringRef ZuValue::RetAutoFormat()
{
    return auto_format;
}

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

double ZuValue::PayloadReal() const
{
    double real = 0.0;
    std::memcpy(&real, &payload, sizeof real);
    return real;
}

// The text the value holds, read as a number by the current converter; 0
// when it does not read.
uint64_t ZuValue::ParseText(bool as_card)
{
    ZuTextRef text;
    text = object;
    ZuStringRef string = text.IsValid() ? text->RetString() : ZuStringRef();
    if (as_card) {
        uint64_t number = 0;
        ZuConvert::Current()->StringToCard(string, number);
        return number;
    }
    int64_t number = 0;
    ZuConvert::Current()->StringToInt(string, number);
    return static_cast<uint64_t>(number);
}

uint64_t ZuValue::RetCard64()
{
    RefreshValue();
    switch (kind) {
    case ZU_TYPE_BOOL:
        return (payload & 0xFF) != 0 ? 1 : 0;
    case ZU_TYPE_INT:
    case ZU_TYPE_CARD:
        return payload;
    case ZU_TYPE_REAL:
        return TruncatedBits(PayloadReal());
    case ZU_TYPE_TEXT:
        return ParseText(true);
    default:
        return kind == ZU_TYPE_POINTER ? payload : 0;
    }
}

int64_t ZuValue::RetInt64()
{
    RefreshValue();
    switch (kind) {
    case ZU_TYPE_BOOL:
        return (payload & 0xFF) != 0 ? 1 : 0;
    case ZU_TYPE_INT:
    case ZU_TYPE_CARD:
        return static_cast<int64_t>(payload);
    case ZU_TYPE_REAL:
        return TruncatedSigned(PayloadReal());
    case ZU_TYPE_TEXT:
        return static_cast<int64_t>(ParseText(false));
    default:
        return kind == ZU_TYPE_POINTER ? static_cast<int64_t>(payload) : 0;
    }
}

unsigned ZuValue::RetCard32()
{
    return static_cast<unsigned>(RetCard64());
}

int ZuValue::RetInt32()
{
    return static_cast<int>(static_cast<unsigned>(static_cast<uint64_t>(RetInt64())));
}

void* ZuValue::RetPointer()
{
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(RetCard64()));
}

bool ZuValue::RetBool()
{
    RefreshValue();
    switch (kind) {
    case ZU_TYPE_BOOL:
        return (payload & 0xFF) != 0;
    case ZU_TYPE_INT:
    case ZU_TYPE_CARD:
        return payload != 0;
    case ZU_TYPE_REAL: {
        double real = PayloadReal();
        return !std::isnan(real) && real != 0.0;
    }
    case ZU_TYPE_TEXT: {
        ZuTextRef text;
        text = object;
        ZuStringRef string = text.IsValid() ? text->RetString() : ZuStringRef();
        char head[6] = {0, 0, 0, 0, 0, 0};
        if (string.IsValid())
            string->GetStringCopy(head, sizeof head);
        for (char& c : head)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        if (std::strncmp(head, "false", 5) == 0)
            return false;
        if (std::strncmp(head, "true", 4) == 0)
            return true;
        unsigned number = 0;
        ZuConvert::Current()->StringToCard(string, number);
        return number != 0;
    }
    default:
        return kind == ZU_TYPE_POINTER && payload != 0;
    }
}

double ZuValue::RetReal()
{
    RefreshValue();
    switch (kind) {
    case ZU_TYPE_BOOL:
        return (payload & 0xFF) != 0 ? 1.0 : 0.0;
    case ZU_TYPE_INT:
    case ZU_TYPE_CARD:
        return static_cast<double>(static_cast<int64_t>(payload));
    case ZU_TYPE_REAL:
        return PayloadReal();
    case ZU_TYPE_TEXT: {
        ZuTextRef text;
        text = object;
        ZuStringRef string = text.IsValid() ? text->RetString() : ZuStringRef();
        double number = 0.0;
        ZuConvert::Current()->StringToReal(string, number);
        return number;
    }
    default:
        return kind == ZU_TYPE_POINTER ? static_cast<double>(static_cast<int64_t>(payload)) : 0.0;
    }
}

ZuObjectRef ZuValue::RetObject()
{
    return IsObjectKind(kind) ? object : ZuObjectNull;
}

ZuTextRef ZuValue::RetText()
{
    return kind == ZU_TYPE_TEXT ? ZuTextRef(object) : ZuTextRef();
}

ZuArrayRef ZuValue::RetArray()
{
    return kind == ZU_TYPE_ARRAY ? ZuArrayRef(object) : ZuArrayRef();
}

const ZuColorPixel& ZuValue::RetColor()
{
    if (kind != ZU_TYPE_COLOR)
        color = RetCard32();
    return color;
}

const ZuRect& ZuValue::RetRect()
{
    return kind == ZU_TYPE_RECT ? rect : ZuRect::none;
}

const ZuTextStyle& ZuValue::RetTextStyle()
{
    return kind == ZU_TYPE_TEXTSTYLE ? text_style : ZuTextStyle::none;
}

ZuSimpleType ZuValue::RetType()
{
    return kind;
}

bool ZuValue::IsObject()
{
    return IsObjectKind(kind);
}

double ZuValue::ToReal()
{
    RefreshValue();
    switch (kind) {
    case ZU_TYPE_BOOL:
        return (payload & 0xFF) != 0 ? 1.0 : 0.0;
    case ZU_TYPE_INT:
    case ZU_TYPE_CARD:
        return static_cast<double>(static_cast<int64_t>(payload));
    case ZU_TYPE_REAL:
        return PayloadReal();
    case ZU_TYPE_COLOR:
        return static_cast<double>(static_cast<unsigned int>(color));
    default:
        return kind == ZU_TYPE_POINTER ? static_cast<double>(static_cast<int64_t>(payload)) : 0.0;
    }
}

// ---------------------------------------------------------------------------
// Comparison
// ---------------------------------------------------------------------------

int ZuValue::CompareWith(unsigned number)
{
    return CompareReals(ToReal(), static_cast<double>(number));
}
int ZuValue::CompareWith(int number)
{
    return CompareReals(ToReal(), static_cast<double>(number));
}
int ZuValue::CompareWith(uint64_t number)
{
    return CompareReals(ToReal(), static_cast<double>(static_cast<int64_t>(number)));
}
int ZuValue::CompareWith(int64_t number)
{
    return CompareReals(ToReal(), static_cast<double>(number));
}
int ZuValue::CompareWith(bool flag)
{
    return CompareReals(ToReal(), flag ? 1.0 : 0.0);
}
int ZuValue::CompareWith(double real)
{
    return CompareReals(ToReal(), real);
}
int ZuValue::CompareWith(void* pointer)
{
    return CompareReals(ToReal(), static_cast<double>(reinterpret_cast<std::intptr_t>(pointer)));
}

int ZuValue::CompareWith(const ZuRect& r)
{
    if (kind != ZU_TYPE_RECT)
        return -1;
    return rect == r ? 0 : 1;
}

int ZuValue::CompareWith(const ZuColorPixel& c)
{
    if (kind != ZU_TYPE_COLOR)
        return -1;
    return color == c ? 0 : 1;
}

int ZuValue::CompareWith(const ZuTextStyle& style)
{
    if (kind != ZU_TYPE_TEXTSTYLE)
        return -1;
    return text_style == style ? 0 : 1;
}

int ZuValue::CompareWith(const ZuObjectRef& other) const
{
    ZuObject* held = other.Resolve();
    if (held == nullptr)
        return 1;
    if (held->IsKindOf(ZuValueRef::RetRuntime())) {
        ZuValueRef copy(other);
        return CompareReals(const_cast<ZuValue*>(this)->ToReal(), copy->ToReal());
    }
    return ZuObject::CompareWith(other);
}

// ---------------------------------------------------------------------------
// Text
// ---------------------------------------------------------------------------

bool ZuValue::ConvertToString(ZuStringRef& out, const ZuStringRef&)
{
    RefreshValue();
    ZuConvertRef converter = ZuConvert::Current();
    switch (kind) {
    case ZU_TYPE_BOOL:
        converter->BoolToString((payload & 0xFF) != 0, ZuStringNull, out);
        return true;
    case ZU_TYPE_INT:
        converter->IntToString(static_cast<int64_t>(payload), ZuStringNull, out);
        return true;
    case ZU_TYPE_CARD:
        converter->CardToString(payload, ZuStringNull, out);
        return true;
    case ZU_TYPE_REAL:
        converter->RealToString(PayloadReal(), ZuStringNull, out);
        return true;
    case ZU_TYPE_OBJECT:
    case ZU_TYPE_TEXT: {
        ZuObject* held = object.Resolve();
        if (held == nullptr) {
            out = "";
            return true;
        }
        if (held->IsKindOf(ZuStringRef::RetRuntime()))
            return ZuStringRef(object)->GetString(out);
        if (held->IsKindOf(ZuAtomRef::RetRuntime())) {
            out = ZuStringRef(ZuAtomRef(object));
            return true;
        }
        if (const ZuiPictogram* pictogram = static_cast<const ZuiPictogram*>(
                static_cast<const ZuObject*>(held)->CastToInterface(&ZuiPictogram::interface)))
            return pictogram->GetText(ZU_TEXTVER_NORMAL, out);
        return false;
    }
    default:
        if (kind == ZU_TYPE_POINTER) {
            converter->CardToString(payload, ZuStringNull, out);
            return true;
        }
        return false;
    }
}

bool ZuValue::ConvertToAtom(ZuAtomRef& out, const ZuStringRef& format)
{
    ZuStringRef text = "";
    if (!ConvertToString(text, format))
        return false;
    out = ZuAtomRef(text);
    return true;
}

// ---------------------------------------------------------------------------
// Stored form
// ---------------------------------------------------------------------------

namespace {
ZuStorageSync value_record("<ZuValue type auto_format : (value) >");
} // namespace

void ZuValue::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    RefreshValue();
    storage << value_record << ZuStorageSync::begin;
    storage << static_cast<unsigned>(kind);
    storage << static_cast<const ZuObjectRef&>(auto_format);
    storage << ZuStorageSync::mark;
    switch (kind) {
    case ZU_TYPE_BOOL:
        storage->StoreBool((payload & 0xFF) != 0);
        break;
    case ZU_TYPE_INT:
        storage->StoreInt(static_cast<int64_t>(payload));
        break;
    case ZU_TYPE_CARD:
    case ZU_TYPE_ENUM:
        storage->StoreCard(payload);
        break;
    case ZU_TYPE_REAL:
        storage->StoreReal(PayloadReal());
        break;
    case ZU_TYPE_COLOR:
        storage << color;
        break;
    case ZU_TYPE_RECT:
        // The four coordinates and the empty flag, so that the rectangle
        // comes back.
        storage->StoreReal(rect.X1());
        storage->StoreReal(rect.Y1());
        storage->StoreReal(rect.X2());
        storage->StoreReal(rect.Y2());
        storage->StoreBool(rect.IsEmpty());
        break;
    case ZU_TYPE_TEXTSTYLE:
        storage << text_style;
        break;
    case ZU_TYPE_OBJECT:
    case ZU_TYPE_TEXT:
    case ZU_TYPE_ARRAY:
        storage << object;
        break;
    default:
        if (kind == ZU_TYPE_POINTER)
            storage->StoreCard(payload);
        break;
    }
    storage << ZuStorageSync::end;
}

void ZuValue::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    object = ZuObjectNull;
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    unsigned stored_kind = 0;
    storage >> stored_kind;
    kind = static_cast<ZuSimpleType>(stored_kind);
    ZuObjectRef format;
    storage->RestoreObject(format, ZuStringRef::RetRuntime());
    auto_format = ZuStringRef(static_cast<ZuString*>(format.Resolve()));
    storage >> ZuStorageSync::mark;
    switch (kind) {
    case ZU_TYPE_BOOL:
        payload = storage->RestoreBool((payload & 0xFF) != 0) ? 1 : 0;
        break;
    case ZU_TYPE_INT:
        payload = static_cast<uint64_t>(storage->RestoreInt(static_cast<int64_t>(payload)));
        break;
    case ZU_TYPE_CARD:
    case ZU_TYPE_ENUM:
        payload = storage->RestoreCard(payload);
        break;
    case ZU_TYPE_REAL: {
        double real = storage->RestoreReal(PayloadReal());
        std::memcpy(&payload, &real, sizeof payload);
        break;
    }
    case ZU_TYPE_RECT: {
        // Streams that hold no rectangle give the fresh value's.
        double x1 = storage->RestoreReal(rect.X1());
        double y1 = storage->RestoreReal(rect.Y1());
        double x2 = storage->RestoreReal(rect.X2());
        double y2 = storage->RestoreReal(rect.Y2());
        bool empty = storage->RestoreBool(rect.IsEmpty());
        ZuRect restored;
        if (!empty)
            restored.InsertPoint(x1, y1);
        restored.X1() = x1;
        restored.Y1() = y1;
        restored.X2() = x2;
        restored.Y2() = y2;
        rect = restored;
        break;
    }
    case ZU_TYPE_COLOR:
        storage >> color;
        break;
    case ZU_TYPE_TEXTSTYLE:
        storage >> text_style;
        break;
    case ZU_TYPE_OBJECT:
    case ZU_TYPE_TEXT:
    case ZU_TYPE_ARRAY:
        storage >> object;
        break;
    default:
        if (kind == ZU_TYPE_POINTER)
            payload = storage->RestoreCard(payload);
        break;
    }
    storage >> ZuStorageSync::end;
    ChangedValue();
}

// ---------------------------------------------------------------------------
// The handle
// ---------------------------------------------------------------------------

ZU_IMPLEMENT_CLASS_CORE(ZuValue, "si/values", ZU_CLASS_PLAIN)

namespace {

// Typed sets of any handle look through a value to the object it holds.
bool UnwrapValue(ZuObject* held, ZuObjectRef& inner)
{
    if (held == nullptr || !held->IsKindOf(ZuValueRef::RetRuntime()))
        return false;
    inner = static_cast<ZuValue*>(held)->RetObject();
    return true;
}

struct UnwrapInstaller {
    UnwrapInstaller() { ZuObjectRef::value_unwrap = UnwrapValue; }
} unwrap_installer;

} // namespace

ZuValueRef::ZuValueRef(ZuValue* value) : ZuObjectRef(static_cast<ZuObject*>(value)) {}

ZuValueRef& ZuValueRef::operator=(ZuValue* value)
{
    _Set(static_cast<ZuObject*>(value), nullptr);
    return *this;
}

ZuValueRef& ZuValueRef::operator=(const ZuValueRef& other)
{
    _Set(other, nullptr);
    return *this;
}

ZuValue* ZuValueRef::NewValue()
{
    ZuValue* value = static_cast<ZuValue*>(
        ZuClassFactory::New(ZuValueRef::RetRuntime(), Zuvi_app_zone, kMadeValueLine, ZU_SRC_FILE));
    _Set(static_cast<ZuObject*>(value), nullptr);
    return value;
}

#define ZUVI_VALUE_FROM(TYPE, SET)                                                               \
    ZuValueRef::ZuValueRef(TYPE x) : ZuObjectRef(ZuValueRef::RetRuntime(), Zuvi_CallFrame::head) \
    {                                                                                            \
        NewValue()->SET(x);                                                                      \
    }                                                                                            \
    ZuValueRef& ZuValueRef::operator=(TYPE x)                                                    \
    {                                                                                            \
        NewValue()->SET(x);                                                                      \
        return *this;                                                                            \
    }

ZUVI_VALUE_FROM(unsigned, SetCard32)
ZUVI_VALUE_FROM(int, SetInt32)
ZUVI_VALUE_FROM(uint64_t, SetCard64)
ZUVI_VALUE_FROM(int64_t, SetInt64)
ZUVI_VALUE_FROM(bool, SetBool)
ZUVI_VALUE_FROM(double, SetReal)
ZUVI_VALUE_FROM(void*, SetPointer)
ZUVI_VALUE_FROM(const ZuColorPixel&, SetColor)
ZUVI_VALUE_FROM(const ZuRect&, SetRect)
ZUVI_VALUE_FROM(const ZuTextStyle&, SetTextStyle)
ZUVI_VALUE_FROM(const ZuObjectRef&, SetObject)
#undef ZUVI_VALUE_FROM

ZuValueRef::ZuValueRef(const ZuBitset& bits)
    : ZuObjectRef(ZuValueRef::RetRuntime(), Zuvi_CallFrame::head)
{
    NewValue()->SetCard64(bits.RetBits());
}

ZuValueRef& ZuValueRef::operator=(const ZuBitset& bits)
{
    NewValue()->SetCard64(bits.RetBits());
    return *this;
}

ZuValueRef::operator unsigned() const
{
    return IsValid() ? Resolve()->RetCard32() : 0;
}
ZuValueRef::operator int() const
{
    return IsValid() ? Resolve()->RetInt32() : 0;
}
ZuValueRef::operator uint64_t() const
{
    return IsValid() ? Resolve()->RetCard64() : 0;
}
ZuValueRef::operator int64_t() const
{
    return IsValid() ? Resolve()->RetInt64() : 0;
}
ZuValueRef::operator bool() const
{
    return IsValid() && Resolve()->RetBool();
}
ZuValueRef::operator double() const
{
    return IsValid() ? Resolve()->RetReal() : 0.0;
}
ZuValueRef::operator void*() const
{
    return IsValid() ? Resolve()->RetPointer() : nullptr;
}
ZuValueRef::operator ZuColorPixel() const
{
    return IsValid() ? Resolve()->RetColor() : ZuColorPixel::none;
}
ZuValueRef::operator ZuRect() const
{
    return IsValid() ? Resolve()->RetRect() : ZuRect::none;
}
ZuValueRef::operator ZuTextStyle() const
{
    return IsValid() ? Resolve()->RetTextStyle() : ZuTextStyle::none;
}
ZuValueRef::operator ZuBitset() const
{
    ZuBitset bits;
    bits.SetBits(IsValid() ? Resolve()->RetCard64() : 0);
    return bits;
}

ZuValueRef Zuvi_ValueToZuValue(const ZuValueRef& value)
{
    return value;
}

ZuRect Zuvi_ValueToZuRect(const ZuValueRef& value)
{
    return static_cast<ZuRect>(value);
}

ZuTextStyle Zuvi_ValueToZuTextStyle(const ZuValueRef& value)
{
    return static_cast<ZuTextStyle>(value);
}

// ---------------------------------------------------------------------------
// Published data: each kind readable and writable by name, each change
// reported as "Changed" of its item.
// ---------------------------------------------------------------------------

namespace {

ZuValue* AsValue(ZuObject* object)
{
    return static_cast<ZuValue*>(object);
}

#define ZUVI_VALUE_DATUM(FN, RET, SET, CONVERT)             \
    void Get##FN(ZuValueRef& value, ZuObject* object)       \
    {                                                       \
        value = ZuValueRef(AsValue(object)->RET());         \
    }                                                       \
    bool Set##FN(const ZuValueRef& value, ZuObject* object) \
    {                                                       \
        return AsValue(object)->SET(CONVERT(value));        \
    }

ZuObjectRef ValueToObject(const ZuValueRef& value)
{
    return value.IsValid() ? value->RetObject() : ZuObjectNull;
}

ZUVI_VALUE_DATUM(Card32, RetCard32, SetCard32, Zuvi_ValueToCard32)
ZUVI_VALUE_DATUM(Int32, RetInt32, SetInt32, Zuvi_ValueToInt32)
ZUVI_VALUE_DATUM(Card64, RetCard64, SetCard64, Zuvi_ValueToCard64)
ZUVI_VALUE_DATUM(Int64, RetInt64, SetInt64, Zuvi_ValueToInt64)
ZUVI_VALUE_DATUM(Bool, RetBool, SetBool, Zuvi_ValueToBool)
ZUVI_VALUE_DATUM(Real, RetReal, SetReal, Zuvi_ValueToReal)
ZUVI_VALUE_DATUM(Pointer, RetPointer, SetPointer, Zuvi_ValueToPointer)
ZUVI_VALUE_DATUM(Object, RetObject, SetObject, ValueToObject)
ZUVI_VALUE_DATUM(Color, RetColor, SetColor, Zuvi_ValueToZuColorPixel)
ZUVI_VALUE_DATUM(Rect, RetRect, SetRect, Zuvi_ValueToZuRect)
ZUVI_VALUE_DATUM(Text, RetText, SetText, Zuvi_ValueToZuText)
ZUVI_VALUE_DATUM(TextStyle, RetTextStyle, SetTextStyle, Zuvi_ValueToZuTextStyle)
#undef ZUVI_VALUE_DATUM

void DeclareValueData(ZuRuntime* runtime)
{
    static Zuvi_PubDataDef items[] = {
        {&ZuValueRef::RetRuntime(), "card_32", "Cardinal value", &Card32_type, true, true,
         &GetCard32, &SetCard32},
        {&ZuValueRef::RetRuntime(), "int_32", "Integer value", &Int32_type, true, true, &GetInt32,
         &SetInt32},
        {&ZuValueRef::RetRuntime(), "card_64", "Cardinal value (64-bit)", &Card64_type, true, true,
         &GetCard64, &SetCard64},
        {&ZuValueRef::RetRuntime(), "int_64", "Integer value (64-bit)", &Int64_type, true, true,
         &GetInt64, &SetInt64},
        {&ZuValueRef::RetRuntime(), "boolean", "Boolean value", &Bool_type, true, true, &GetBool,
         &SetBool},
        {&ZuValueRef::RetRuntime(), "real", "Real value", &Real_type, true, true, &GetReal,
         &SetReal},
        {&ZuValueRef::RetRuntime(), "pointer", "Pointer value", &Pointer_type, true, true,
         &GetPointer, &SetPointer},
        {&ZuValueRef::RetRuntime(), "object", "Object value", &ZuObject_type, true, true,
         &GetObject, &SetObject},
        {&ZuValueRef::RetRuntime(), "color", "Color value", &ZuColorPixel_type, true, true,
         &GetColor, &SetColor},
        {&ZuValueRef::RetRuntime(), "rect", "Rectangle value", &ZuRect_type, true, true, &GetRect,
         &SetRect},
        {&ZuValueRef::RetRuntime(), "text", "Text value", &ZuText_type, true, true, &GetText,
         &SetText},
        {&ZuValueRef::RetRuntime(), "text_style", "Text style value", &ZuTextStyle_type, true, true,
         &GetTextStyle, &SetTextStyle},
    };
    for (Zuvi_PubDataDef& item : items)
        runtime->PublishData(item);
}

Zuvi_PubDataExport value_data(&DeclareValueData, ZuValueRef::RetRuntime());

#define ZUVI_VALUE_CHANGED(TAG, NAME) \
    Zuvi_NotifyExport value_changed_##TAG(&ZuValueRef::RetRuntime(), "Changed", NAME, nullptr);
ZUVI_VALUE_CHANGED(card_32, "card_32")
ZUVI_VALUE_CHANGED(int_32, "int_32")
ZUVI_VALUE_CHANGED(card_64, "card_64")
ZUVI_VALUE_CHANGED(int_64, "int_64")
ZUVI_VALUE_CHANGED(boolean, "boolean")
ZUVI_VALUE_CHANGED(real, "real")
ZUVI_VALUE_CHANGED(pointer, "pointer")
ZUVI_VALUE_CHANGED(object, "object")
ZUVI_VALUE_CHANGED(color, "color")
ZUVI_VALUE_CHANGED(rect, "rect")
ZUVI_VALUE_CHANGED(text, "text")
ZUVI_VALUE_CHANGED(text_style, "text_style")
#undef ZUVI_VALUE_CHANGED

} // namespace
