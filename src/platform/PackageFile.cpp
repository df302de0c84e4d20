#include "platform/PackageFile.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace quillet::platform {

size_t PackageFile::ReadAt(uint64_t position, void* buffer, size_t length) {
    if (tail_ && position >= tailStart_ && position - tailStart_ <= tailSize_ &&
        length <= tailSize_ - (position - tailStart_)) {
        std::memcpy(buffer, tail_.get() + (position - tailStart_), length);
        return length;
    }
    return ReadFromSystem(position, buffer, length);
}

bool PackageFile::KeepTail(uint64_t length, const unsigned char*& bytes, size_t& size,
                           uint64_t& start) {
    uint64_t fileSize = 0;
    if (!seekable_ || !Size(fileSize)) {
        return false;
    }
    const auto kept = static_cast<size_t>(std::min(length, fileSize));
    // Not cleared: the read below fills every byte, or the tail is not kept.
    std::unique_ptr<unsigned char[]> tail(new (std::nothrow) unsigned char[kept + 1]);
    if (!tail || ReadFromSystem(fileSize - kept, tail.get(), kept) != kept) {
        return false;
    }
    tail_ = std::move(tail);
    tailSize_ = kept;
    tailStart_ = fileSize - kept;
    bytes = tail_.get();
    size = tailSize_;
    start = tailStart_;
    return true;
}

}  // namespace quillet::platform
