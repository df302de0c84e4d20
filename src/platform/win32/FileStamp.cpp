#include "platform/FileStamp.h"

#include "platform/win32/HandleStamp.h"
#include "platform/win32/WindowsApi.h"

namespace quillet::platform {

bool ReadFileStamp(const char* path, FileStamp& stamp) {
    if (path == nullptr || path[0] == '\0') {
        return false;
    }
    // Opened for its attributes only, sharing everything: no program holding the document open
    // is disturbed, whatever it shares.
    const HANDLE handle = CreateFileA(path, FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool stamped = StampOfHandle(handle, stamp);
    CloseHandle(handle);
    return stamped;
}

}  // namespace quillet::platform
