#pragma once

#include <string>

#include "platform/FileStamp.h"

namespace quillet {

// What a kept answer was made of: the file as the host named it, the state it was in, and the
// character set its texts were converted into. A kept answer serves only the same key.
struct FileKey {
    std::string path;
    platform::FileStamp stamp;
    std::string form;

    bool operator==(const FileKey& other) const {
        return stamp == other.stamp && path == other.path && form == other.form;
    }
    bool operator!=(const FileKey& other) const { return !(*this == other); }
};

}  // namespace quillet
