// Pen definitions: defaults, the limit angle, the description, index bounds
// and the stored pairs.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/pendef.h"
#include "si/storage.h"
#include "tests/app/deftest.h"

namespace {

class CPenDefTest : public DefTest {
protected:
    static CPenDefRef New() { return Make<CPenDefRef>(); }
    static std::string Shown(const CPenDefRef& p) { return p->GetDisplayName()->AccessLatin(); }
    // The pen's own record as a new pen stores it, with `pairs` pairs.
    Bytes OwnRecord(long long pairs)
    {
        return Written([&](const ZuStorageRef& s) {
            s << ZuStorageSync::begin << 0.0 << 0 << 0 << 10.0;
            s->StoreInt(pairs);
            s << ZuStorageSync::repeat;
            for (long long i = 0; i < pairs; ++i)
                s << ZuStorageSync::begin << double(i + 1) << double(i + 11) << ZuStorageSync::end;
            s << ZuStorageSync::end_repeat << 0.0 << ZuStorageSync::mark << 0 << 12.0 << 1.0 << 1.0
              << 0.0 << 0.0 << 0.0 << ZuStorageSync::end;
        });
    }
};

TEST_F(CPenDefTest, NewPenIsPlainAndThin)
{
    CPenDefRef p = New();
    EXPECT_EQ(10, p->GetType());
    EXPECT_EQ(40, p->GetValue());
    EXPECT_EQ(1, p->GetCount());
    EXPECT_EQ(0.0, p->GetWidth());
    EXPECT_EQ(10.0, p->GetMiterLimit());
    EXPECT_EQ(12.0, p->GetMotifParam());
    EXPECT_EQ(1.0, p->GetMotifPair(1));
    EXPECT_NEAR(0.20034, p->GetLimitAngle(), 1e-5);
    EXPECT_EQ(1, p->CountKindValues());
    p->SetValue(41);
    EXPECT_EQ(6, p->CountKindValues());
    p->SetCount(10);
    p->SetIndex(9);
    EXPECT_EQ(40, p->GetValue());
}

TEST_F(CPenDefTest, LimitAngleSetsTheMiterLimit)
{
    struct Case {
        double angle;
        double limit;
    } const cases[] = {
        {3.141592653589793, 1.0},
        {3.1415926535, 1.0},
        {4.0, 1.0},
        {0.0, 10000.0},
        {1.5707963267948966, 1.4142135623730951},
        {0.2003348423231196, 10.0},
    };
    CPenDefRef p = New();
    for (const Case& c : cases) {
        p->SetLimitAngle(c.angle);
        EXPECT_NEAR(c.limit, p->GetMiterLimit(), 1e-9) << c.angle;
    }
}

TEST_F(CPenDefTest, Description)
{
    struct Case {
        double width;
        int cap;
        double dash;
        double gap;
        const char* text;
    } const cases[] = {
        {0.5, 1, 0.0, 0.0, "Trait continu, \xe9paisseur=0.50, extr\xe9mit\xe9s=rond"},
        {0.5, 1, 2.0, 0.0, "Trait continu, \xe9paisseur=0.50, extr\xe9mit\xe9s=rond"},
        {0.5, 1, 0.0, 2.0, "Trait continu, \xe9paisseur=0.50, extr\xe9mit\xe9s=rond"},
        {1.235, 2, 2.0, 1.0, "Traitill\xe9, \xe9paisseur=1.24, extr\xe9mit\xe9s=carr\xe9"},
        {0.0, 0, 0.0, 0.0, "Trait continu, \xe9paisseur=0.00, extr\xe9mit\xe9s=coup\xe9"},
        {-1.0, 7, 0.0, 0.0, "Trait continu, \xe9paisseur=-1.00, extr\xe9mit\xe9s=coup\xe9"},
    };
    for (const Case& c : cases) {
        CPenDefRef p = New();
        p->SetWidth(c.width);
        p->SetCap(c.cap);
        p->SetDash(0, c.dash);
        p->SetGap(0, c.gap);
        EXPECT_EQ(c.text, Shown(p));
    }
    // A width from a file far beyond any page still gives a whole text.
    CPenDefRef huge = New();
    huge->SetWidth(1e300);
    EXPECT_EQ(0u, Shown(huge).find("Trait continu, \xe9paisseur=1000"));
}

TEST_F(CPenDefTest, IndexesOutsideTheirRangesAreIgnored)
{
    CPenDefRef p = New();
    for (int i : {-1, 5}) {
        p->SetDash(i, 3.0);
        p->SetGap(i, 3.0);
        EXPECT_EQ(0.0, p->GetDash(i));
        EXPECT_EQ(0.0, p->GetGap(i));
    }
    for (int i : {-1, 2}) {
        p->SetMotifPair(i, 3.0);
        EXPECT_EQ(0.0, p->GetMotifPair(i));
    }
    EXPECT_TRUE(p->IsEqualCurrent(New()));
    p->SetDash(4, 3.0);
    EXPECT_EQ(3.0, p->GetDash(4));
    EXPECT_FALSE(p->IsEqualCurrent(New()));
}

TEST_F(CPenDefTest, EqualityLooksAtTheCurrentIndexOnly)
{
    CPenDefRef a = New();
    CPenDefRef b = New();
    a->SetCount(3);
    b->SetCount(3);
    b->SetIndex(2);
    b->SetValue(41);
    b->SetIndex(0);
    EXPECT_TRUE(a->IsEqualCurrent(b));
    b->SetIndex(2);
    a->SetIndex(2);
    EXPECT_FALSE(a->IsEqualCurrent(b));
}

TEST_F(CPenDefTest, StoredRecordAndSurplusPairs)
{
    CPenDefRef fresh = New();
    for (int i = 0; i < 5; ++i) {
        fresh->SetDash(i, i + 1);
        fresh->SetGap(i, i + 11);
    }
    const Bytes stored = Stored(fresh);
    const Bytes own = OwnRecord(5);
    ASSERT_GT(stored.size(), own.size());
    EXPECT_EQ(own, Bytes(stored.end() - own.size(), stored.end()));
    const Bytes prefix(stored.begin(), stored.end() - own.size());

    // Seven pairs: the two beyond the five are read and dropped; three
    // pairs leave the others as they were.
    for (long long pairs : {7LL, 3LL}) {
        SCOPED_TRACE(pairs);
        Bytes bytes = prefix;
        const Bytes record = OwnRecord(pairs);
        bytes.insert(bytes.end(), record.begin(), record.end());
        CPenDefRef p = New();
        p->SetDash(4, 99.0);
        EXPECT_TRUE(Restore(p, bytes));
        EXPECT_EQ(3.0, p->GetDash(2));
        EXPECT_EQ(13.0, p->GetGap(2));
        EXPECT_EQ(pairs > 4 ? 5.0 : 99.0, p->GetDash(4));
        EXPECT_EQ(12.0, p->GetMotifParam());
    }
}

} // namespace
