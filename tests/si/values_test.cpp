#include "si/values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "si/array.h"
#include "si/atom.h"
#include "si/classfactory.h"
#include "si/convert.h"
#include "si/ipictogram.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"
#include "tests/support/text.h"

// A pictogram that answers its normal text only.
ZU_HANDLE(ZuTestPictogram, ZuObject)
class ZuTestPictogram : public ZuObject, public ZuiPictogram {
    ZU_CLASS(ZuTestPictogram, ZuObject)
public:
    ZuTestPictogram() {}
    bool GetText(ZuTextVersion version, ZuStringRef& out) const override
    {
        if (version != ZU_TEXTVER_NORMAL)
            return false;
        out = ZuStringRef("Ouvrir");
        return true;
    }
    bool GetIcon(ZuAtomRef&) const override { return false; }
};
ZU_CLASS_END(ZuTestPictogram)
ZU_IMPLEMENT_CLASS(ZuTestPictogram, "tests/si/values_test", ZU_CLASS_PLAIN)
ZU_IMPLEMENT_INTERFACE(ZuTestPictogram, ZuiPictogram)

namespace {

class ValueTest : public ZuviRuntimeTest {};

ZuValueRef TextValue(const char* text)
{
    ZuValueRef v;
    v.NewValue();
    v->SetText(ZuTextRef(text));
    return v;
}

TEST_F(ValueTest, FreshValueHoldsNothing)
{
    ZuValueRef v;
    v.NewValue();
    EXPECT_EQ(v->RetType(), ZU_TYPE_NONE);
    EXPECT_EQ(v->RetCard32(), 0u);
    EXPECT_EQ(v->RetInt64(), 0);
    EXPECT_FALSE(v->RetBool());
    EXPECT_EQ(v->RetReal(), 0.0);
    EXPECT_EQ(v->RetPointer(), nullptr);
    EXPECT_FALSE(v->RetObject().IsValid());
    EXPECT_TRUE(v->RetRect() == ZuRect::none);
    EXPECT_FALSE(v->IsObject());
    ZuStringRef out("unchanged");
    EXPECT_FALSE(v->ConvertToString(out, ZuStringNull));
    EXPECT_EQ(Text(out), "unchanged");
}

TEST_F(ValueTest, IntegersExtendByTheirSign)
{
    ZuValueRef v;
    v.NewValue();
    v->SetInt32(-1);
    EXPECT_EQ(v->RetType(), ZU_TYPE_INT);
    EXPECT_EQ(v->RetCard64(), std::numeric_limits<uint64_t>::max());
    EXPECT_EQ(v->RetCard32(), 0xFFFFFFFFu);
    v->SetCard32(0xFFFFFFFFu);
    EXPECT_EQ(v->RetType(), ZU_TYPE_CARD);
    EXPECT_EQ(v->RetInt64(), 4294967295LL);
    EXPECT_EQ(v->RetInt32(), -1);
    v->SetCard64(1ULL << 63);
    EXPECT_EQ(v->CompareWith(0), -1); // cardinals compare as signed
    v->SetBool(true);
    EXPECT_EQ(v->RetCard64(), 1u);
    EXPECT_EQ(v->RetReal(), 1.0);
}

TEST_F(ValueTest, RealsTruncateTowardZero)
{
    ZuValueRef v;
    v.NewValue();
    v->SetReal(-2.7);
    EXPECT_EQ(v->RetInt32(), -2);
    EXPECT_TRUE(v->RetBool());
    v->SetReal(0.4);
    EXPECT_TRUE(v->RetBool());
    EXPECT_EQ(v->RetCard32(), 0u);
    v->SetReal(std::nan(""));
    EXPECT_FALSE(v->RetBool());
    EXPECT_EQ(v->RetInt64(), 0);
    v->SetReal(1e30); // beyond 64 bits: held at the end of the range
    EXPECT_EQ(v->RetInt64(), std::numeric_limits<int64_t>::max());
    v->SetReal(-1e30);
    EXPECT_EQ(v->RetInt64(), std::numeric_limits<int64_t>::min());
}

TEST_F(ValueTest, PointersKeepAllTheirBits)
{
    void* high = reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x00007F12345678F0ULL));
    ZuValueRef v;
    v.NewValue();
    v->SetPointer(high);
    EXPECT_EQ(v->RetPointer(), high);
    EXPECT_EQ(v->RetCard64(), 0x00007F12345678F0ULL);
    EXPECT_EQ(v->CompareWith(high), 0);
    ZuStringRef text;
    ASSERT_TRUE(v->ConvertToString(text, ZuStringNull));
    EXPECT_EQ(Text(text), "139716164221168");
    EXPECT_EQ(TextValue(Text(text).c_str())->RetPointer(), high);
}

