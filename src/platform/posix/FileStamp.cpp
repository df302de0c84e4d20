#include "platform/FileStamp.h"

#include <sys/stat.h>

namespace quillet::platform {

bool ReadFileStamp(const char* path, FileStamp& stamp) {
    struct stat status {};
    if (path == nullptr || path[0] == '\0' || ::stat(path, &status) != 0 ||
        !S_ISREG(status.st_mode) || status.st_size < 0) {
        return false;
    }
    stamp.size = static_cast<uint64_t>(status.st_size);
    // Nanoseconds, so that a rewrite within the same second still counts as a change.
    stamp.modified = static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 +
                     static_cast<int64_t>(status.st_mtim.tv_nsec);
    return true;
}

}  // namespace quillet::platform
