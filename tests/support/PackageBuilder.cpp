#include "support/PackageBuilder.h"

#include <stdexcept>

#include <zlib.h>

namespace quillet::test {
namespace {

constexpr uint16_t VersionNeeded = 20;
constexpr uint16_t FlagDataDescriptor = 0x0008;

}  // namespace

std::string Le16(uint32_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

std::string Le32(uint32_t value) {
    return Le16(value & 0xFFFF) + Le16(value >> 16);
}

std::string Le64(uint64_t value) {
    return Le32(static_cast<uint32_t>(value)) + Le32(static_cast<uint32_t>(value >> 32));
}

std::string ExtraBlock(const std::string& id, const std::string& data) {
    return id.substr(0, 2) + Le16(static_cast<uint32_t>(data.size())) + data;
}

std::string TimestampBlock(uint8_t flags, const std::vector<uint32_t>& times) {
    std::string data(1, static_cast<char>(flags));
    for (const uint32_t time : times) {
        data += Le32(time);
    }
    return ExtraBlock("UT", data);
}

uint32_t Crc32(const std::string& data) {
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

std::string Deflate(const std::string& data, int level) {
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("deflateInit2 failed");
    }
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) {
        throw std::runtime_error("deflate did not finish");
    }
    return out;
}

std::string InflateWhole(const std::string& compressed, size_t expectedSize) {
    z_stream stream{};
    if (inflateInit2(&stream, -15) != Z_OK) {
        return {};
    }
    std::string out(expectedSize, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    inflateEnd(&stream);
    return result == Z_STREAM_END ? out : std::string();
}

PackageBuilder& PackageBuilder::AddStored(const std::string& name, const std::string& data) {
    MemberOptions member;
    member.name = name;
    member.data = data;
    return Add(std::move(member));
}

PackageBuilder& PackageBuilder::AddDeflated(const std::string& name, const std::string& data) {
    MemberOptions member;
    member.name = name;
    member.data = data;
    member.method = 8;
    return Add(std::move(member));
}

PackageBuilder& PackageBuilder::Add(MemberOptions member) {
    members_.push_back(std::move(member));
    return *this;
}

MemberOptions& PackageBuilder::Last() {
    if (members_.empty()) {
        throw std::logic_error("no member yet");
    }
    return members_.back();
}

PackageBuilder& PackageBuilder::Prefix(const std::string& bytes) {
    archive_.prefix = bytes;
    return *this;
}

PackageBuilder& PackageBuilder::Comment(const std::string& bytes) {
    archive_.comment = bytes;
    return *this;
}

std::string PackageBuilder::MemberData(const MemberOptions& member) const {
    if (member.rawData) {
        return *member.rawData;
    }
    return member.method == 8 ? Deflate(member.data) : member.data;
}

std::string PackageBuilder::LocalRecord(const MemberOptions& member) const {
    const std::string data = MemberData(member);
    const std::string name = member.localName.value_or(member.name);
    const bool descriptor = member.dataDescriptor;
    const uint32_t crc = descriptor ? 0 : member.localCrc.value_or(Crc32(member.data));
    const uint32_t compressed =
        descriptor ? 0 : member.localCompressedSize.value_or(static_cast<uint32_t>(data.size()));
    const uint32_t uncompressed =
        descriptor
            ? 0
            : member.localUncompressedSize.value_or(static_cast<uint32_t>(member.data.size()));
    const uint16_t flags =
        static_cast<uint16_t>(member.flags | (descriptor ? FlagDataDescriptor : 0));

    std::string record = Le32(member.localSignature.value_or(0x04034b50));
    record += Le16(VersionNeeded) + Le16(flags) + Le16(member.localMethod.value_or(member.method));
    record += Le16(member.dosTime) + Le16(member.dosDate);
    record += Le32(crc) + Le32(compressed) + Le32(uncompressed);
    record += Le16(static_cast<uint32_t>(name.size()));
    record +=
        Le16(member.localExtraLength.value_or(static_cast<uint16_t>(member.localExtra.size())));
    record += name + member.localExtra + data;
    if (descriptor) {
        record += Le32(0x08074b50) + Le32(Crc32(member.data));
        record += Le32(static_cast<uint32_t>(data.size())) +
                  Le32(static_cast<uint32_t>(member.data.size()));
    }
    return record;
}

std::string PackageBuilder::CentralRecord(const MemberOptions& member, uint32_t offset) const {
    const std::string data = MemberData(member);
    const uint16_t flags =
        static_cast<uint16_t>(member.flags | (member.dataDescriptor ? FlagDataDescriptor : 0));
    std::string record = Le32(member.centralSignature.value_or(0x02014b50));
    record += Le16(0x031E) + Le16(VersionNeeded) + Le16(flags);
    record += Le16(member.centralMethod.value_or(member.method));
    record += Le16(member.dosTime) + Le16(member.dosDate);
    record += Le32(member.centralCrc.value_or(Crc32(member.data)));
    record += Le32(member.centralCompressedSize.value_or(static_cast<uint32_t>(data.size())));
    record +=
        Le32(member.centralUncompressedSize.value_or(static_cast<uint32_t>(member.data.size())));
    record += Le16(member.centralNameLength.value_or(static_cast<uint16_t>(member.name.size())));
    record += Le16(static_cast<uint32_t>(member.centralExtra.size()));
    record += Le16(static_cast<uint32_t>(member.centralComment.size()));
    record += Le16(0) + Le16(0) + Le32(member.externalAttributes);
    record += Le32(member.localHeaderOffset.value_or(offset));
    record += member.name + member.centralExtra + member.centralComment;
    return record;
}

uint32_t PackageBuilder::LocalHeaderOffset(size_t index) const {
    size_t offset = 0;
    for (size_t i = 0; i < index && i < members_.size(); ++i) {
        offset += LocalRecord(members_[i]).size();
    }
    return static_cast<uint32_t>(offset);
}

std::string PackageBuilder::Build() const {
    std::string locals;
    std::string central;
    for (const MemberOptions& member : members_) {
        const auto offset = static_cast<uint32_t>(locals.size());
        locals += LocalRecord(member);
        central += CentralRecord(member, offset);
    }
    const auto count = static_cast<uint16_t>(members_.size());
    const std::string zip64 = Zip64Records(members_.size(), central.size(), locals.size());
    std::string end = Le32(0x06054b50);
    end += Le16(archive_.diskNumber.value_or(0)) + Le16(archive_.directoryDisk.value_or(0));
    end +=
        Le16(archive_.entriesOnDisk.value_or(count)) + Le16(archive_.entriesTotal.value_or(count));
    end += Le32(archive_.directorySize.value_or(static_cast<uint32_t>(central.size())));
    end += Le32(archive_.directoryOffset.value_or(static_cast<uint32_t>(locals.size())));
    end += Le16(archive_.commentLength.value_or(static_cast<uint16_t>(archive_.comment.size())));
    return archive_.prefix + locals + central + zip64 + end + archive_.comment;
}

std::string PackageBuilder::Zip64Records(uint64_t count, uint64_t directorySize,
                                         uint64_t directoryOffset) const {
    std::string records;
    const uint64_t recordOffset = directoryOffset + directorySize;
    if (archive_.zip64Record) {
        std::string fields = Le16(45) + Le16(45) + Le32(0) + Le32(0) + Le64(count) + Le64(count);
        fields += Le64(directorySize) + Le64(directoryOffset) + archive_.zip64ExtensibleData;
        records += Le32(0x06064b50) + Le64(fields.size()) + fields;
    }
    if (archive_.zip64Locator) {
        records += Le32(0x07064b50) + Le32(0) + Le64(recordOffset) + Le32(1);
    }
    return records;
}

}  // namespace quillet::test
