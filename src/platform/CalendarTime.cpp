#include "platform/CalendarTime.h"

namespace quillet::platform {
namespace {

constexpr int64_t TicksPerSecond = 10'000'000;
constexpr int64_t SecondsPerDay = 86'400;
// Days from 1601-01-01 to 1970-01-01.
constexpr int64_t DaysFrom1601To1970 = 134'774;

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146'097 + static_cast<int64_t>(dayOfEra) - 719'468;
}

}  // namespace

bool IsLeapYear(unsigned year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month) {
    static constexpr unsigned days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool IsValidCalendarTime(const SystemTime& time) {
    return time.year >= 1601 && time.year <= 30827 && time.month >= 1 && time.month <= 12 &&
           time.day >= 1 && time.day <= DaysInMonth(time.year, time.month) && time.hour < 24 &&
           time.minute < 60 && time.second < 60 && time.milliseconds < 1000;
}

bool CalendarToFileTime(const SystemTime& time, FileTime& fileTime) {
    if (!IsValidCalendarTime(time)) {
        return false;
    }
    const int64_t days = DaysFromCivil(time.year, time.month, time.day) + DaysFrom1601To1970;
    const int64_t seconds =
        days * SecondsPerDay + time.hour * 3600 + time.minute * 60 + time.second;
    fileTime = static_cast<FileTime>(seconds * TicksPerSecond + time.milliseconds * 10'000);
    return true;
}

SystemTime UnixTimeToCalendar(int64_t unixSeconds) {
    int64_t days = unixSeconds / SecondsPerDay;
    int64_t rest = unixSeconds % SecondsPerDay;
    if (rest < 0) {
        rest += SecondsPerDay;
        --days;
    }
    // Inverse of DaysFromCivil.
    days += 719'468;
    const int64_t era = (days >= 0 ? days : days - 146'096) / 146'097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146'097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const unsigned month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const int64_t year = static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);

    SystemTime time;
    time.year = static_cast<uint16_t>(year);
    time.month = static_cast<uint16_t>(month);
    time.day = static_cast<uint16_t>(day);
    time.hour = static_cast<uint16_t>(rest / 3600);
    time.minute = static_cast<uint16_t>(rest % 3600 / 60);
    time.second = static_cast<uint16_t>(rest % 60);
    return time;
}

SystemTime FileTimeToCalendar(FileTime fileTime) {
    const auto seconds = static_cast<int64_t>(fileTime / TicksPerSecond);
    return UnixTimeToCalendar(seconds - DaysFrom1601To1970 * SecondsPerDay);
}

}  // namespace quillet::platform
