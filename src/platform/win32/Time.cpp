#include "platform/Time.h"

#include "platform/win32/WindowsApi.h"

#include "platform/CalendarTime.h"

namespace quillet::platform {
namespace {

FileTime ToFileTime(const FILETIME& time) {
    return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
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

}  // namespace quillet::platform
