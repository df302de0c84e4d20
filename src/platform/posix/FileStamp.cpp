#include "platform/FileStamp.h"

#include <sys/stat.h>

#include "platform/posix/StatStamp.h"

namespace quillet::platform {

bool ReadFileStamp(const char* path, FileStamp& stamp) {
    struct stat status {};
    return path != nullptr && path[0] != '\0' && ::stat(path, &status) == 0 &&
           StampOfStatus(status, stamp);
}

}  // namespace quillet::platform
