#include "platform/PackageFile.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace quillet::platform {

size_t PackageFile::ReadAt(uint64_t position, void* buffer, size_t length) {
    if (position >= tailStart_ && position - tailStart_ <= tail_.size() &&
        length <= tail_.size() - (position - tailStart_) && !tail_.empty()) {
        std::memcpy(buffer, tail_.data() + (position - tailStart_), length);
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
    const uint64_t kept = std::min(length, fileSize);
    std::vector<unsigned char> tail;
    try {
        tail.resize(static_cast<size_t>(kept));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (ReadFromSystem(fileSize - kept, tail.data(), tail.size()) != tail.size()) {
        return false;
    }
    tail_.swap(tail);
    tailStart_ = fileSize - kept;
    bytes = tail_.data();
    size = tail_.size();
    start = tailStart_;
    return true;
}

}  // namespace quillet::platform
