#pragma once

#include <cstdint>

#include "platform/Time.h"

namespace quillet::platform {

// Proleptic Gregorian calendar arithmetic shared by every platform: validation of a calendar
// time and its count of 100-ns intervals since 1601, with the limits Windows applies.
bool IsLeapYear(unsigned year);
unsigned DaysInMonth(unsigned year, unsigned month);
bool IsValidCalendarTime(const SystemTime& time);
bool CalendarToFileTime(const SystemTime& time, FileTime& fileTime);

// Breaks seconds since 1970-01-01 UTC down into a calendar time.
SystemTime UnixTimeToCalendar(int64_t unixSeconds);

// Breaks a file time down into a calendar time (milliseconds dropped).
SystemTime FileTimeToCalendar(FileTime fileTime);

}  // namespace quillet::platform
