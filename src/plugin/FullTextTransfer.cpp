#include "plugin/FullTextTransfer.h"

#include <limits>

#include "package/RequestBudget.h"
#include "plugin/FieldTable.h"
#include "plugin/HostBuffer.h"

namespace quillet {
namespace {

// The offset after handing over one piece through a buffer of `maxLen` bytes, never past the
// largest offset (a buffer without room for a character does not move it).
int32_t AdvancedOffset(int32_t offset, int32_t maxLen) {
    const int64_t step = maxLen > 1 ? static_cast<int64_t>(maxLen) - 1 : 0;
    const int64_t next = static_cast<int64_t>(offset) + step;
    return static_cast<int32_t>(std::min<int64_t>(next, std::numeric_limits<int32_t>::max()));
}

}  // namespace

std::string TakePiece(const std::string& text, int64_t offset, int64_t maxLen) {
    const auto size = static_cast<int64_t>(text.size());
    if (offset + maxLen > size) {
        maxLen = size - offset;
    }
    if (maxLen <= 0 || offset < 0 || offset >= size) {
        return std::string();
    }
    return text.substr(static_cast<size_t>(offset), static_cast<size_t>(maxLen));
}

int32_t FullTextTransfer::Step(int32_t unitIndex, const std::optional<FileKey>& key, int32_t field,
                               void* fieldValue, int32_t maxLen, const Builder& build) {
    if (unitIndex == QUILLET_FULL_TEXT_END) {
        offset_.store(0);
        Drop();
        return FieldFullText;
    }
    if (unitIndex == QUILLET_FULL_TEXT_FIRST) {
        // A first call always reads the file afresh.
        offset_.store(0);
        Built built = build();
        auto text = std::make_shared<const std::string>(std::move(built.text));
        HandOver(*text, fieldValue, maxLen);
        if (!built.key) {
            Drop();
        } else if (static_cast<int64_t>(text->size()) < maxLen ||
                   text->size() > RequestBudget::MaxFullTextBytes) {
            // Handed over whole (or never to be kept): what is kept only says the text ended.
            Keep(*built.key, field, std::make_shared<const std::string>());
        } else {
            Keep(*built.key, field, std::move(text));
        }
        return FieldFullText;
    }
    // A buffer without room for one character could never move the offset: the transfer ends.
    if (maxLen < 2) {
        return FieldEmpty;
    }
    std::shared_ptr<const std::string> text = key ? Find(*key, field) : nullptr;
    if (!text) {
        Built built = build();
        text = std::make_shared<const std::string>(std::move(built.text));
        if (built.key && text->size() <= RequestBudget::MaxFullTextBytes) {
            Keep(*built.key, field, text);
        }
    }
    if (TakePiece(*text, offset_.load(), 1).empty()) {
        return FieldEmpty;
    }
    HandOver(*text, fieldValue, maxLen);
    return FieldFullText;
}

void FullTextTransfer::HandOver(const std::string& text, void* fieldValue, int32_t maxLen) {
    const int32_t offset = offset_.load();
    CopyToHostBuffer(static_cast<char*>(fieldValue), TakePiece(text, offset, maxLen),
                     static_cast<int64_t>(maxLen) - 1);
    offset_.store(AdvancedOffset(offset, maxLen));
}

std::shared_ptr<const std::string> FullTextTransfer::Find(const FileKey& key, int32_t field) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (kept_.text && kept_.field == field && kept_.key == key) {
        return kept_.text;
    }
    return nullptr;
}

void FullTextTransfer::Keep(const FileKey& key, int32_t field,
                            std::shared_ptr<const std::string> text) {
    Kept kept{key, field, std::move(text)};
    const std::lock_guard<std::mutex> lock(mutex_);
    // The text it replaces is released outside the lock, with `kept`.
    std::swap(kept_, kept);
}

void FullTextTransfer::Drop() {
    Kept dropped;
    const std::lock_guard<std::mutex> lock(mutex_);
    std::swap(kept_, dropped);
}

}  // namespace quillet
