#include "package/CentralDirectory.h"

#include <algorithm>

namespace quillet::zip {
namespace {

// Reads the directory in large windows instead of one system call per header field.
class DirectoryWindow {
  public:
    static constexpr uint64_t MaxWindow = 1u << 20;

    DirectoryWindow(platform::PackageFile& file, uint64_t position, uint64_t size)
        : file_(file),
          position_(position),
          size_(size),
          window_(static_cast<size_t>(std::min(size, MaxWindow))) {}

    // `length` bytes at directory offset `offset`, or null when they lie past the directory or
    // the file cannot deliver them. The view lasts until the next call.
    const unsigned char* View(uint64_t offset, size_t length) {
        if (offset > size_ || length > size_ - offset) {
            return nullptr;
        }
        if (offset < windowOffset_ || offset + length > windowOffset_ + windowLength_) {
            const auto wanted =
                static_cast<size_t>(std::min<uint64_t>(window_.size(), size_ - offset));
            windowOffset_ = offset;
            windowLength_ = file_.ReadAt(position_ + offset, window_.data(), wanted);
            if (length > windowLength_) {
                return nullptr;
            }
        }
        return window_.data() + (offset - windowOffset_);
    }

  private:
    platform::PackageFile& file_;
    const uint64_t position_;
    const uint64_t size_;
    std::vector<unsigned char> window_;
    uint64_t windowOffset_ = 0;
    size_t windowLength_ = 0;
};

}  // namespace

void CentralDirectory::Read(platform::PackageFile& file, uint64_t position, uint64_t size,
                            int32_t entryCount) {
    DirectoryWindow window(file, position, size);
    // No more entries than the directory's bytes can hold, whatever the count claims.
    const auto expected = static_cast<size_t>(std::min<uint64_t>(
        static_cast<uint64_t>(std::max(entryCount, 0)), size / CentralHeaderSize));
    entries_.reserve(std::min<size_t>(expected, MaxEntries));
    names_.Reserve(std::min<size_t>(expected, MaxEntries));
    uint64_t offset = 0;
    for (int32_t index = 0; index < MaxEntries; ++index) {
        const unsigned char* fixed = window.View(offset, CentralHeaderSize);
        if (fixed == nullptr || Read32(fixed) != CentralHeaderSignature) {
            return;
        }
        DirectoryEntry entry;
        entry.header = ParseCentralHeader(fixed);
        if (entry.header.RecordSize() > size - offset) {
            return;
        }
        const size_t kept = std::min<size_t>(entry.header.nameLength, KeptNameLength);
        if (kept > 0) {
            const unsigned char* name = window.View(offset + CentralHeaderSize, kept);
            if (name == nullptr) {
                return;
            }
            entry.name.assign(reinterpret_cast<const char*>(name), kept);
        }
        names_.Add(entry.name, index);
        offset += entry.header.RecordSize();
        entries_.push_back(std::move(entry));
        if (index + 1 == entryCount) {
            return;
        }
    }
}

}  // namespace quillet::zip