TEST_F(ValueTest, TextsReadAsBooleans)
{
    struct {
        const char* text;
        bool expected;
    } const cases[] = {{"TRUE", true}, {"False", false}, {"truex", true}, {"2", true},
                       {"abc", false}, {"0", false},     {"", false},     {"0x10", true}};
    for (const auto& c : cases)
        EXPECT_EQ(TextValue(c.text)->RetBool(), c.expected) << c.text;
}

TEST_F(ValueTest, TextsReadAsNumbers)
{
    EXPECT_EQ(TextValue("-7")->RetInt32(), -7);
    EXPECT_EQ(TextValue("-1")->RetCard64(), std::numeric_limits<uint64_t>::max());
    EXPECT_EQ(TextValue("4294967296")->RetCard64(), 4294967296ULL);
    EXPECT_EQ(TextValue("2.5")->RetReal(), 2.5);
    EXPECT_EQ(TextValue("nothing")->RetInt64(), 0);
}

// Every simple kind written as text by the converter reads back the same.
TEST_F(ValueTest, RoundTripsThroughText)
{
    const int64_t ints[] = {0,
                            -1,
                            42,
                            -2147483648LL,
                            1LL << 40,
                            std::numeric_limits<int64_t>::min(),
                            std::numeric_limits<int64_t>::max()};
    for (int64_t n : ints) {
        ZuValueRef v;
        v.NewValue();
        v->SetInt64(n);
        ZuStringRef text;
        ASSERT_TRUE(v->ConvertToString(text, ZuStringNull));
        EXPECT_EQ(TextValue(Text(text).c_str())->RetInt64(), n) << Text(text);
    }
    const uint64_t cards[] = {0, 4294967295ULL, 4294967296ULL,
                              std::numeric_limits<uint64_t>::max()};
    for (uint64_t n : cards) {
        ZuValueRef v;
        v.NewValue();
        v->SetCard64(n);
        ZuStringRef text;
        ASSERT_TRUE(v->ConvertToString(text, ZuStringNull));
        EXPECT_EQ(TextValue(Text(text).c_str())->RetCard64(), n) << Text(text);
    }
    const double reals[] = {0.0, 2.5, -1234.125, 1e6, 0.000001};
    for (double r : reals) {
        ZuValueRef v;
        v.NewValue();
        v->SetReal(r);
        ZuStringRef text;
        ASSERT_TRUE(v->ConvertToString(text, ZuStringNull));
        EXPECT_EQ(TextValue(Text(text).c_str())->RetReal(), r) << Text(text);
    }
    for (bool b : {true, false}) {
        ZuValueRef v;
        v.NewValue();
        v->SetBool(b);
        ZuStringRef text;
        ASSERT_TRUE(v->ConvertToString(text, ZuStringNull));
        EXPECT_EQ(TextValue(Text(text).c_str())->RetBool(), b) << Text(text);
    }
    ZuValueRef holder;
    holder.NewValue();
    holder->SetText(ZuTextRef("words"));
    ZuStringRef text;
    ASSERT_TRUE(holder->ConvertToString(text, ZuStringNull));
    EXPECT_EQ(Text(text), "words");
}

