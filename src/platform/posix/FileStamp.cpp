#include "platform/FileStamp.h"

#include <sys/stat.h>

#include "platform/posix/StatStamp.h"

namespace quillet::platform {

bool ReadFileStamp(const FilePath& path, FileStamp& stamp) {
    struct stat status {};
    return !path.empty() && ::stat(path.c_str(), &status) == 0 &&
           StampOfStatus(status, stamp);
}

}  // namespace quillet::platform
