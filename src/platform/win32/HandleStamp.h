#pragma once

#include "platform/FileStamp.h"
#include "platform/win32/WindowsApi.h"

namespace quillet::platform {

// The stamp of the regular file an open handle reads (any access that reads attributes will
// do); false for a directory, a device or when the system cannot tell.
inline bool StampOfHandle(HANDLE handle, FileStamp& stamp) {
    BY_HANDLE_FILE_INFORMATION information{};
    FILE_BASIC_INFO basic{};
    if (GetFileType(handle) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(handle, &information) ||
        (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0 ||
        !GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic)) {
        return false;
    }
    stamp.size =
        (static_cast<uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    // 100-nanosecond intervals since 1601.
    stamp.modified = static_cast<int64_t>(
        (static_cast<uint64_t>(information.ftLastWriteTime.dwHighDateTime) << 32) |
        information.ftLastWriteTime.dwLowDateTime);
    stamp.changed = basic.ChangeTime.QuadPart;
    stamp.volume = information.dwVolumeSerialNumber;
    stamp.fileId =
        (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    return true;
}

}  // namespace quillet::platform
