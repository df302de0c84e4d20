#include "platform/Time.h"

#include "platform/CalendarTime.h"

namespace quillet::platform {

bool SystemTimeToFileTime(const SystemTime& time, FileTime& fileTime) {
    return CalendarToFileTime(time, fileTime);
}

bool DosDateTimeToFileTime(uint16_t dosDate, uint16_t dosTime, FileTime& fileTime) {
    return CalendarToFileTime(DosToCalendar(dosDate, dosTime), fileTime);
}

}  // namespace quillet::platform
