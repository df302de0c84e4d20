#include "platform/SystemFile.h"

#include <new>

#include "platform/win32/HandleStamp.h"
#include "platform/win32/SharedOpen.h"
#include "platform/win32/WindowsApi.h"

namespace quillet::platform {
namespace {

HANDLE ToHandle(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// Largest piece handed to one ReadFile call; its count is a DWORD.
constexpr size_t MaxReadPiece = 1u << 30;

bool SeekTo(HANDLE handle, uint64_t position) {
    LONG high = static_cast<LONG>(position >> 32);
    const DWORD low =
        SetFilePointer(handle, static_cast<LONG>(position & 0xFFFFFFFFu), &high, FILE_BEGIN);
    return low != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
}

}  // namespace

std::unique_ptr<SystemFile> SystemFile::Open(const FilePath& path) {
    if (path.empty()) {
        return nullptr;
    }
    const HANDLE handle = OpenShared(path, GENERIC_READ);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    const bool seekable = GetFileType(handle) == FILE_TYPE_DISK;
    std::unique_ptr<SystemFile> file(new (std::nothrow)
                                         SystemFile(reinterpret_cast<intptr_t>(handle), seekable));
    if (!file) {
        CloseHandle(handle);
    }
    return file;
}

SystemFile::~SystemFile() {
    CloseHandle(ToHandle(handle_));
}

bool SystemFile::Size(uint64_t& size) {
    LONG high = 0;
    SetLastError(NO_ERROR);
    const DWORD low = SetFilePointer(ToHandle(handle_), 0, &high, FILE_END);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        return false;
    }
    size = (static_cast<uint64_t>(static_cast<DWORD>(high)) << 32) | low;
    return true;
}

bool SystemFile::ReadStamp(FileStamp& stamp) const {
    return seekable_ && StampOfHandle(ToHandle(handle_), stamp);
}

bool SystemFile::ReadStampNow(FileStamp& stamp) const {
    return ReadStamp(stamp);  // the handle is asked every time
}

size_t SystemFile::ReadFromSystem(uint64_t position, void* buffer, size_t length) {
    SetLastError(NO_ERROR);
    if (length == 0 || !SeekTo(ToHandle(handle_), position)) {
        return 0;
    }
    auto* const bytes = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < length) {
        const size_t piece = length - done < MaxReadPiece ? length - done : MaxReadPiece;
        DWORD got = 0;
        if (!ReadFile(ToHandle(handle_), bytes + done, static_cast<DWORD>(piece), &got, nullptr)) {
            break;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    return done;
}

}  // namespace quillet::platform
