#include "platform/Time.h"

#include "platform/CalendarTime.h"

namespace quillet::platform {

bool SystemTimeToFileTime(const SystemTime& time, FileTime& fileTime) {
    return CalendarToFileTime(time, fileTime);
}

bool DosDateTimeToFileTime(uint16_t dosDate, uint16_t dosTime, FileTime& fileTime) {
    SystemTime time;
    time.year = static_cast<uint16_t>(1980 + (dosDate >> 9));
    time.month = static_cast<uint16_t>((dosDate >> 5) & 0x0F);
    time.day = static_cast<uint16_t>(dosDate & 0x1F);
    time.hour = static_cast<uint16_t>(dosTime >> 11);
    time.minute = static_cast<uint16_t>((dosTime >> 5) & 0x3F);
    time.second = static_cast<uint16_t>((dosTime & 0x1F) * 2);
    return CalendarToFileTime(time, fileTime);
}

}  // namespace quillet::platform