TEST_F(ValueTest, ComparesWithNumbersAndRecords)
{
    ZuValueRef v;
    v.NewValue();
    v->SetReal(1.5);
    EXPECT_EQ(v->CompareWith(1.5), 0);
    EXPECT_EQ(v->CompareWith(2), -1);
    EXPECT_EQ(v->CompareWith(1u), 1);
    EXPECT_EQ(v->CompareWith(true), 1);
    EXPECT_EQ(v->CompareWith(std::nan("")), 0);
    EXPECT_EQ(v->CompareWith(ZuRect(0, 0, 1, 1)), -1);
    v->SetRect(ZuRect(0, 0, 1, 1));
    EXPECT_EQ(v->CompareWith(ZuRect(0, 0, 1, 1)), 0);
    EXPECT_EQ(v->CompareWith(ZuRect(0, 0, 2, 1)), 1);
    EXPECT_TRUE(v->RetRect() == ZuRect(0, 0, 1, 1));
    ZuTextStyle style;
    style.SetAngle(45);
    EXPECT_EQ(v->CompareWith(style), -1);
    v->SetTextStyle(style);
    EXPECT_EQ(v->CompareWith(style), 0);
    EXPECT_TRUE(v->RetRect() == ZuRect::none);

    ZuValueRef other;
    other.NewValue();
    other->SetInt32(3);
    v->SetInt32(2);
    EXPECT_EQ(v->CompareWith(ZuObjectRef(other)), -1);
    EXPECT_EQ(v->CompareWith(ZuObjectNull), 1);
}

TEST_F(ValueTest, SetObjectCopiesAValueAndKindsTexts)
{
    ZuValueRef source;
    source.NewValue();
    source->SetInt32(7);
    ZuValueRef v;
    v.NewValue();
    v->SetObject(source);
    source->SetInt32(8);
    EXPECT_EQ(v->RetType(), ZU_TYPE_INT);
    EXPECT_EQ(v->RetInt32(), 7);
    EXPECT_FALSE(v->RetObject().IsValid());

    v->SetObject(ZuStringRef("abc"));
    EXPECT_EQ(v->RetType(), ZU_TYPE_TEXT);
    EXPECT_TRUE(v->RetText().IsValid());
    v->SetObject(ZuObjectNull);
    EXPECT_EQ(v->RetType(), ZU_TYPE_OBJECT);
    ZuStringRef text("x");
    EXPECT_TRUE(v->ConvertToString(text, ZuStringNull));
    EXPECT_EQ(Text(text), "");
    v->SetObject(v); // itself: nothing changes
    EXPECT_EQ(v->RetType(), ZU_TYPE_OBJECT);
}

TEST_F(ValueTest, ConvertsToAtoms)
{
    ZuValueRef v(7);
    ZuAtomRef atom;
    EXPECT_TRUE(v->ConvertToAtom(atom, ZuStringNull));
    EXPECT_TRUE(atom == "7");
    ZuValueRef holder;
    holder.NewValue();
    holder->SetText(ZuAtomRef("kept"));
    ZuStringRef text;
    EXPECT_TRUE(holder->ConvertToString(text, ZuStringNull));
    EXPECT_EQ(Text(text), "kept");
    ZuValueRef nothing;
    nothing.NewValue();
    ZuAtomRef untouched("same");
    EXPECT_FALSE(nothing->ConvertToAtom(untouched, ZuStringNull));
    EXPECT_TRUE(untouched == "same");
}

TEST_F(ValueTest, ObjectsConvertThroughTheirPictogramText)
{
    ZuObjectRef pictogram(ZuNew<ZuTestPictogram>(Zuvi_app_zone, __LINE__, "test"));
    ZuValueRef v(pictogram);
    EXPECT_EQ(v->RetType(), ZU_TYPE_OBJECT);
    ZuStringRef text;
    EXPECT_TRUE(v->ConvertToString(text, ZuStringNull));
    EXPECT_EQ(Text(text), "Ouvrir");
    ZuValueRef plain(ZuObjectRef(ZuTestStorage::Make()));
    ZuStringRef untouched("same");
    EXPECT_FALSE(plain->ConvertToString(untouched, ZuStringNull));
    EXPECT_EQ(Text(untouched), "same");
}

