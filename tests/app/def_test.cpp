// The attribute definition base: defaults, count and index, the stored
// record, bad stored input, and what every definition class shares
// (CloneTo, CopyFrom, a store and restore round trip).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/arcdef.h"
#include "app/arrowdef.h"
#include "app/closedef.h"
#include "app/colordef.h"
#include "app/cornerdef.h"
#include "app/def.h"
#include "app/fontdef.h"
#include "app/motifdef.h"
#include "app/patterndef.h"
#include "app/pendef.h"
#include "app/polyrdef.h"
#include "app/positiondef.h"
#include "app/pulsardef.h"
#include "si/except.h"
#include "si/storage.h"
#include "tests/app/deftest.h"

namespace {

// What a new CDef writes after its object part.
const Bytes new_record_tail = [] {
    Bytes b = {0xFC, 0xFE, 0x08, 0x1C, 0xFE, 0x1C, 0x70, 0x01, 0x00, 0x15, 0x0A, 0xFC};
    for (int i = 0; i < 10; i++)
        b.insert(b.end(), {0xFC, 0x14, 0xFF, 0xFD});
    b.insert(b.end(), {0xFD, 0xFE, 0x15, 0x01, 0x1C, 0x1C, 0xFD});
    return b;
}();

class CDefTest : public DefTest {
protected:
    // The object part that precedes every definition record.
    Bytes ObjectPart()
    {
        Bytes b = Stored(Make<CDefRef>());
        b.resize(b.size() - new_record_tail.size());
        return b;
    }
};

TEST_F(CDefTest, NewDefinitionHasTheDefaults)
{
    CDefRef d = Make<CDefRef>();
    EXPECT_EQ(1, d->GetCount());
    EXPECT_EQ(0, d->GetIndex());
    EXPECT_STREQ("", d->RetNameText());
    EXPECT_FALSE(d->IsShared());
    EXPECT_EQ(0, d->GetKind());
    EXPECT_EQ(0, d->GetStyle());
    EXPECT_EQ(-1, d->GetType());
    EXPECT_TRUE(d->GetDisplayName().IsInvalid());
    for (int i = 0; i < 10; i++) {
        d->SetCount(10);
        d->SetIndex(i);
        EXPECT_EQ(-1, d->GetValue()) << i;
    }
    // The base neither compares nor clones.
    CDefRef out;
    d->CloneTo(out);
    EXPECT_TRUE(out.IsInvalid());
    EXPECT_FALSE(d->IsEqualCurrent(d));
    EXPECT_FALSE(d->IsEqualAll(d));
}

TEST_F(CDefTest, CountAndIndexStayInRange)
{
    struct Case {
        int count_before, index_before;
        bool set_count;
        int argument;
        int count, index;
    } const cases[] = {
        {1, 0, true, 0, 1, 0},   {1, 0, true, 25, 10, 0}, {10, 7, true, 3, 3, 2},
        {10, 7, true, -2, 1, 0}, {5, 1, false, -4, 5, 0}, {5, 1, false, 12, 5, 4},
        {5, 1, false, 3, 5, 3},
    };
    for (const Case& c : cases) {
        CDefRef d = Make<CDefRef>();
        d->SetCount(c.count_before);
        d->SetIndex(c.index_before);
        EXPECT_TRUE(c.set_count ? d->SetCount(c.argument) : d->SetIndex(c.argument));
        EXPECT_EQ(c.count, d->GetCount()) << c.argument;
        EXPECT_EQ(c.index, d->GetIndex()) << c.argument;
    }
}

TEST_F(CDefTest, ValuesNameKindStyleAndSharedAreKept)
{
    CDefRef d = Make<CDefRef>();
    d->SetCount(3);
    d->SetIndex(1);
    EXPECT_TRUE(d->SetValue(42));
    d->SetIndex(0);
    EXPECT_EQ(-1, d->GetValue());
    d->SetIndex(1);
    EXPECT_EQ(42, d->GetValue());
    EXPECT_TRUE(d->SetKind(15));
    EXPECT_EQ(15, d->GetKind());
    EXPECT_TRUE(d->SetStyle(2));
    EXPECT_EQ(2, d->GetStyle());
    d->SetShared(true);
    EXPECT_TRUE(d->IsShared());
    d->SetName(ZuStringRef("Trait fin"));
    ZuStringRef name = d->GetName();
    ASSERT_TRUE(name.IsValid());
    EXPECT_STREQ("Trait fin", name->AccessLatin());
    // The name handed out is a copy.
    name->AppendString("!");
    EXPECT_STREQ("Trait fin", d->RetNameText());
}

TEST_F(CDefTest, LongNameIsCutAt49Characters)
{
    CDefRef d = Make<CDefRef>();
    std::string const long_name(80, 'n');
    d->SetName(ZuStringRef(long_name.c_str()));
    EXPECT_EQ(std::string(49, 'n'), d->RetNameText());
    d->SetName(ZuStringNull);
    EXPECT_STREQ("", d->RetNameText());
}

TEST_F(CDefTest, NewDefinitionRecordIsExact)
{
    const Bytes bytes = Stored(Make<CDefRef>());
    ASSERT_GT(bytes.size(), new_record_tail.size());
    const Bytes tail(bytes.end() - new_record_tail.size(), bytes.end());
    EXPECT_EQ(new_record_tail, tail);
    // The object part before it is a record of its own, closed by its end.
    EXPECT_EQ(0x80, bytes.front());
    EXPECT_EQ(0xFD, bytes[bytes.size() - new_record_tail.size() - 1]);
}

TEST_F(CDefTest, NamedDefinitionRecordHoldsTheNameAndItsNul)
{
    CDefRef d = Make<CDefRef>();
    d->SetName(ZuStringRef("Abc"));
    d->SetShared(true);
    d->SetKind(300);
    const Bytes bytes = Stored(d);
    const Bytes part = ObjectPart();
    const Bytes head(bytes.begin() + part.size(), bytes.begin() + part.size() + 14);
    // begin mark true Int 300 mark Int 3, then 4 bytes of name.
    EXPECT_EQ(
        (Bytes{0xFC, 0xFE, 0x09, 0x19, 0x01, 0x2C, 0xFE, 0x15, 0x03, 0x70, 0x04, 'A', 'b', 'c'}),
        head);
    EXPECT_EQ(0x00, bytes[part.size() + 14]);
}

TEST_F(CDefTest, CountThreeStillStoresAndRestoresTenValues)
{
    CDefRef d = Make<CDefRef>();
    d->SetCount(10);
    for (int i = 0; i < 10; i++) {
        d->SetIndex(i);
        d->SetValue(100 + i);
    }
    d->SetCount(3);
    d->SetIndex(1);
    d->SetStyle(3);
    d->SetName(ZuStringRef("Dix"));
    const Bytes bytes = Stored(d);

    CDefRef back = Make<CDefRef>();
    EXPECT_TRUE(Restore(back, bytes));
    EXPECT_EQ(3, back->GetCount());
    EXPECT_EQ(1, back->GetIndex());
    EXPECT_EQ(3, back->GetStyle());
    EXPECT_STREQ("Dix", back->RetNameText());
    back->SetCount(10);
    for (int i = 0; i < 10; i++) {
        back->SetIndex(i);
        EXPECT_EQ(100 + i, back->GetValue()) << i;
    }
}

// Stored records from outside: lengths and counts beyond the fields are
// read and dropped, the stream stays in step, and nothing is written past
// the name places or the ten values.
TEST_F(CDefTest, BadStoredLengthsAndCountsStayInBounds)
{
    struct Case {
        const char* what;
        long long name_length;
        std::string name_bytes; // written as one binary item
        long long value_count;
        int value_blocks;
        int count, index;
        std::string name;
        int want_count, want_index;
    } const cases[] = {
        {"long name", 60, std::string(61, 'x'), 10, 10, 3, 2, std::string(49, 'x'), 3, 2},
        {"49 with no NUL", 49, std::string(50, 'y'), 10, 10, 3, 2, std::string(49, 'y'), 3, 2},
        {"NUL missing", 2, "abc", 10, 10, 3, 2, "ab", 3, 2},
        {"negative length", -5, std::string(10, 'z'), 10, 10, 3, 2, "Garde", 3, 2},
        {"twelve values", 3, std::string("Abc") + '\0', 12, 12, 3, 2, "Abc", 3, 2},
        {"huge value count", 3, std::string("Abc") + '\0', 2147483647LL, 10, 3, 2, "Abc", 3, 2},
        {"count and index too high", 0, std::string(1, '\0'), 10, 10, 25, 30, "", 10, 9},
        {"count and index too low", 0, std::string(1, '\0'), 10, 10, -3, -1, "", 1, 0},
        {"index past the count", 0, std::string(1, '\0'), 10, 10, 4, 7, "", 4, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes = ObjectPart();
        const Bytes record = Written([&](const ZuStorageRef& s) {
            s << ZuStorageSync::begin << ZuStorageSync::mark << true << 7 << ZuStorageSync::mark;
            s->StoreInt(c.name_length);
            s->StoreBinData(c.name_bytes.data(), unsigned(c.name_bytes.size()));
            s->StoreInt(c.value_count);
            s << ZuStorageSync::repeat;
            for (int b = 0; b < c.value_blocks; b++)
                s << ZuStorageSync::begin << 100 + b << ZuStorageSync::end;
            s << ZuStorageSync::end_repeat << ZuStorageSync::mark << c.count << c.index << 6;
            s << ZuStorageSync::end << 77;
        });
        bytes.insert(bytes.end(), record.begin(), record.end());

        CDefRef d = Make<CDefRef>();
        d->SetName(ZuStringRef("Garde"));
        Restore(d, bytes);
        EXPECT_EQ(77, store->RestoreInt(0)) << "out of step";
        EXPECT_EQ(0u, store->Remaining());
        EXPECT_EQ(c.name, d->RetNameText());
        EXPECT_TRUE(d->IsShared());
        EXPECT_EQ(7, d->GetKind());
        EXPECT_EQ(6, d->GetStyle());
        EXPECT_EQ(c.want_count, d->GetCount());
        EXPECT_EQ(c.want_index, d->GetIndex());
        d->SetCount(10);
        for (int i = 0; i < 10; i++) {
            d->SetIndex(i);
            EXPECT_EQ(100 + i, d->GetValue()) << i;
        }
    }
}

TEST_F(CDefTest, TruncatedRecordEndsInStreamException)
{
    CDefRef d = Make<CDefRef>();
    d->SetName(ZuStringRef("Coupé"));
    const Bytes bytes = Stored(d);
    for (std::size_t cut = 0; cut < bytes.size(); cut++) {
        const Bytes part(bytes.begin(), bytes.begin() + cut);
        CDefRef back = Make<CDefRef>();
        EXPECT_THROW(Restore(back, part), ZuExcStream) << cut;
    }
}

// A record cut after its count and index leaves them in range too.
TEST_F(CDefTest, CutAfterCountAndIndexKeepsThemInRange)
{
    Bytes bytes = ObjectPart();
    const Bytes record = Written([&](const ZuStorageRef& s) {
        s << ZuStorageSync::begin << ZuStorageSync::mark << false << 0 << ZuStorageSync::mark << 0;
        s->StoreBinData("", 1);
        s << 0 << ZuStorageSync::repeat << ZuStorageSync::end_repeat;
        s << ZuStorageSync::mark << 25 << 30;
    });
    bytes.insert(bytes.end(), record.begin(), record.end());
    CDefRef d = Make<CDefRef>();
    EXPECT_THROW(Restore(d, bytes), ZuExcStream);
    EXPECT_EQ(10, d->GetCount());
    EXPECT_EQ(9, d->GetIndex());
}

// ------------------------------------------------------------ every class

struct ClassCase {
    const char* class_name;
    int type;
    // Changes that make the definition differ from a new one in each of
    // its own fields.
    std::function<void(const CDefRef&)> change;
};

const ClassCase classes[] = {
    {"CColorDef", 20,
     [](const CDefRef& d) {
         CColorDefRef c(d);
         c->SetValue(CColorDef::MODEL_CMYK);
         c->SetCMYK(0.1, 0.2, 0.3, 0.4);
         c->SetTransparency(0.5);
     }},
    {"CArcDef", 41,
     [](const CDefRef& d) {
         CArcDefRef(d)->SetMode(224);
         d->SetValue(221);
     }},
    {"CArrowDef", 60,
     [](const CDefRef& d) {
         CArrowDefRef a(d);
         a->SetValue(69);
         a->SetFlags(1);
         a->SetParam1(1.5);
         a->SetParam2(2.5);
         a->SetParam3(3.5);
         a->SetParam4(4.5);
         a->SetParam5(0.25);
     }},
    {"CCloseDef", 15, [](const CDefRef& d) { CCloseDefRef(d)->SetClosed(true); }},
    {"CCornerDef", 50,
     [](const CDefRef& d) {
         CCornerDefRef c(d);
         c->SetValue(114);
         c->SetLength(2.5);
     }},
    {"CFontDef", 80,
     [](const CDefRef& d) {
         CFontDefRef f(d);
         f->SetName(ZuStringRef("Times-Roman"));
         f->SetValue(46);
         f->SetScale(12);
         f->SetStretch(0.1);
         f->SetItalic(0.2);
         f->SetReserved(0.3);
         f->SetWidth(0.4);
         f->SetWordSpacing(0.5);
         f->SetReservedInt(6);
     }},
    {"CPenDef", 10,
     [](const CDefRef& d) {
         CPenDefRef p(d);
         p->SetValue(CPenDef::KIND_FANCY);
         p->SetWidth(0.5);
         p->SetCap(1);
         p->SetJoin(2);
         p->SetMiterLimit(3.5);
         p->SetDash(4, 1.5);
         p->SetGap(4, 2.5);
         p->SetDashOffset(0.25);
         p->SetMotifMode(8 | 512);
         p->SetMotifParam(7.0);
         p->SetMotifPair(1, 0.5);
         p->SetMotifValue1(1.25);
         p->SetMotifValue2(0.75);
         p->SetMotifValue3(-2.0);
     }},
    {"CMotifDef", 30,
     [](const CDefRef& d) {
         CMotifDefRef m(d);
         m->SetValue(CMotifDef::KIND_GRADIENT);
         m->SetGradientType(CMotifDef::GRADIENT_CURVES);
         m->SetMeshFlags(0x1000 | 0x20000);
         m->SetGradientPoint(5, 0.125);
         m->SetHatchAngle(3, 0.5);
         m->SetStepY(2.0);
         m->SetVariation(0.25);
     }},
    {"CPositionDef", 70,
     [](const CDefRef& d) {
         CPositionDefRef p(d);
         p->SetValue(CPositionDef::TOP_LEFT);
         p->SetOffsetX(3.0);
         p->SetOffsetY(-4.0);
         p->SetInclude(1.5);
     }},
    {"CPolyRegDef", 40,
     [](const CDefRef& d) {
         CPolyRegDefRef p(d);
         p->SetValue(CPolyRegDef::STAR);
         p->SetSides(12);
         p->SetIndentation(0.25);
     }},
    {"CPatternDef", 11,
     [](const CDefRef& d) {
         CPatternDefRef b(d);
         b->SetValue(0);
         b->LoadPrefab(13);
         double const point[] = {20, 0.5, 0.25, 0.125, 1};
         b->InsertElement(12, point);
     }},
    {"CPulsarDef", 12,
     [](const CDefRef& d) {
         CPulsarDefRef p(d);
         p->SetValue(191);
         p->SetAxis(1);
         p->SetOscillator(193, 4, 1, 0.25);
         p->SetEnvelope(215, 0.25, 0.5, 0.75);
         p->SetRotationMode(198, 0.5, 2);
         p->SetAuxParams(1, 2.5, 3);
         p->SetValueKind(3, 5);
         p->SetAmplitude(3, 2);
         p->SetOffset(3, -1);
         p->SetValueFlags(3, 1);
         p->NewRandomSeed();
     }},
};

// The base fields of two definitions.
void ExpectSameBase(const CDefRef& a, const CDefRef& b)
{
    EXPECT_STREQ(a->RetNameText(), b->RetNameText());
    EXPECT_EQ(a->GetKind(), b->GetKind());
    EXPECT_EQ(a->GetCount(), b->GetCount());
    EXPECT_EQ(a->GetIndex(), b->GetIndex());
    EXPECT_EQ(a->GetStyle(), b->GetStyle());
    EXPECT_EQ(a->IsShared(), b->IsShared());
    const int index = a->GetIndex();
    for (int i = 0; i < 10; i++) {
        a->SetIndex(i);
        b->SetIndex(i);
        EXPECT_EQ(a->GetValue(), b->GetValue()) << i;
    }
    a->SetIndex(index);
    b->SetIndex(index);
}

CDefRef Changed(const char* class_name, const std::function<void(const CDefRef&)>& change)
{
    CDefRef d(ZuObjectRef(ZuClassFactory::New(class_name, nullptr, __LINE__, __FILE__)));
    d->SetName(ZuStringRef("Essai"));
    d->SetKind(25);
    d->SetCount(10);
    d->SetIndex(9);
    d->SetValue(0);
    d->SetCount(4);
    d->SetIndex(2);
    d->SetStyle(1);
    change(d);
    return d;
}

TEST_F(CDefTest, EveryClassClonesCopiesAndRoundTrips)
{
    for (const ClassCase& c : classes) {
        SCOPED_TRACE(c.class_name);
        CDefRef fresh = Make(c.class_name);
        EXPECT_EQ(c.type, fresh->GetType());
        CDefRef d = Changed(c.class_name, c.change);
        EXPECT_FALSE(d->IsEqualCurrent(fresh));
        EXPECT_FALSE(fresh->IsEqualCurrent(d));

        CDefRef clone;
        d->CloneTo(clone);
        ASSERT_TRUE(clone.IsValid());
        EXPECT_FALSE(clone == d);
        EXPECT_TRUE(clone->IsA(d->RetRuntime()));
        EXPECT_TRUE(clone->IsEqualCurrent(d));
        EXPECT_TRUE(d->IsEqualCurrent(clone));
        ExpectSameBase(d, clone);

        // CopyFrom makes a new definition equal.
        fresh->CopyFrom(d);
        EXPECT_TRUE(fresh->IsEqualCurrent(d));
        ExpectSameBase(d, fresh);

        CDefRef back = RoundTrip(d);
        ASSERT_TRUE(back.IsValid());
        EXPECT_TRUE(back->IsA(d->RetRuntime()));
        EXPECT_TRUE(back->IsEqualCurrent(d));
        ExpectSameBase(d, back);
        // Equal at the other indexes too.
        for (int i = 0; i < 4; i++) {
            back->SetIndex(i);
            d->SetIndex(i);
            EXPECT_TRUE(back->IsEqualCurrent(d)) << i;
        }

        // A shared definition is handed out as itself.
        d->SetShared(true);
        CDefRef same;
        d->CloneTo(same);
        EXPECT_TRUE(same == d);
    }
}

TEST_F(CDefTest, ComparingOrCopyingAcrossClassesThrows)
{
    for (const ClassCase& c : classes) {
        SCOPED_TRACE(c.class_name);
        CDefRef d = Make(c.class_name);
        CDefRef other = Make(std::strcmp(c.class_name, "CArcDef") == 0 ? "CFontDef" : "CArcDef");
        EXPECT_THROW(d->IsEqualCurrent(other), ZuExcObject);
        EXPECT_THROW(d->CopyFrom(other), ZuExcObject);
        // Nothing was copied before the refusal.
        EXPECT_TRUE(d->IsEqualCurrent(Make(c.class_name)));
    }
}

} // namespace
