#include "package/ZipArchive.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

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
    fileSize_ = size;
    const unsigned char* tail = nullptr;
    size_t tailSize = 0;
    uint64_t areaStart = 0;
    if (!file_->KeepTail(area, tail, tailSize, areaStart) || tailSize != area) {
        return ReadError;
    }
    const std::basic_string_view<unsigned char> bytes(tail, tailSize);
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
    if (!ReadExactly(position, record, sizeof record)) {
        return ReadError;
    }
    const uint32_t diskNumber = Read16(record + 4);
    const uint32_t directoryDisk = Read16(record + 6);
    const uint32_t entriesOnDisk = Read16(record + 8);
    const uint32_t entriesTotal = Read16(record + 10);
    centralDirSize_ = Read32(record + 12);
    centralDirOffset_ = Read32(record + 16);
    endRecordPos_ = position;
    // The directory ends where ZIP64 records before the end record start, if there are any.
    uint64_t directoryEndPos = endRecordPos_;
    if (FindZip64Records(endRecordPos_, directoryEndPos) &&
        (entriesTotal == Zip64Count || centralDirSize_ == Zip64Value ||
         centralDirOffset_ == Zip64Value)) {
        return BadArchive;  // values beyond 32 bits are not supported
    }
    const uint64_t directoryEnd = uint64_t{centralDirOffset_} + centralDirSize_;
    if (diskNumber != 0 || directoryDisk != 0 || entriesOnDisk != entriesTotal ||
        directoryEndPos < directoryEnd) {
        return BadArchive;
    }
    entryCount_ = static_cast<int32_t>(entriesOnDisk);
    // Data before the archive shifts every offset that the archive's records give.
    prefixLength_ = directoryEndPos - directoryEnd;
    return ScanOk;
}

bool ZipArchive::ReadExactly(uint64_t position, unsigned char* buffer, size_t length) const {
    return file_->ReadAt(position, buffer, length) == length;
}

bool ZipArchive::FindZip64Records(uint64_t endRecordPos, uint64_t& recordPos) const {
    if (endRecordPos < Zip64LocatorSize + Zip64EndRecordUsualSize) {
        return false;
    }
    const uint64_t locatorPos = endRecordPos - Zip64LocatorSize;
    unsigned char locator[Zip64LocatorSize];
    if (!ReadExactly(locatorPos, locator, sizeof locator) ||
        !HasSignature(locator, Zip64LocatorSignature)) {
        return false;
    }
    // The locator's offset is the record's file position in an archive without a prefix; the
    // usual record size finds it behind a prefix too.
    for (const uint64_t candidate :
         {Read64(locator + 8), locatorPos - uint64_t{Zip64EndRecordUsualSize}}) {
        if (Zip64RecordEndsAt(candidate, locatorPos)) {
            recordPos = candidate;
            return true;
        }
    }
    return false;
}

bool ZipArchive::Zip64RecordEndsAt(uint64_t candidate, uint64_t locatorPos) const {
    if (candidate > locatorPos - Zip64EndRecordLead) {
        return false;
    }
    unsigned char lead[Zip64EndRecordLead];
    return ReadExactly(candidate, lead, sizeof lead) &&
           HasSignature(lead, Zip64EndRecordSignature) &&
           Read64(lead + 4) == locatorPos - candidate - Zip64EndRecordLead;
}

const DirectoryEntry* ZipArchive::EntryAt(int32_t index) const {
    return index >= 0 && index < directory_.reachable() ? &directory_.entry(index) : nullptr;
}

ZipResult ZipArchive::FindMember(const char* name, int32_t& index, ZipEntry& entry) {
    const size_t length = name != nullptr ? strnlen(name, NameIndex::MaxNameLength + 1) : 0;
    // The index holds the first match that a walk from the first entry would meet.
    const auto found = name != nullptr && length <= NameIndex::MaxNameLength
                           ? directory_.FindName(std::string_view(name, length))
                           : std::nullopt;
    if (!found) {
        entry = ZipEntry{};
        entry.index = -1;
        index = -1;
        return ZipNoSuchMember;
    }
    CloseMember();
    index = *found;
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
    // An entry the directory walk did not reach leaves nothing to describe.
    const DirectoryEntry* const member = EntryAt(index);
    LocalLayout layout;
    if (member == nullptr || CheckLocalHeader(index, layout) != ScanOk) {
        return ZipDamaged;
    }
    // The local extra field must lie within the file, as the member's data behind it must.
    if (layout.dataOffset + prefixLength_ > fileSize_) {
        return ZipReadFailed;
    }
    entry.index = index;
    const std::string_view name = directory_.name(*member);
    std::memcpy(entry.name, name.data(), std::min(name.size(), ZipEntryNameSize - 1));
    // Sizes of 2 GiB or more turn negative here; readers treat them as unreadable.
    entry.compressedSize = static_cast<int32_t>(member->header.compressedSize);
    entry.uncompressedSize = static_cast<int32_t>(member->header.uncompressedSize);
    return ZipOk;
}

ScanStatus ZipArchive::CheckLocalHeader(int32_t index, LocalLayout& layout) const {
    // A member is described, then opened: its local header is read once for both.
    if (index == checkedIndex_) {
        layout = checkedLayout_;
        return ScanOk;
    }
    const DirectoryEntry* const member = EntryAt(index);
    if (member == nullptr) {
        return BadParameter;
    }
    if (!file_->seekable()) {
        return ReadError;
    }
    // Members that share bytes, like one deflate stream behind many entries, are refused.
    if (directory_.Overlapped(index)) {
        return BadArchive;
    }
    const CentralHeader& central = member->header;
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
    layout.dataOffset =
        uint64_t{central.localHeaderOffset} + LocalHeaderSize + nameLength + extraLength;
    // A local extra field must not carry the data onto another member's.
    if (directory_.ReachesAnother(index, layout.dataOffset + central.compressedSize)) {
        return BadArchive;
    }
    checkedIndex_ = index;
    checkedLayout_ = layout;
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

ZipResult ZipArchive::ExtractMember(int32_t index, void* buffer, uint32_t size,
                                     uint32_t* written) {
    if (written != nullptr) {
        *written = 0;
    }
    if (buffer == nullptr && size > 0) {
        return ZipBadArgument;
    }
    if (index != openMemberIndex_) {
        CloseMember();
        if (index >= entryCount_) {
            return ZipBadArgument;
        }
        // An entry the directory walk did not reach opens nothing, and the read below fails.
        OpenMember(index);
        openMemberIndex_ = index;
    }
    const int64_t count = ReadMember(buffer, size);
    if (count > 0) {
        if (written != nullptr) {
            *written = static_cast<uint32_t>(count);
        }
        return ZipBufferFilled;
    }
    CloseMember();
    return count == 0 ? ZipOk : ZipExtractFailed;
}

ScanStatus ZipArchive::OpenMember(int32_t index) {
    CloseMember();
    LocalLayout local;
    if (CheckLocalHeader(index, local) != ScanOk) {
        return BadArchive;
    }
    const CentralHeader& header = EntryAt(index)->header;
    MemberLayout layout;
    layout.method = header.method;
    layout.dataOffset = local.dataOffset;
    layout.compressedSize = header.compressedSize;
    layout.uncompressedSize = header.uncompressedSize;
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