TEST_F(ValueTest, HandlesMakeNewValuesFromScalars)
{
    ZuValueRef a(5);
    ZuValueRef b = a;
    b = 6;
    EXPECT_EQ(static_cast<int>(a), 5);
    EXPECT_EQ(static_cast<int>(b), 6);
    EXPECT_FALSE(a == b);
    ZuValueRef r(2.5);
    EXPECT_EQ(static_cast<double>(r), 2.5);
    ZuValueRef flag(true);
    EXPECT_TRUE(static_cast<bool>(flag));
    ZuValueRef big(static_cast<uint64_t>(1) << 40);
    EXPECT_EQ(static_cast<uint64_t>(big), 1ULL << 40);
    ZuValueRef empty;
    EXPECT_EQ(static_cast<int>(empty), 0);
    EXPECT_TRUE(static_cast<ZuRect>(empty) == ZuRect::none);
}

// Typed handles look through a value to the object it holds.
TEST_F(ValueTest, TypedHandlesTakeTheObjectAValueHolds)
{
    ZuStringRef text("inside");
    ZuValueRef holder(static_cast<const ZuObjectRef&>(text));
    ZuTextRef typed;
    typed = static_cast<const ZuObjectRef&>(holder);
    EXPECT_TRUE(typed == text);
    ZuValueRef number(3);
    typed = static_cast<const ZuObjectRef&>(number);
    EXPECT_FALSE(typed.IsValid());
}

TEST_F(ValueTest, HoldsArrays)
{
    ZuArrayRef array(ZuNew<ZuArray>(Zuvi_app_zone, __LINE__, "tests/si/values_test"));
    ZuValueRef v;
    v.NewValue();
    v->SetArray(array);
    EXPECT_EQ(v->RetType(), ZU_TYPE_ARRAY);
    EXPECT_TRUE(v->IsObject());
    EXPECT_TRUE(v->RetArray() == array);
    EXPECT_FALSE(v->RetText().IsValid());
    ZuStringRef out("unchanged");
    EXPECT_FALSE(v->ConvertToString(out, ZuStringNull));
    ZuValueRef other;
    other.NewValue();
    other->SetObject(array);
    EXPECT_EQ(other->RetType(), ZU_TYPE_ARRAY);
    v->SetInt32(1);
    EXPECT_FALSE(v->RetArray().IsValid());
}

// ---------------------------------------------------------------------------
// Stored form
// ---------------------------------------------------------------------------

ZuValueRef StoredAndRestored(const ZuValueRef& value)
{
    ZuTestStorageRef storage = ZuTestStorage::Make();
    storage->StartStoring();
    storage->StoreObject(value);
    storage->StartRestoring(storage->Bytes());
    ZuObjectRef restored;
    storage->RestoreObject(restored, ZuValueRef::RetRuntime());
    return ZuValueRef(static_cast<ZuValue*>(restored.Resolve()));
}

TEST_F(ValueTest, StoresAndRestoresEveryKind)
{
    ZuValueRef v;
    v.NewValue();
    // The storage's byte format carries the low 32 bits of whole numbers.
    v->SetInt32(std::numeric_limits<int32_t>::min());
    EXPECT_EQ(StoredAndRestored(v)->RetType(), ZU_TYPE_INT);
    EXPECT_EQ(StoredAndRestored(v)->RetInt64(), std::numeric_limits<int32_t>::min());
    v->SetCard32(std::numeric_limits<uint32_t>::max());
    EXPECT_EQ(StoredAndRestored(v)->RetType(), ZU_TYPE_CARD);
    EXPECT_EQ(StoredAndRestored(v)->RetCard64(), std::numeric_limits<uint32_t>::max());
    v->SetBool(true);
    EXPECT_EQ(StoredAndRestored(v)->RetType(), ZU_TYPE_BOOL);
    EXPECT_TRUE(StoredAndRestored(v)->RetBool());
    v->SetReal(-2.75);
    EXPECT_EQ(StoredAndRestored(v)->RetReal(), -2.75);
    void* low = reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x345678F0u));
    v->SetPointer(low);
    EXPECT_EQ(StoredAndRestored(v)->RetPointer(), low);
    v->SetText(ZuTextRef("kept"));
    ZuValueRef back = StoredAndRestored(v);
    EXPECT_EQ(back->RetType(), ZU_TYPE_TEXT);
    ZuStringRef text;
    ASSERT_TRUE(back->ConvertToString(text, ZuStringNull));
    EXPECT_EQ(Text(text), "kept");

    ZuTextStyle style(ZU_TEXT_HPOS_RIGHT, ZU_TEXT_VPOS_BASE);
    style.SetAngle(30);
    v->SetTextStyle(style);
    EXPECT_TRUE(StoredAndRestored(v)->RetTextStyle() == style);

    v->SetAutoFormat(ZuStringRef("NUM:%;"));
    EXPECT_EQ(Text(StoredAndRestored(v)->RetAutoFormat()), "NUM:%;");
}

