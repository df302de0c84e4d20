#include "package/ZipArchive.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "package/MemberDescription.h"
#include "package/ZipFormat.h"

namespace quillet {
using namespace zip;

namespace {

// The end record starts within the last 65535 bytes of the file.
constexpr uint64_t EndRecordSearchArea = 0xFFFF;

bool HasSignature(const unsigned char* bytes, uint32_t signature) {
    return Read32(bytes) == signature;
}

}  // namespace

ZipArchive::ZipArchive(std::unique_ptr<platform::PackageFile> file) : file_(std::move(file)) {}

ZipArchive::~ZipArchive() = default;

std::unique_ptr<ZipArchive> ZipArchive::Open(std::unique_ptr<platform::PackageFile> file) {
    try {
        if (!file) {
            return nullptr;
        }
        std::unique_ptr<ZipArchive> archive(new ZipArchive(std::move(file)));
        if (archive->ReadEndRecord() != ScanOk) {
            return nullptr;
        }
        archive->directory_.Read(*archive->file_,
                                 archive->prefixLength_ + archive->centralDirOffset_,
                                 archive->centralDirSize_, archive->entryCount_);
        // A bad first entry does not fail the open; it only leaves every name unfound.
        archive->FirstEntry();
        return archive;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

ZipResult ZipArchive::Close(std::unique_ptr<ZipArchive> archive) {
    if (!archive) {
        return ZipBadArgument;
    }
    archive.reset();
    return ZipOk;
}

ScanStatus ZipArchive::FindEndRecord(uint64_t& position) {
    uint64_t size = 0;
    if (!file_->seekable() || !file_->Size(size)) {
        return ReadError;
    }
    const uint64_t area = std::min(EndRecordSearchArea, size);
    if (area <= 4) {
        return ReadError;
    }
    const uint64_t areaStart = size - area;
    std::vector<unsigned char> bytes(static_cast<size_t>(area));
    if (file_->ReadAt(areaStart, bytes.data(), bytes.size()) != bytes.size()) {
        return ReadError;
    }
    // The signature nearest the end wins; one at the very start of the file counts as none.
    for (size_t at = bytes.size() - 4;; --at) {
        if (HasSignature(bytes.data() + at, EndRecordSignature) && areaStart + at != 0) {
            position = areaStart + at;
            return ScanOk;
        }
        if (at == 0) {
            return ReadError;
        }
    }
}

ScanStatus ZipArchive::ReadEndRecord() {
    uint64_t position = 0;
    if (FindEndRecord(position) != ScanOk) {
        return ReadError;
    }
    unsigned char record[EndRecordSize];
    if (file_->ReadAt(position, record, sizeof record) != sizeof record) {
        return ReadError;
    }
    const uint32_t diskNumber = Read16(record + 4);
    const uint32_t directoryDisk = Read16(record + 6);
    const uint32_t entriesOnDisk = Read16(record + 8);
    const uint32_t entriesTotal = Read16(record + 10);
    centralDirSize_ = Read32(record + 12);
    centralDirOffset_ = Read32(record + 16);
    endRecordPos_ = position;
    const uint64_t directoryEnd = uint64_t{centralDirOffset_} + centralDirSize_;
    if (diskNumber != 0 || directoryDisk != 0 || entriesOnDisk != entriesTotal ||
        endRecordPos_ < directoryEnd) {
        return BadArchive;
    }
    entryCount_ = static_cast<int32_t>(entriesOnDisk);
    // Data before the archive shifts every offset that the archive's records give.
    prefixLength_ = endRecordPos_ - directoryEnd;
    return ScanOk;
}

ScanStatus ZipArchive::ReadCentralHeader() {
    currentValid_ = currentIndex_ >= 0 && currentIndex_ < directory_.reachable();
    if (!currentValid_) {
        return BadArchive;
    }
    current_ = &directory_.entry(currentIndex_);
    return ScanOk;
}

ScanStatus ZipArchive::FirstEntry() {
    currentIndex_ = 0;
    return ReadCentralHeader();
}

ScanStatus ZipArchive::NextEntry() {
    if (!currentValid_ || currentIndex_ + 1 == entryCount_) {
        return EndOfList;
    }
    ++currentIndex_;
    return ReadCentralHeader();
}

void ZipArchive::MoveCursorTo(int32_t index) {
    if (index < currentIndex_) {
        FirstEntry();
    }
    while (currentIndex_ != index && NextEntry() == ScanOk) {
    }
}

ScanStatus ZipArchive::LocateName(const char* name) {
    if (name == nullptr) {
        return BadParameter;
    }
    const size_t length = strnlen(name, NameIndex::MaxNameLength + 1);
    if (length > NameIndex::MaxNameLength) {
        return BadParameter;
    }
    if (!currentValid_) {
        return EndOfList;
    }
    // The index holds the first match that a walk from the first entry would meet; without one
    // the cursor stays where it was.
    const auto found = directory_.FindName(std::string_view(name, length));
    if (!found) {
        return EndOfList;
    }
    currentIndex_ = *found;
    return ReadCentralHeader();
}

ZipResult ZipArchive::FindMember(const char* name, int32_t& index, ZipEntry& entry) {
    if (LocateName(name) != ScanOk) {
        entry = ZipEntry{};
        entry.index = -1;
        index = -1;
        return ZipNoSuchMember;
    }
    CloseMember();
    index = currentIndex_;
    return DescribeMember(index, entry);
}

ZipResult ZipArchive::DescribeMember(int32_t index, ZipEntry& entry) {
    if (index >= entryCount_ || index < -1) {
        return ZipBadArgument;
    }
    CloseMember();
    if (index == cachedIndex_ && index != -1) {
        entry = cachedEntry_;
        return ZipOk;
    }
    if (index == -1) {
        entry = ZipEntry{};
        entry.index = entryCount_;
        return ZipOk;
    }
    MoveCursorTo(index);
    ZipEntry filled;
    const ZipResult result = FillEntry(index, filled);
    if (result != ZipOk) {
        return result;
    }
    cachedEntry_ = filled;
    cachedIndex_ = index;
    entry = filled;
    return ZipOk;
}

ZipResult ZipArchive::FillEntry(int32_t index, ZipEntry& entry) const {
    // A walk that broke off before the index leaves nothing to describe.
    if (!currentValid_ || currentIndex_ != index) {
        return ZipDamaged;
    }
    LocalLayout layout;
    if (CheckLocalHeader(layout) != ScanOk) {
        return ZipDamaged;
    }
    std::unique_ptr<unsigned char[]> extra(
        new (std::nothrow) unsigned char[layout.extraLength + 1]);
    if (!extra) {
        NoteShortOfMemory();
    }
    if (!extra || file_->ReadAt(layout.extraOffset + prefixLength_, extra.get(),
                                layout.extraLength) != layout.extraLength) {
        return ZipReadFailed;
    }
    const CentralHeader& header = current_->header;
    entry.index = index;
    const std::string_view name = directory_.name(*current_);
    std::memcpy(entry.name, name.data(), std::min(name.size(), ZipEntryNameSize - 1));
    entry.attributes = MapExternalAttributes(header.externalAttributes);
    // Sizes of 2 GiB or more turn negative here; readers treat them as unreadable.
    entry.compressedSize = static_cast<int32_t>(header.compressedSize);
    entry.uncompressedSize = static_cast<int32_t>(header.uncompressedSize);
    SetDosTimes(header.dosDateTime, entry);
    ApplyExtendedTimestamp(extra.get(), layout.extraLength, entry);
    return ZipOk;
}

ScanStatus ZipArchive::CheckLocalHeader(LocalLayout& layout) const {
    if (!currentValid_) {
        return BadParameter;
    }
    if (!file_->seekable()) {
        return ReadError;
    }
    const CentralHeader& central = current_->header;
    unsigned char local[LocalHeaderSize];
    if (file_->ReadAt(uint64_t{central.localHeaderOffset} + prefixLength_, local, sizeof local) !=
        sizeof local) {
        return ReadError;
    }
    const uint32_t flags = Read16(local + 6);
    const uint32_t method = Read16(local + 8);
    const uint32_t nameLength = Read16(local + 26);
    const uint32_t extraLength = Read16(local + 28);
    const bool sizesFollowData = (flags & FlagDataDescriptor) != 0;
    if (!HasSignature(local, LocalHeaderSignature) || method != central.method ||
        (method != MethodStored && method != MethodDeflated) || nameLength != central.nameLength) {
        return BadArchive;
    }
    if (!sizesFollowData &&
        (Read32(local + 14) != central.crc || Read32(local + 18) != central.compressedSize ||
         Read32(local + 22) != central.uncompressedSize)) {
        return BadArchive;
    }
    layout.extraOffset = uint64_t{central.localHeaderOffset} + LocalHeaderSize + nameLength;
    layout.extraLength = extraLength;
    layout.dataOffset = layout.extraOffset + extraLength;
    return ScanOk;
}

uint64_t ZipArchive::DeliverableSize(int32_t index) const {
    if (index < 0 || index >= directory_.reachable()) {
        return 0;
    }
    const CentralHeader& header = directory_.entry(index).header;
    return std::min<uint64_t>(header.uncompressedSize,
                              MemberReader::MaxOutput(header.method, header.compressedSize));
}

ZipResult ZipArchive::ExtractMember(int32_t index, void* buffer, uint32_t size) {
    if (buffer == nullptr && size > 0) {
        return ZipBadArgument;
    }
    if (index != openMemberIndex_) {
        CloseMember();
        if (index >= entryCount_) {
            return ZipBadArgument;
        }
        MoveCursorTo(index);
        // A walk that broke off before the index opens nothing, and the read below fails.
        if (currentIndex_ == index) {
            OpenMember();
        }
        openMemberIndex_ = index;
    }
    const int64_t count = ReadMember(buffer, size);
    if (count > 0) {
        return ZipBufferFilled;
    }
    CloseMember();
    return count == 0 ? ZipOk : ZipExtractFailed;
}

ScanStatus ZipArchive::OpenMember() {
    if (!currentValid_) {
        return BadParameter;
    }
    CloseMember();
    LocalLayout local;
    if (CheckLocalHeader(local) != ScanOk) {
        return BadArchive;
    }
    MemberLayout layout;
    layout.method = current_->header.method;
    layout.dataOffset = local.dataOffset;
    layout.compressedSize = current_->header.compressedSize;
    layout.uncompressedSize = current_->header.uncompressedSize;
    openMember_ = MemberReader::Open(*file_, prefixLength_, layout);
    if (!openMember_ || !openMember_->ready()) {
        NoteShortOfMemory();
    }
    return openMember_ ? ScanOk : OutOfMemory;
}

int64_t ZipArchive::ReadMember(void* buffer, uint32_t size) {
    if (!openMember_) {
        return BadParameter;
    }
    const int64_t count = openMember_->Read(static_cast<unsigned char*>(buffer), size);
    if (!openMember_->ready()) {
        NoteShortOfMemory();
    }
    return count;
}

void ZipArchive::CloseMember() {
    openMember_.reset();
    openMemberIndex_ = -1;
}

}  // namespace quillet
