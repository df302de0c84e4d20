#pragma once

#include <cstdint>

namespace quillet::platform {

// What tells one state of a file from another without reading it: its size and the time it was
// last written, in the system's own units.
struct FileStamp {
    uint64_t size = 0;
    int64_t modified = 0;

    bool operator==(const FileStamp& other) const {
        return size == other.size && modified == other.modified;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// The stamp of a regular file (a link is followed, as opening it would). False for anything else
// or when the system cannot tell; the file then exists for sure only when the answer is true.
bool ReadFileStamp(const char* path, FileStamp& stamp);

}  // namespace quillet::platform
