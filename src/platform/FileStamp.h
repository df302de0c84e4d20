#pragma once

#include <cstdint>

#include "platform/FilePath.h"

namespace quillet::platform {

// What tells one state of a file from another without reading it. Size and modification time
// alone miss a file replaced by another of equal size and time (cp -p, rsync -a, unzip, a
// restore, a retargeted link, a relative name after a change of directory): the file's identity
// on its volume and its change time, which no program can set back, tell those apart.
struct FileStamp {
    uint64_t size = 0;
    int64_t modified = 0;  // in the system's own units
    int64_t changed = 0;   // the inode change time (POSIX) or the change time (Windows)
    uint64_t volume = 0;   // the device (POSIX) or the volume serial number (Windows)
    uint64_t fileId = 0;   // the inode (POSIX) or the file index (Windows)

    bool operator==(const FileStamp& other) const {
        return size == other.size && modified == other.modified && changed == other.changed &&
               volume == other.volume && fileId == other.fileId;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// The stamp of a regular file by its path (a link is followed, as opening it would), without
// opening it for reading. False for anything else or when the system cannot tell; the file then
// exists for sure only when the answer is true.
bool ReadFileStamp(const FilePath& path, FileStamp& stamp);
inline bool ReadFileStamp(const char* path, FileStamp& stamp) {
    return ReadFileStamp(FilePath(path), stamp);
}

}  // namespace quillet::platform
