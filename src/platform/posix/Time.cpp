#include "platform/Time.h"

#include "platform/CalendarTime.h"

namespace quillet::platform {

bool SystemTimeToFileTime(const SystemTime& time, FileTime& fileTime) {
    return CalendarToFileTime(time, fileTime);
}

}  // namespace quillet::platform
