#pragma once

#include <cstddef>
#include <cstdint>

namespace quillet {

// Results of the public package operations.
enum ZipResult : int32_t {
    ZipOk = 0,
    ZipNoSuchMember = 0x500,
    ZipBufferFilled = 0x600,
    ZipDamaged = 0x700,
    ZipReadFailed = 0x800,
    ZipBadArgument = 0x10000,
    ZipExtractFailed = 0x5000000,
};

// Status of the internal steps: the directory walk, the header checks and member reading.
enum ScanStatus : int32_t {
    ScanOk = 0,
    ReadError = -1,
    EndOfList = -100,
    BadParameter = -102,
    BadArchive = -103,
    OutOfMemory = -104,
};

constexpr size_t ZipEntryNameSize = 260;

// The description of one member as callers receive it.
struct ZipEntry {
    int32_t index = 0;
    char name[ZipEntryNameSize] = {};
    int32_t compressedSize = 0;
    int32_t uncompressedSize = 0;
};

}  // namespace quillet
