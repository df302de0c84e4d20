#include "package/ZipArchive.h"

#include <algorithm>
#include <cstring>
#include <new>

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

ZipArchive::ZipArchive(std::unique_ptr<platform::File> file, uint64_t size)
    : file_(std::move(file), size) {}

std::unique_ptr<ZipArchive> ZipArchive::Open(std::unique_ptr<platform::File> file) {
    uint64_t size = 0;
    if (!file || !file->seekable() || !file->Size(size)) {
        return nullptr;
    }
    try {
        std::unique_ptr<ZipArchive> archive(new ZipArchive(std::move(file), size));
        if (!archive->ReadEndRecord()) {
            return nullptr;
        }
        archive->directory_.Read(archive->file_,
                                 archive->prefixLength_ + archive->centralDirOffset_,
                                 archive->centralDirSize_, archive->entryCount_);
        return archive;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool ZipArchive::FindEndRecord(uint64_t& position) {
    const uint64_t area = std::min(EndRecordSearchArea, file_.size());
    if (area <= 4) {
        return false;
    }
    const uint64_t areaStart = file_.size() - area;
    // The signature nearest the end wins; one at the very start of the file counts as none. Most
    // packages carry no comment, so the search goes back a small piece at a time.
    constexpr uint64_t Piece = 1024;
    unsigned char bytes[Piece + 3];
    for (uint64_t end = file_.size() - 3; end > areaStart;) {
        const uint64_t start = end - std::min(Piece, end - areaStart);
        if (!file_.ReadExactly(start, bytes, static_cast<size_t>(end - start + 3))) {
            return false;
        }
        for (uint64_t candidate = end; candidate-- > start;) {
            if (HasSignature(bytes + (candidate - start), EndRecordSignature) && candidate != 0) {
                position = candidate;
                return true;
            }
        }
        end = start;
    }
    return false;
}

bool ZipArchive::ReadEndRecord() {
    uint64_t position = 0;
    unsigned char record[EndRecordSize];
    if (!FindEndRecord(position) || !file_.ReadExactly(position, record, sizeof record)) {
        return false;
    }
    const uint32_t diskNumber = Read16(record + 4);
    const uint32_t directoryDisk = Read16(record + 6);
    const uint32_t entriesOnDisk = Read16(record + 8);
    const uint32_t entriesTotal = Read16(record + 10);
    centralDirSize_ = Read32(record + 12);
    centralDirOffset_ = Read32(record + 16);
    // The directory ends where ZIP64 records before the end record start, if there are any.
    uint64_t directoryEndPos = position;
    if (FindZip64Records(position, directoryEndPos) &&
        (entriesTotal == Zip64Count || centralDirSize_ == Zip64Value ||
         centralDirOffset_ == Zip64Value)) {
        return false;  // values beyond 32 bits are not supported
    }
    const uint64_t directoryEnd = uint64_t{centralDirOffset_} + centralDirSize_;
    if (diskNumber != 0 || directoryDisk != 0 || entriesOnDisk != entriesTotal ||
        directoryEndPos < directoryEnd) {
        return false;
    }
    entryCount_ = entriesOnDisk;
    // Data before the archive shifts every offset that the archive's records give.
    prefixLength_ = directoryEndPos - directoryEnd;
    return true;
}

bool ZipArchive::FindZip64Records(uint64_t endRecordPos, uint64_t& recordPos) {
    if (endRecordPos < Zip64LocatorSize + Zip64EndRecordUsualSize) {
        return false;
    }
    const uint64_t locatorPos = endRecordPos - Zip64LocatorSize;
    unsigned char locator[Zip64LocatorSize];
    if (!file_.ReadExactly(locatorPos, locator, sizeof locator) ||
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

bool ZipArchive::Zip64RecordEndsAt(uint64_t candidate, uint64_t locatorPos) {
    if (candidate > locatorPos - Zip64EndRecordLead) {
        return false;
    }
    unsigned char lead[Zip64EndRecordLead];
    return file_.ReadExactly(candidate, lead, sizeof lead) &&
           HasSignature(lead, Zip64EndRecordSignature) &&
           Read64(lead + 4) == locatorPos - candidate - Zip64EndRecordLead;
}

bool ZipArchive::HasMember(std::string_view name) {
    MemberLayout layout;
    return Locate(name, layout).ok();
}

Status ZipArchive::OpenMember(std::string_view name, std::unique_ptr<MemberReader>& reader) {
    reader.reset();
    MemberLayout layout;
    const Status found = Locate(name, layout);
    if (!found.ok()) {
        return found;
    }
    if (layout.uncompressedSize >= UnreadableMemberSize) {
        return Status::Unreadable("declares 2 GiB or more");
    }
    reader = MemberReader::Open(file_, budget_, layout);
    return reader ? Status::Ok() : Status::Unreadable("short of memory");
}

Status ZipArchive::Locate(std::string_view name, MemberLayout& layout) {
    // Names compare as NUL-terminated strings.
    name = name.substr(0, std::min(name.find('\0'), name.size()));
    // The index holds the first match that a walk from the first entry would meet.
    const auto found =
        name.size() <= NameIndex::MaxNameLength ? directory_.FindName(name) : std::nullopt;
    if (!found) {
        return Status::NotFound();
    }
    if (!CheckLocalHeader(*found, layout)) {
        return Status::Unreadable("the local header disagrees with the directory");
    }
    return Status::Ok();
}

bool ZipArchive::CheckLocalHeader(int32_t index, MemberLayout& layout) {
    if (index == checkedIndex_) {
        layout = checkedLayout_;
        return true;
    }
    // A name found beyond the entry count lies outside the directory. Members that share bytes,
    // like one deflate stream behind many entries, are refused.
    if (index < 0 || index >= directory_.reachable() ||
        static_cast<uint32_t>(index) >= entryCount_ || directory_.Overlapped(index)) {
        return false;
    }
    const CentralHeader& central = directory_.entry(index);
    unsigned char local[LocalHeaderSize];
    if (!file_.ReadExactly(uint64_t{central.localHeaderOffset} + prefixLength_, local,
                           sizeof local)) {
        return false;
    }
    const uint32_t flags = Read16(local + 6);
    const uint32_t method = Read16(local + 8);
    const uint32_t nameLength = Read16(local + 26);
    const uint32_t extraLength = Read16(local + 28);
    const bool sizesFollowData = (flags & FlagDataDescriptor) != 0;
    const bool agrees = HasSignature(local, LocalHeaderSignature) && method == central.method &&
                        nameLength == central.nameLength &&
                        (sizesFollowData || (Read32(local + 14) == central.crc &&
                                             Read32(local + 18) == central.compressedSize &&
                                             Read32(local + 22) == central.uncompressedSize));
    if (!agrees) {
        // Damage, or a write between the reads of the directory and of this header: a file
        // rewritten in place takes its new times when the write starts, so nothing else tells.
        file_.NotePassingFailure();
        return false;
    }
    if (method != MethodStored && method != MethodDeflated) {
        return false;
    }
    const uint64_t dataOffset =
        uint64_t{central.localHeaderOffset} + LocalHeaderSize + nameLength + extraLength;
    const uint64_t dataEnd = dataOffset + central.compressedSize;
    // A local extra field must not carry the data onto another member's, nor past the file's
    // end: the data must lie within the file.
    if (directory_.ReachesAnother(index, dataEnd) || prefixLength_ + dataEnd > file_.size()) {
        return false;
    }
    layout.method = central.method;
    layout.dataPosition = prefixLength_ + dataOffset;
    layout.compressedSize = central.compressedSize;
    layout.uncompressedSize = central.uncompressedSize;
    layout.crc = central.crc;
    checkedIndex_ = index;
    checkedLayout_ = layout;
    return true;
}

}  // namespace quillet
