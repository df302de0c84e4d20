#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillet::test {

// One member of a package under construction. Unset overrides take the values that the data
// gives, so a member is sound unless a test says otherwise.
struct MemberOptions {
    std::string name;
    std::string data;     // the uncompressed bytes
    uint16_t method = 0;  // 0 stores the data, 8 deflates it; any other value stores it as is
    // Member data written instead of the stored or deflated data (damaged streams and the like).
    std::optional<std::string> rawData;
    uint16_t flags = 0;
    // Sets flag bit 3: zero CRC-32 and sizes in the local header, a data descriptor after the data.
    bool dataDescriptor = false;
    uint16_t dosTime = 0x6000;                    // 12:00:00
    uint16_t dosDate = (40 << 9) | (1 << 5) | 1;  // 2020-01-01
    uint32_t externalAttributes = 0x20;
    std::string localExtra;
    std::string centralExtra;
    std::string centralComment;

    // Local header fields that disagree with the central directory.
    std::optional<uint16_t> localMethod;
    std::optional<uint32_t> localCrc;
    std::optional<uint32_t> localCompressedSize;
    std::optional<uint32_t> localUncompressedSize;
    std::optional<std::string> localName;
    std::optional<uint32_t> localSignature;
    // Extra length written in the local header, whatever the extra field's length.
    std::optional<uint16_t> localExtraLength;

    // Central directory fields that disagree with the data.
    std::optional<uint16_t> centralMethod;
    std::optional<uint32_t> centralCrc;
    std::optional<uint32_t> centralCompressedSize;
    std::optional<uint32_t> centralUncompressedSize;
    std::optional<uint32_t> centralSignature;
    std::optional<uint32_t> localHeaderOffset;
    // Name length written in the central header, whatever the name's length.
    std::optional<uint16_t> centralNameLength;
};

// Fields of the end-of-central-directory record and what surrounds the archive.
struct ArchiveOptions {
    std::string prefix;   // bytes before the archive; its offsets stay relative to its own start
    std::string comment;  // archive comment
    std::optional<uint16_t> commentLength;
    std::optional<uint16_t> diskNumber;
    std::optional<uint16_t> directoryDisk;
    std::optional<uint16_t> entriesOnDisk;
    std::optional<uint16_t> entriesTotal;
    std::optional<uint32_t> directorySize;
    std::optional<uint32_t> directoryOffset;
    // A ZIP64 end record (with this many bytes of extensible data) and its locator between the
    // central directory and the end record, as some writers put them, each with the values the
    // archive has.
    bool zip64Record = false;
    std::string zip64ExtensibleData;
    bool zip64Locator = false;
};

// Writes ZIP packages for tests, member by member, with whatever faults a test needs.
class PackageBuilder {
  public:
    PackageBuilder& AddStored(const std::string& name, const std::string& data);
    PackageBuilder& AddDeflated(const std::string& name, const std::string& data);
    PackageBuilder& Add(MemberOptions member);
    // The member added last, to adjust before Build.
    MemberOptions& Last();
    ArchiveOptions& archive() { return archive_; }
    PackageBuilder& Prefix(const std::string& bytes);
    PackageBuilder& Comment(const std::string& bytes);

    // The archive's bytes.
    std::string Build() const;
    // Archive offset of member `index`'s local header, as Build lays it out.
    uint32_t LocalHeaderOffset(size_t index) const;

  private:
    std::string MemberData(const MemberOptions& member) const;
    std::string LocalRecord(const MemberOptions& member) const;
    std::string CentralRecord(const MemberOptions& member, uint32_t offset) const;
    // The ZIP64 records that the options ask for, for a directory of `count` entries.
    std::string Zip64Records(uint64_t count, uint64_t directorySize,
                             uint64_t directoryOffset) const;

    std::vector<MemberOptions> members_;
    ArchiveOptions archive_;
};

// Raw deflate (no zlib header) as ZIP members carry it.
std::string Deflate(const std::string& data, int level = -1);
// Inflates a whole raw deflate stream in one call; empty when it fails.
std::string InflateWhole(const std::string& compressed, size_t expectedSize);
uint32_t Crc32(const std::string& data);

// Little-endian fields and extra-field blocks.
std::string Le16(uint32_t value);
std::string Le32(uint32_t value);
std::string Le64(uint64_t value);
std::string ExtraBlock(const std::string& id, const std::string& data);
// An extended timestamp block ("UT") with the flags byte and the given Unix times.
std::string TimestampBlock(uint8_t flags, const std::vector<uint32_t>& times);

}  // namespace quillet::test
