#include "package/CentralDirectory.h"

#include <algorithm>

namespace quillet::zip {
namespace {

// Reads the directory in large windows instead of one system call per header field.
class DirectoryWindow {
  public:
    static constexpr uint64_t MaxWindow = 1u << 20;

    DirectoryWindow(ArchiveFile& file, uint64_t position, uint64_t size)
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
    ArchiveFile& file_;
    const uint64_t position_;
    const uint64_t size_;
    std::vector<unsigned char> window_;
    uint64_t windowOffset_ = 0;
    size_t windowLength_ = 0;
};

}  // namespace

void CentralDirectory::Read(ArchiveFile& file, uint64_t position, uint64_t size,
                            uint32_t entryCount) {
    ReadEntries(file, position, size, entryCount);
    index_.Sort();
    extents_.Reserve(entries_.size());
    for (const CentralHeader& header : entries_) {
        // The local name is as long as the central one in every member that can be read; the
        // local extra field is not known before the local header is read.
        const uint64_t start = header.localHeaderOffset;
        extents_.Add(start, start + LocalHeaderSize + header.nameLength + header.compressedSize);
    }
    extents_.Seal();
}

void CentralDirectory::ReadEntries(ArchiveFile& file, uint64_t position, uint64_t size,
                                   uint32_t entryCount) {
    DirectoryWindow window(file, position, size);
    // No more entries than the count, nor than the directory's bytes can hold.
    const auto expected = static_cast<size_t>(
        std::min<uint64_t>({entryCount, size / CentralHeaderSize, uint64_t{MaxEntries}}));
    entries_.reserve(expected);
    index_.Reserve(expected);
    uint64_t offset = 0;
    for (int32_t index = 0; index < MaxEntries; ++index) {
        const unsigned char* fixed = window.View(offset, CentralHeaderSize);
        if (fixed == nullptr || Read32(fixed) != CentralHeaderSignature) {
            return;
        }
        const CentralHeader header = ParseCentralHeader(fixed);
        if (header.RecordSize() > size - offset) {
            return;
        }
        // Only the bytes a lookup can compare are indexed.
        const size_t kept = std::min<size_t>(header.nameLength, NameIndex::MaxNameLength + 1);
        const unsigned char* name = window.View(offset + CentralHeaderSize, kept);
        if (name == nullptr) {
            return;
        }
        index_.Add(std::string_view(reinterpret_cast<const char*>(name), kept), index);
        offset += header.RecordSize();
        entries_.push_back(header);
        if (static_cast<uint32_t>(index) + 1 == entryCount) {
            return;
        }
    }
}

}  // namespace quillet::zip
