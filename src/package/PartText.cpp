#include "package/PartText.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace quillet {

std::optional<std::string> ReadPartText(ZipArchive& archive, const char* partName) {
    int32_t index = -1;
    ZipEntry entry;
    if (archive.FindMember(partName, index, entry) != ZipOk) {
        return std::nullopt;
    }
    // A declared size that went negative as int32 is 2 GiB or more.
    if (entry.uncompressedSize < 0 || static_cast<uint32_t>(entry.uncompressedSize) > MaxPartSize) {
        return std::nullopt;
    }
    // No bigger than the data can fill, so a tiny member that claims gigabytes costs nothing.
    const auto size = static_cast<uint32_t>(std::min<uint64_t>(
        static_cast<uint32_t>(entry.uncompressedSize), archive.DeliverableSize(index)));
    if (!archive.budget().TakeInflated(size)) {
        return std::nullopt;
    }
    // Cleared, so that whatever extraction leaves unwritten reads as the end of the text.
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[size + 1]());
    if (!buffer) {
        return std::nullopt;
    }
    if (archive.ExtractMember(index, buffer.get(), size) != ZipBufferFilled) {
        return std::nullopt;
    }
    try {
        return std::string(buffer.get(), strnlen(buffer.get(), size));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool HasMember(ZipArchive& archive, const char* name) {
    int32_t index = -1;
    ZipEntry entry;
    return archive.FindMember(name, index, entry) == ZipOk;
}

}  // namespace quillet
