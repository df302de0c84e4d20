#include "platform/FileSystem.h"

#include <sys/stat.h>

namespace quillet::platform {

bool FileExists(const FilePath& path) {
    struct stat status {};
    // lstat, like a directory search, finds an entry even when it is a dangling link.
    return !path.empty() && ::lstat(path.c_str(), &status) == 0;
}

}  // namespace quillet::platform
