#include "si/time.h"

#include "si/classfactory.h"
#include "si/memzone.h"
#include "tests/support/objmodel.h"
#include "tests/support/storagetest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

class Time : public ZuviRuntimeTest {};

ZuTimeRef NewTime()
{
    return ZuNew<ZuTime>();
}

} // namespace

TEST_F(Time, DayNumbersOfKnownDates)
{
    struct Case {
        unsigned d, m, y;
        int64_t n;
    } cases[] = {
        {15, 10, 1582, 0},    {14, 10, 1582, -1},    {1, 1, 1970, 141427},
        {1, 1, 2000, 152384}, {29, 2, 2000, 152443}, {1, 1, 1, -577735},
    };
    for (const Case& c : cases) {
        int64_t n = 0;
        ASSERT_TRUE(ZuTime::DateToDayNumber(c.d, c.m, c.y, n)) << c.y;
        EXPECT_EQ(n, c.n) << c.d << "." << c.m << "." << c.y;
        unsigned d, m;
        int64_t y;
        ZuTime::DayNumberToDate(n, d, m, y);
        EXPECT_EQ(d, c.d);
        EXPECT_EQ(m, c.m);
        EXPECT_EQ(y, static_cast<int64_t>(c.y));
    }
}

TEST_F(Time, DatesThatDoNotExistAreRefused)
{
    ZuTimeRef t = NewTime();
    ASSERT_TRUE(t->SetDate(1, 1, 1970));
    struct Case {
        unsigned d, m, y;
    } bad[] = {{29, 2, 1900}, {31, 4, 2021}, {0, 1, 2000},
               {1, 0, 2000},  {1, 13, 2000}, {32, 1, 2000}};
    for (const Case& c : bad) {
        EXPECT_FALSE(t->SetDate(c.d, c.m, c.y)) << c.d << "." << c.m << "." << c.y;
        EXPECT_EQ(ZuTime::DateTimeToAbsTime(c.d, c.m, c.y, 1, 2, 3, 4), 0);
    }
    unsigned d, m, y;
    t->GetDate(d, m, y); // unchanged
    EXPECT_EQ(d, 1u);
    EXPECT_EQ(m, 1u);
    EXPECT_EQ(y, 1970u);
    EXPECT_TRUE(t->SetDate(29, 2, 2000));
    EXPECT_TRUE(t->SetDate(29, 2, 1600));
}

TEST_F(Time, DaysOfWeek)
{
    ZuTimeRef t = NewTime();
    ASSERT_TRUE(t->SetDate(1, 1, 1970));
    EXPECT_EQ(t->RetDayOfWeek(), 4u); // Thursday
    ASSERT_TRUE(t->SetDate(15, 10, 1582));
    EXPECT_EQ(t->RetDayOfWeek(), 5u); // Friday
    ASSERT_TRUE(t->SetDate(14, 10, 1582));
    EXPECT_EQ(t->RetDayOfWeek(), 4u);
    ASSERT_TRUE(t->SetDate(9, 12, 2026));
    EXPECT_EQ(t->RetDayOfWeek(), 3u); // Wednesday
    EXPECT_EQ(ZuTime::AbsTimeToDayOfWeek(ZuTime::DateTimeToAbsTime(9, 12, 2026, 23, 59, 0, 0)), 3u);
    EXPECT_EQ(ZuTime::AbsTimeToDayOfWeek(-1), 4u);
}

TEST_F(Time, TimesOfDay)
{
    ZuTimeRef t = NewTime();
    EXPECT_FALSE(t->SetTime(24, 0, 0, 0));
    EXPECT_FALSE(t->SetTime(0, 60, 0, 0));
    EXPECT_FALSE(t->SetTime(0, 0, 60, 0));
    EXPECT_FALSE(t->SetTime(0, 0, 0, 1000));
    ASSERT_TRUE(t->SetTime(23, 59, 59, 999));
    EXPECT_EQ(t->RetAbsTime(), 86399999);
    unsigned h, m, s, ms;
    t->GetTime(h, m, s, ms);
    EXPECT_EQ(h, 23u);
    EXPECT_EQ(m, 59u);
    EXPECT_EQ(s, 59u);
    EXPECT_EQ(ms, 999u);
    h = m = s = 0;
    t->GetTime(h, m, s);
    EXPECT_EQ(h, 23u);
}

