#pragma once

#include <cstddef>
#include <cstdint>

// The records of a ZIP file as this reader knows them; every number is little-endian.
namespace quillet::zip {

constexpr uint32_t EndRecordSignature = 0x06054b50;
constexpr uint32_t CentralHeaderSignature = 0x02014b50;
constexpr uint32_t LocalHeaderSignature = 0x04034b50;
// Some writers put these two before the end record even when no value needs them.
constexpr uint32_t Zip64EndRecordSignature = 0x06064b50;
constexpr uint32_t Zip64LocatorSignature = 0x07064b50;

constexpr size_t EndRecordSize = 22;
constexpr size_t CentralHeaderSize = 46;
constexpr size_t LocalHeaderSize = 30;
constexpr size_t Zip64LocatorSize = 20;
// Signature and the 8-byte size field, which counts the bytes after it.
constexpr size_t Zip64EndRecordLead = 12;
// The record without an extensible data sector, as writers make it.
constexpr size_t Zip64EndRecordUsualSize = 56;

// Classic end record values that stand for ZIP64 ones.
constexpr uint32_t Zip64Count = 0xFFFF;
constexpr uint32_t Zip64Value = 0xFFFFFFFF;

constexpr uint32_t MethodStored = 0;
constexpr uint32_t MethodDeflated = 8;
// Local header flag: CRC-32 and sizes follow the data and are zero in the header.
constexpr uint32_t FlagDataDescriptor = 0x0008;

inline uint32_t Read16(const unsigned char* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8;
}

inline uint32_t Read32(const unsigned char* bytes) {
    return Read16(bytes) | Read16(bytes + 2) << 16;
}

inline uint64_t Read64(const unsigned char* bytes) {
    return uint64_t{Read32(bytes)} | uint64_t{Read32(bytes + 4)} << 32;
}

// The fixed part of one central directory entry.
struct CentralHeader {
    uint32_t versionMadeBy = 0;
    uint32_t versionNeeded = 0;
    uint32_t flags = 0;
    uint32_t method = 0;
    uint32_t dosDateTime = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint32_t nameLength = 0;
    uint32_t extraLength = 0;
    uint32_t commentLength = 0;
    uint32_t diskNumberStart = 0;
    uint32_t internalAttributes = 0;
    uint32_t localHeaderOffset = 0;

    // Bytes from this header to the next one.
    uint64_t RecordSize() const {
        return uint64_t{CentralHeaderSize} + nameLength + extraLength + commentLength;
    }
};

// Fields of a central header whose 46 bytes start at `bytes` (signature already compared).
inline CentralHeader ParseCentralHeader(const unsigned char* bytes) {
    CentralHeader header;
    header.versionMadeBy = Read16(bytes + 4);
    header.versionNeeded = Read16(bytes + 6);
    header.flags = Read16(bytes + 8);
    header.method = Read16(bytes + 10);
    header.dosDateTime = Read32(bytes + 12);
    header.crc = Read32(bytes + 16);
    header.compressedSize = Read32(bytes + 20);
    header.uncompressedSize = Read32(bytes + 24);
    header.nameLength = Read16(bytes + 28);
    header.extraLength = Read16(bytes + 30);
    header.commentLength = Read16(bytes + 32);
    header.diskNumberStart = Read16(bytes + 34);
    header.internalAttributes = Read16(bytes + 36);
    header.localHeaderOffset = Read32(bytes + 42);
    return header;
}

}  // namespace quillet::zip
