#include "platform/FileSystem.h"

#include <sys/stat.h>

namespace quillet::platform {

bool FileExists(const char* path) {
    struct stat status {};
    // lstat, like a directory search, finds an entry even when it is a dangling link.
    return path != nullptr && path[0] != '\0' && ::lstat(path, &status) == 0;
}

}  // namespace quillet::platform
