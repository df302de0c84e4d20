#include "platform/SystemFile.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/Env.h"

namespace quillet::platform {
namespace {

class SystemFiles final : public Env {
  public:
    std::unique_ptr<File> OpenFile(const FilePath& path) override { return SystemFile::Open(path); }
};

}  // namespace

Env& SystemEnv() {
    static SystemFiles env;
    return env;
}

void SystemFile::KeepTailFor(uint64_t position) {
    if (tailTried_) {
        return;
    }
    tailTried_ = true;
    uint64_t fileSize = 0;
    if (!seekable_ || !Size(fileSize)) {
        return;
    }
    const uint64_t kept = std::min(TailBytes, fileSize);
    if (position < fileSize - kept) {
        return;
    }
    // Not cleared: the read below fills every byte, or the tail is not kept.
    std::unique_ptr<unsigned char[]> tail(new (std::nothrow) unsigned char[kept + 1]);
    if (tail && ReadFromSystem(fileSize - kept, tail.get(), static_cast<size_t>(kept)) == kept) {
        tail_ = std::move(tail);
        tailSize_ = static_cast<size_t>(kept);
        tailStart_ = fileSize - kept;
    }
}

size_t SystemFile::ReadAt(uint64_t position, void* buffer, size_t length) {
    KeepTailFor(position);
    if (tail_ && position >= tailStart_ && position - tailStart_ <= tailSize_ &&
        length <= tailSize_ - (position - tailStart_)) {
        std::memcpy(buffer, tail_.get() + (position - tailStart_), length);
        return length;
    }
    return ReadFromSystem(position, buffer, length);
}

}  // namespace quillet::platform
