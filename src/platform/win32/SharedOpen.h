#pragma once

#include "platform/FilePath.h"
#include "platform/win32/WindowsApi.h"

namespace quillet::platform {

// Opens an existing file by its ANSI or UTF-16 name for `access`, sharing reading, writing and
// deletion, so that a document an office program holds open can still be read and no such
// program is disturbed. INVALID_HANDLE_VALUE when it cannot.
inline HANDLE OpenShared(const FilePath& path, DWORD access) {
    constexpr DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    return path.wide() ? CreateFileW(path.wideName(), access, sharing, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr)
                       : CreateFileA(path.c_str(), access, sharing, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace quillet::platform