TEST_F(Time, NegativeAbsoluteTimesFallOnTheDayBefore)
{
    // One millisecond before day 0 is the last millisecond of 14 October
    // 1582, not a negative time of day.
    ZuTimeRef t = NewTime();
    ASSERT_TRUE(t->SetAbsTime(-1));
    unsigned d, mo, y, h, mi, s, ms;
    t->GetDate(d, mo, y);
    t->GetTime(h, mi, s, ms);
    EXPECT_EQ(d, 14u);
    EXPECT_EQ(mo, 10u);
    EXPECT_EQ(y, 1582u);
    EXPECT_EQ(h, 23u);
    EXPECT_EQ(ms, 999u);
    EXPECT_EQ(t->RetAbsTime(), -1);

    ZuTime::AbsTimeToDateTime(-86400000 - 1000, d, mo, y, h, mi, s, ms);
    EXPECT_EQ(d, 13u);
    EXPECT_EQ(h, 23u);
    EXPECT_EQ(mi, 59u);
    EXPECT_EQ(s, 59u);
    EXPECT_EQ(ms, 0u);
}

TEST_F(Time, AbsoluteTimesRoundTrip)
{
    int64_t abs = ZuTime::DateTimeToAbsTime(31, 12, 1999, 13, 14, 15, 16);
    EXPECT_EQ(abs, (152383LL * 86400 + 13 * 3600 + 14 * 60 + 15) * 1000 + 16);
    unsigned d, mo, y, h, mi, s, ms;
    ZuTime::AbsTimeToDateTime(abs, d, mo, y, h, mi, s, ms);
    EXPECT_EQ(d, 31u);
    EXPECT_EQ(mo, 12u);
    EXPECT_EQ(y, 1999u);
    EXPECT_EQ(h, 13u);
    EXPECT_EQ(mi, 14u);
    EXPECT_EQ(s, 15u);
    EXPECT_EQ(ms, 16u);
    ZuTimeRef t = NewTime();
    ASSERT_TRUE(t->SetAbsTime(abs));
    EXPECT_EQ(t->RetAbsTime(), abs);
    // A day that does not fit the 32-bit day field is refused.
    EXPECT_FALSE(t->SetAbsTime(INT64_MAX));
    EXPECT_EQ(t->RetAbsTime(), abs);
}

TEST_F(Time, NowIsTodayInUniversalTime)
{
    // The tests run with TZ=UTC: local time and universal time agree.
    int64_t gmt = ZuTime::NowGMTAbsTime();
    int64_t local = ZuTime::NowLocalAbsTime();
    EXPECT_LT(local - gmt, 5000);
    EXPECT_GT(gmt, ZuTime::DateTimeToAbsTime(1, 1, 2020, 0, 0, 0, 0));
}

TEST_F(Time, StoredAndRestored)
{
    ZuTimeRef t = NewTime();
    ASSERT_TRUE(t->SetAbsTime(-123456789));
    ZuTestStorageRef store = ZuTestStorage::Make();
    store->StartStoring();
    store->StoreObject(t);
    std::vector<unsigned char> bytes = store->Bytes();
    store->StartRestoring(bytes);
    ZuObjectRef back;
    store->RestoreObject(back, ZuTimeRef::RetRuntime());
    ZuTimeRef copy(back);
    ASSERT_TRUE(copy.IsValid());
    EXPECT_NE(copy.Resolve(), t.Resolve());
    EXPECT_EQ(copy->RetAbsTime(), -123456789);
}
