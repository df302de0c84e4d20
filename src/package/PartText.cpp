#include "package/PartText.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace quillet {
namespace {

// Inflated a piece at a time, so a part that a filter refuses early costs what was read of it.
constexpr uint32_t PieceSize = 64 * 1024;
// Room kept behind the text for the NULs TinyXML's reading needs (see ParseXmlPart).
constexpr size_t TailRoom = 8;

// The bytes member `index` can deliver, or nothing when it may not be read at all.
std::optional<uint32_t> ReadableSize(ZipArchive& archive, int32_t index, const ZipEntry& entry) {
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
    return size;
}

}  // namespace

std::optional<std::string> ReadPartText(ZipArchive& archive, const char* partName,
                                        const PartFilter& keep) {
    int32_t index = -1;
    ZipEntry entry;
    if (archive.FindMember(partName, index, entry) != ZipOk) {
        return std::nullopt;
    }
    const auto size = ReadableSize(archive, index, entry);
    // An empty member extracts nothing at all: it counts as unreadable, like one that fails.
    if (!size || *size == 0) {
        return std::nullopt;
    }
    try {
        std::string text;
        // Reserved, not written: memory is taken as the data fills it.
        text.reserve(*size + TailRoom);
        for (uint32_t left = *size; left > 0;) {
            const uint32_t piece = std::min(left, PieceSize);
            const size_t start = text.size();
            // Cleared, so that whatever extraction leaves unwritten reads as the end of the text.
            text.resize(start + piece);
            const ZipResult result = archive.ExtractMember(index, &text[start], piece);
            if (result != ZipBufferFilled && (start == 0 || result == ZipExtractFailed)) {
                return std::nullopt;
            }
            const size_t filled = strnlen(&text[start], piece);
            text.resize(start + filled);
            if (keep && !keep(std::string_view(text).substr(start))) {
                return std::nullopt;
            }
            if (filled < piece || result != ZipBufferFilled) {
                break;  // a NUL byte, or the end of what the data holds
            }
            left -= piece;
        }
        return text;
    } catch (const std::bad_alloc&) {
        archive.NoteShortOfMemory();
        return std::nullopt;
    }
}

bool HasMember(ZipArchive& archive, const char* name) {
    int32_t index = -1;
    ZipEntry entry;
    return archive.FindMember(name, index, entry) == ZipOk;
}

}  // namespace quillet
