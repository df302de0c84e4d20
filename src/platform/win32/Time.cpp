#include "platform/Time.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform/CalendarTime.h"

namespace quillet::platform {
namespace {

FileTime ToFileTime(const FILETIME& time) {
    return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The calendar fields of an MS-DOS date (day, month, years since 1980) and time (two-second steps).
SystemTime DosToCalendar(uint16_t dosDate, uint16_t dosTime) {
    SystemTime time;
    time.year = static_cast<uint16_t>(1980 + (dosDate >> 9));
    time.month = static_cast<uint16_t>((dosDate >> 5) & 0x0F);
    time.day = static_cast<uint16_t>(dosDate & 0x1F);
    time.hour = static_cast<uint16_t>(dosTime >> 11);
    time.minute = static_cast<uint16_t>((dosTime >> 5) & 0x3F);
    time.second = static_cast<uint16_t>((dosTime & 0x1F) * 2);
    return time;
}

}  // namespace

// Windows checks the calendar itself. Checking first as well keeps wine, whose conversions take
// February 29 of every year, answering exactly as Windows does.
bool SystemTimeToFileTime(const SystemTime& time, FileTime& fileTime) {
    if (!IsValidCalendarTime(time)) {
        return false;
    }
    const SYSTEMTIME system{time.year, time.month,  time.dayOfWeek, time.day,
                            time.hour, time.minute, time.second,    time.milliseconds};
    FILETIME converted{};
    if (!::SystemTimeToFileTime(&system, &converted)) {
        return false;
    }
    fileTime = ToFileTime(converted);
    return true;
}

bool DosDateTimeToFileTime(uint16_t dosDate, uint16_t dosTime, FileTime& fileTime) {
    if (!IsValidCalendarTime(DosToCalendar(dosDate, dosTime))) {
        return false;
    }
    FILETIME converted{};
    if (!::DosDateTimeToFileTime(dosDate, dosTime, &converted)) {
        return false;
    }
    fileTime = ToFileTime(converted);
    return true;
}

}  // namespace quillet::platform
