#include "platform/PackageFile.h"
#include "platform/ReadFaults.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace quillet::platform {

size_t PackageFile::ReadAt(uint64_t position, void* buffer, size_t length) {
#ifdef QUILLET_READ_FAULTS
    // Any read may fail in the fault tests, those served from the kept tail too.
    const size_t allowed = ReadFaultLimit(position, length);
#else
    const size_t allowed = length;
#endif
    size_t done = 0;
    if (tail_ && position >= tailStart_ && position - tailStart_ <= tailSize_ &&
        allowed <= tailSize_ - (position - tailStart_)) {
        std::memcpy(buffer, tail_.get() + (position - tailStart_), allowed);
        done = allowed;
    } else {
        done = ReadFromSystem(position, buffer, allowed);
    }
    shortRead_ = shortRead_ || done < length;
    return done;
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
    if (!tail || ReadAt(fileSize - kept, tail.get(), kept) != kept) {
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
