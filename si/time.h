// ZuTime: a date and a time of day, and the conversions between calendar
// dates with times and absolute times (signed 64-bit milliseconds).
//
// Dates are Gregorian, extended backwards without limit. Day numbers count
// from 15 October 1582, the first day of the Gregorian calendar (day 0);
// 1 January 1970 is day 141427. An absolute time is
// day × 86400000 + milliseconds since midnight; times before day 0 are
// negative and fall on the day below them (floor division), so that the
// time of day is always 0 … 86399999.
#ifndef SI_TIME_H
#define SI_TIME_H

#include "si/object.h"

#include <cstdint>

ZU_HANDLE(ZuTime, ZuObject)

class ZuTime : public ZuObject {
    ZU_CLASS(ZuTime, ZuObject)
public:
    ZuTime();

    // False, and nothing changes, for a date that does not exist (or whose
    // day number does not fit 32 bits).
    virtual bool SetDate(unsigned day, unsigned month, unsigned year);
    virtual bool GetDate(unsigned& day, unsigned& month, unsigned& year);
    // False unless hour < 24, minute < 60, second < 60, millisecond < 1000.
    virtual bool SetTime(unsigned hour, unsigned minute, unsigned second, unsigned millisecond);
    virtual bool GetTime(unsigned& hour, unsigned& minute, unsigned& second, unsigned& millisecond);
    virtual bool GetTime(unsigned& hour, unsigned& minute, unsigned& second);
    // 0 Sunday, 1 Monday ... 6 Saturday.
    virtual unsigned RetDayOfWeek();
    // False, and nothing changes, when the day does not fit 32 bits.
    virtual bool SetAbsTime(int64_t abs);
    virtual int64_t RetAbsTime();

    // 0 for a date that does not exist; the time fields are not checked.
    static int64_t DateTimeToAbsTime(unsigned day, unsigned month, unsigned year, unsigned hour,
                                     unsigned minute, unsigned second, unsigned millisecond);
    static void AbsTimeToDateTime(int64_t abs, unsigned& day, unsigned& month, unsigned& year,
                                  unsigned& hour, unsigned& minute, unsigned& second);
    static void AbsTimeToDateTime(int64_t abs, unsigned& day, unsigned& month, unsigned& year,
                                  unsigned& hour, unsigned& minute, unsigned& second,
                                  unsigned& millisecond);
    static unsigned AbsTimeToDayOfWeek(int64_t abs);
    static int64_t NowLocalAbsTime();
    static int64_t NowGMTAbsTime();

    // The day number of a date; false when the date does not exist.
    static bool DateToDayNumber(unsigned day, unsigned month, unsigned year, int64_t& number);
    // The date of a day number (years before 1 count down from 0).
    static void DayNumberToDate(int64_t number, unsigned& day, unsigned& month, int64_t& year);

protected:
    // The root part, the record "<ZuTime day time>", begin, the day as a
    // signed and the time as an unsigned integer, end.
    void StoreInstance(const ZuStorageRef& storage) override;
    void RestoreInstance(const ZuStorageRef& storage) override;

private:
    int32_t day;
    uint32_t time;
};

ZU_CLASS_END(ZuTime)

#endif
