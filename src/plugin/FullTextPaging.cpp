#include "plugin/FullTextPaging.h"

#include <atomic>
#include <limits>

#include "plugin/FieldTable.h"
#include "plugin/HostBuffer.h"
#include "text/DocumentText.h"

namespace quillet {
namespace {

std::atomic<int32_t> fullTextOffset{0};

// Moves the offset past the characters just handed over, without ever overflowing it.
void AdvanceOffset(int32_t maxLen) {
    const int64_t step = maxLen > 1 ? static_cast<int64_t>(maxLen) - 1 : 0;
    const int64_t next = static_cast<int64_t>(fullTextOffset.load()) + step;
    fullTextOffset.store(static_cast<int32_t>(
        next > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max() : next));
}

std::string CurrentPiece(const std::string& text, int32_t maxLen) {
    return TakePiece(text, fullTextOffset.load(), maxLen);
}

void HandOver(const std::string& piece, void* fieldValue, int32_t maxLen) {
    CopyToHostBuffer(static_cast<char*>(fieldValue), piece, static_cast<int64_t>(maxLen) - 1);
    AdvanceOffset(maxLen);
}

}  // namespace

int32_t FullTextOffset() {
    return fullTextOffset.load();
}

void SetFullTextOffset(int32_t offset) {
    fullTextOffset.store(offset);
}

int32_t PageFullText(int32_t unitIndex, void* fieldValue, int32_t maxLen,
                     const FullTextBuilder& build) {
    if (unitIndex == -1) {
        fullTextOffset.store(0);
        return FieldFullText;
    }
    if (unitIndex == 0) {
        fullTextOffset.store(0);
        HandOver(CurrentPiece(build(), maxLen), fieldValue, maxLen);
        return FieldFullText;
    }
    // A buffer without room for one character could never move the offset: the transfer ends.
    if (maxLen < 2) {
        return FieldEmpty;
    }
    const std::string piece = CurrentPiece(build(), maxLen);
    if (piece.empty()) {
        return FieldEmpty;
    }
    HandOver(piece, fieldValue, maxLen);
    return FieldFullText;
}

}  // namespace quillet