// A rectangle value keeps its rectangle through storage.
TEST_F(ValueTest, StoresTheRectangleItHolds)
{
    ZuValueRef v(ZuRect(1.5, 2, 10, 20.25));
    ZuValueRef back = StoredAndRestored(v);
    EXPECT_EQ(back->RetType(), ZU_TYPE_RECT);
    EXPECT_TRUE(back->RetRect() == ZuRect(1.5, 2, 10, 20.25));
    EXPECT_FALSE(back->RetRect().IsEmpty());
    v = ZuRect();
    back = StoredAndRestored(v);
    EXPECT_EQ(back->RetType(), ZU_TYPE_RECT);
    EXPECT_TRUE(back->RetRect().IsEmpty());
}

} // namespace

namespace {

TEST_F(ValueTest, HoldsColours)
{
    ZuValueRef v(ZuColorPixel(0x80FF7F00u));
    EXPECT_EQ(v->RetType(), ZU_TYPE_COLOR);
    EXPECT_EQ(v->CompareWith(ZuColorPixel(0x80FF7F00u)), 0);
    EXPECT_EQ(v->CompareWith(ZuColorPixel(0x00FF7F00u)), 1);
    // Compared as a number, a colour is its word.
    EXPECT_EQ(v->CompareWith(0x80FF7F00u), 0);
    EXPECT_EQ(v->CompareWith(0u), 1);
    EXPECT_EQ(static_cast<unsigned int>(static_cast<ZuColorPixel>(v)), 0x80FF7F00u);
    EXPECT_EQ(static_cast<unsigned int>(Zuvi_ValueToZuColorPixel(v)), 0x80FF7F00u);

    // Another kind gives the colour of its 32-bit number.
    ZuValueRef real(2.0);
    EXPECT_EQ(real->CompareWith(ZuColorPixel(0x00000002u)), -1);
    EXPECT_TRUE(real->RetColor() == ZuColorPixel(0x00000002u));
    EXPECT_TRUE(ZuColorPixel(ZuValueRef(0x00ABCDEFu)) == ZuColorPixel(0x00ABCDEFu));
    EXPECT_TRUE(static_cast<ZuColorPixel>(ZuValueRef()) == ZuColorPixel::none);

    // SetObject of a colour value copies the colour.
    ZuValueRef copy;
    copy.NewValue();
    copy->SetObject(v);
    EXPECT_EQ(copy->RetType(), ZU_TYPE_COLOR);
    EXPECT_EQ(static_cast<unsigned int>(copy->RetColor()), 0x80FF7F00u);

    ZuValueRef back = StoredAndRestored(v);
    EXPECT_EQ(back->RetType(), ZU_TYPE_COLOR);
    EXPECT_TRUE(back->RetColor() == ZuColorPixel(0x80FF7F00u));
}

TEST_F(ValueTest, PublishesEveryKindByName)
{
    ZuValueRef v;
    v.NewValue();
    ZuValueRef red(ZuColorPixel(0x00FF0000u));
    ASSERT_TRUE(v->DefineData(ZuAtomRef("color"), red));
    EXPECT_EQ(v->RetType(), ZU_TYPE_COLOR);
    ZuValueRef read;
    ASSERT_TRUE(v->QueryData(ZuAtomRef("color"), read));
    EXPECT_EQ(static_cast<unsigned int>(read->RetColor()), 0x00FF0000u);
    ASSERT_TRUE(v->QueryData(ZuAtomRef("card_32"), read));
    EXPECT_EQ(read->RetCard32(), 0u);
    ASSERT_TRUE(v->DefineData(ZuAtomRef("real"), ZuValueRef(2.5)));
    ASSERT_TRUE(v->QueryData(ZuAtomRef("int_32"), read));
    EXPECT_EQ(read->RetInt32(), 2);
}

} // namespace
