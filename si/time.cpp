#include "si/time.h"

#include "sd/win32/sd_system.h"
#include "si/classfactory.h"
#include "si/rtclass.h"
#include "si/storage.h"

namespace {

const char kFile[] = "si/time";

} // namespace

ZU_IMPLEMENT_CLASS(ZuTime, kFile, ZU_CLASS_PLAIN)

namespace {

const int64_t kMsPerDay = 86400000;
const int64_t kDay1970 = 141427;

// Floor division and the matching remainder (0 … d − 1) for d > 0.
int64_t FloorDiv(int64_t n, int64_t d)
{
    int64_t q = n / d;
    return (n % d < 0) ? q - 1 : q;
}

int64_t FloorMod(int64_t n, int64_t d)
{
    int64_t r = n % d;
    return r < 0 ? r + d : r;
}

bool IsLeap(int64_t year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

unsigned MonthLength(unsigned month, int64_t year)
{
    static const unsigned lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : lengths[month - 1];
}

bool FitsDay(int64_t n)
{
    return n >= INT32_MIN && n <= INT32_MAX;
}

} // namespace

ZuTime::ZuTime() : day(0), time(0) {}

bool ZuTime::DateToDayNumber(unsigned d, unsigned month, unsigned year, int64_t& number)
{
    if (month < 1 || month > 12 || d < 1 || d > MonthLength(month, year))
        return false;
    int64_t y = static_cast<int64_t>(year) - 1;
    int64_t n = static_cast<int64_t>(year) * 365 + FloorDiv(y, 4) - 365 + FloorDiv(y, 400) -
                FloorDiv(y, 100);
    for (unsigned m = 1; m < month; ++m)
        n += MonthLength(m, year);
    number = n + d - 577736;
    return true;
}

void ZuTime::DayNumberToDate(int64_t number, unsigned& d, unsigned& month, int64_t& year)
{
    // Days since 1 March of year 0, in 400-year eras of 146097 days.
    int64_t z = number - kDay1970 + 719468;
    int64_t era = FloorDiv(z, 146097);
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<unsigned>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
    year = yoe + era * 400 + (month <= 2 ? 1 : 0);
}

bool ZuTime::SetDate(unsigned d, unsigned month, unsigned year)
{
    int64_t n;
    if (!DateToDayNumber(d, month, year, n) || !FitsDay(n))
        return false;
    day = static_cast<int32_t>(n);
    return true;
}

bool ZuTime::GetDate(unsigned& d, unsigned& month, unsigned& year)
{
    int64_t y;
    DayNumberToDate(day, d, month, y);
    year = static_cast<unsigned>(y);
    return true;
}

bool ZuTime::SetTime(unsigned hour, unsigned minute, unsigned second, unsigned millisecond)
{
    if (hour >= 24 || minute >= 60 || second >= 60 || millisecond >= 1000)
        return false;
    time = ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
    return true;
}

bool ZuTime::GetTime(unsigned& hour, unsigned& minute, unsigned& second, unsigned& millisecond)
{
    millisecond = time % 1000;
    second = (time / 1000) % 60;
    minute = (time / 60000) % 60;
    hour = time / 3600000;
    return true;
}

bool ZuTime::GetTime(unsigned& hour, unsigned& minute, unsigned& second)
{
    unsigned ms;
    return GetTime(hour, minute, second, ms);
}

unsigned ZuTime::RetDayOfWeek()
{
    return static_cast<unsigned>(((day % 7) + 12) % 7);
}

bool ZuTime::SetAbsTime(int64_t abs)
{
    int64_t n = FloorDiv(abs, kMsPerDay);
    if (!FitsDay(n))
        return false;
    day = static_cast<int32_t>(n);
    time = static_cast<uint32_t>(FloorMod(abs, kMsPerDay));
    return true;
}

int64_t ZuTime::RetAbsTime()
{
    return static_cast<int64_t>(day) * kMsPerDay + time;
}

int64_t ZuTime::DateTimeToAbsTime(unsigned d, unsigned month, unsigned year, unsigned hour,
                                  unsigned minute, unsigned second, unsigned millisecond)
{
    int64_t n;
    if (!DateToDayNumber(d, month, year, n))
        return 0;
    return (n * 86400 + (static_cast<int64_t>(hour) * 60 + minute) * 60 + second) * 1000 +
           millisecond;
}

void ZuTime::AbsTimeToDateTime(int64_t abs, unsigned& d, unsigned& month, unsigned& year,
                               unsigned& hour, unsigned& minute, unsigned& second,
                               unsigned& millisecond)
{
    int64_t t = FloorMod(abs, kMsPerDay);
    millisecond = static_cast<unsigned>(t % 1000);
    second = static_cast<unsigned>((t / 1000) % 60);
    minute = static_cast<unsigned>((t / 60000) % 60);
    hour = static_cast<unsigned>(t / 3600000);
    int64_t y;
    DayNumberToDate(FloorDiv(abs, kMsPerDay), d, month, y);
    year = static_cast<unsigned>(y);
}

void ZuTime::AbsTimeToDateTime(int64_t abs, unsigned& d, unsigned& month, unsigned& year,
                               unsigned& hour, unsigned& minute, unsigned& second)
{
    unsigned ms;
    AbsTimeToDateTime(abs, d, month, year, hour, minute, second, ms);
}

unsigned ZuTime::AbsTimeToDayOfWeek(int64_t abs)
{
    return static_cast<unsigned>(FloorMod(FloorDiv(abs, kMsPerDay) + 5, 7));
}

namespace {

int64_t Now(bool local)
{
    Zuvi_ClockTime now;
    if (!Zuvi_ReadClock(local, now))
        return 0;
    return ZuTime::DateTimeToAbsTime(now.day, now.month, now.year, now.hour, now.minute, now.second,
                                     now.millisecond);
}

} // namespace

int64_t ZuTime::NowLocalAbsTime()
{
    return Now(true);
}

int64_t ZuTime::NowGMTAbsTime()
{
    return Now(false);
}

// ---- Storage -------------------------------------------------------------

namespace {

ZuStorageSync& TimeRecord()
{
    static ZuStorageSync record("<ZuTime day time>");
    return record;
}

} // namespace

void ZuTime::StoreInstance(const ZuStorageRef& storage)
{
    ZuObject::StoreInstance(storage);
    storage << TimeRecord() << ZuStorageSync::begin;
    storage->StoreInt(day);
    storage->StoreCard(time);
    storage << ZuStorageSync::end;
}

void ZuTime::RestoreInstance(const ZuStorageRef& storage)
{
    ZuObject::RestoreInstance(storage);
    storage >> ZuStorageSync::type >> ZuStorageSync::begin;
    // Values that no time can have (from a damaged file) leave the field as
    // it was.
    int64_t d = storage->RestoreInt(day);
    if (FitsDay(d))
        day = static_cast<int32_t>(d);
    uint64_t t = storage->RestoreCard(time);
    if (t < static_cast<uint64_t>(kMsPerDay))
        time = static_cast<uint32_t>(t);
    storage >> ZuStorageSync::end;
}
