#include "platform/FileStamp.h"

#include "platform/win32/HandleStamp.h"
#include "platform/win32/SharedOpen.h"
#include "platform/win32/WindowsApi.h"

namespace quillet::platform {

bool ReadFileStamp(const FilePath& path, FileStamp& stamp) {
    if (path.empty()) {
        return false;
    }
    // Opened for its attributes only.
    const HANDLE handle = OpenShared(path, FILE_READ_ATTRIBUTES);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool stamped = StampOfHandle(handle, stamp);
    CloseHandle(handle);
    return stamped;
}

}  // namespace quillet::platform
