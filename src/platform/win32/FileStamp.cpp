#include "platform/FileStamp.h"

#include "platform/win32/HandleStamp.h"
#include "platform/win32/WindowsApi.h"

namespace quillet::platform {

bool ReadFileStamp(const FilePath& path, FileStamp& stamp) {
    if (path.empty()) {
        return false;
    }
    // Opened for its attributes only, sharing everything: no program holding the document open
    // is disturbed, whatever it shares.
    constexpr DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE handle = path.wide()
                              ? CreateFileW(path.wideName(), FILE_READ_ATTRIBUTES, sharing, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                              : CreateFileA(path.text().c_str(), FILE_READ_ATTRIBUTES, sharing,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool stamped = StampOfHandle(handle, stamp);
    CloseHandle(handle);
    return stamped;
}

}  // namespace quillet::platform
