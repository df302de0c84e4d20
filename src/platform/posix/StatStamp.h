#pragma once

#include <sys/stat.h>

#include "platform/FileStamp.h"

namespace quillet::platform {

// The stamp of a regular file from what stat or fstat said of it; false for anything else.
inline bool StampOfStatus(const struct stat& status, FileStamp& stamp) {
    if (!S_ISREG(status.st_mode) || status.st_size < 0) {
        return false;
    }
    stamp.size = static_cast<uint64_t>(status.st_size);
    // Nanoseconds, so that a rewrite within the same second still counts as a change.
    stamp.modified = static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 +
                     static_cast<int64_t>(status.st_mtim.tv_nsec);
    stamp.changed = static_cast<int64_t>(status.st_ctim.tv_sec) * 1000000000 +
                    static_cast<int64_t>(status.st_ctim.tv_nsec);
    stamp.volume = static_cast<uint64_t>(status.st_dev);
    stamp.fileId = static_cast<uint64_t>(status.st_ino);
    return true;
}

}  // namespace quillet::platform
