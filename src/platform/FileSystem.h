#pragma once

#include "platform/FilePath.h"

namespace quillet::platform {

// True when the operating system finds a directory entry for the path (a file, a directory or
// anything else): the host's own notion of "the file exists".
bool FileExists(const FilePath& path);
inline bool FileExists(const char* path) {
    return FileExists(FilePath(path));
}

}  // namespace quillet::platform
