#include "platform/FileSystem.h"

#include "platform/win32/WindowsApi.h"

namespace quillet::platform {
namespace {

// Owns a directory search handle.
class FindHandle {
  public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    ~FindHandle() {
        if (valid())
            ::FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

}  // namespace

bool FileExists(const FilePath& path) {
    if (path.empty()) {
        return false;
    }
    // A directory search rather than the attributes: it answers exactly as the host's own file
    // lists do, for files, folders and wildcard patterns alike.
    if (path.wide()) {
        WIN32_FIND_DATAW entry{};
        const FindHandle search(::FindFirstFileW(path.wideName(), &entry));
        return search.valid();
    }
    WIN32_FIND_DATAA entry{};
    const FindHandle search(::FindFirstFileA(path.c_str(), &entry));
    return search.valid();
}

}  // namespace quillet::platform
