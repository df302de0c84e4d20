#include "package/ArchiveFile.h"

#include <algorithm>

namespace quillet::zip {

size_t ArchiveFile::ReadAt(uint64_t position, void* buffer, size_t length) {
    if (position >= size_) {
        return 0;
    }
    const auto inside = static_cast<size_t>(std::min<uint64_t>(length, size_ - position));
    const size_t done = file_->ReadAt(position, buffer, inside);
    passingFailure_ = passingFailure_ || done < inside;
    return done;
}

bool ArchiveFile::Unchanged() {
    platform::FileStamp now;
    if (stamped_ && (!file_->ReadStampNow(now) || now.size != stamp_.size ||
                     now.modified != stamp_.modified)) {
        passingFailure_ = true;
        return false;
    }
    return true;
}

}  // namespace quillet::zip
