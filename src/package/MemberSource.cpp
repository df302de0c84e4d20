#include "package/MemberSource.h"

#include <algorithm>
#include <limits>

namespace quillet {

MemberSource::MemberSource(ZipArchive& archive, const char* partName) : archive_(archive) {
    ZipEntry entry;
    // A declared size that went negative as int32 is 2 GiB or more: no member of a real
    // document, and not one the package format of the sizes can describe.
    if (archive.FindMember(partName, index_, entry) != ZipOk || entry.uncompressedSize < 0) {
        end_ = SourceEnd::Unreadable;
    }
}

size_t MemberSource::Read(char* into, size_t capacity) {
    if (end_ != SourceEnd::Open || capacity == 0) {
        return 0;
    }
    const uint64_t allowed = std::min<uint64_t>(
        {capacity, archive_.budget().inflatedLeft(), std::numeric_limits<uint32_t>::max()});
    if (allowed == 0) {
        end_ = SourceEnd::Cut;
        return 0;
    }
    uint32_t written = 0;
    const ZipResult result =
        archive_.ExtractMember(index_, into, static_cast<uint32_t>(allowed), &written);
    // A member that delivers nothing at all counts as unreadable, as one that fails.
    if (result == ZipExtractFailed || (result != ZipBufferFilled && !started_)) {
        end_ = SourceEnd::Unreadable;
        return 0;
    }
    started_ = true;
    archive_.budget().TakeInflated(written);
    // Fewer bytes than asked for: the member's data ended. A budget that ran out leaves the
    // source open, and the next read finds the text cut.
    if (result != ZipBufferFilled || written < allowed) {
        end_ = SourceEnd::Whole;
    }
    return written;
}

}  // namespace quillet
