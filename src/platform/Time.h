#pragma once

#include <cstdint>

namespace quillet::platform {

// Calendar time as the Windows SYSTEMTIME structure holds it.
struct SystemTime {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;
};

// A FILETIME: 100-nanosecond intervals since 1601-01-01 00:00:00.
using FileTime = uint64_t;

// Fails, leaving `fileTime` unchanged, for a time that is not a valid calendar time.
bool SystemTimeToFileTime(const SystemTime& time, FileTime& fileTime);

}  // namespace quillet::platform
