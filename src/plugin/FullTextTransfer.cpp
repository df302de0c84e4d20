#include "plugin/FullTextTransfer.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "package/RequestBudget.h"
#include "platform/Unicode.h"
#include "plugin/FieldTable.h"
#include "plugin/HostBuffer.h"

namespace quillet {
namespace {

// The offset after handing over one ANSI piece through a buffer of `maxLen` bytes, never past
// the largest offset (a buffer without room for a character does not move it).
int32_t AdvancedOffset(int32_t offset, int32_t maxLen) {
    const int64_t step = maxLen > 1 ? static_cast<int64_t>(maxLen) - 1 : 0;
    const int64_t next = static_cast<int64_t>(offset) + step;
    return static_cast<int32_t>(std::min<int64_t>(next, std::numeric_limits<int32_t>::max()));
}

int32_t FullTextType(TextForm form) {
    return form == TextForm::Ansi ? FieldFullText : FieldFullTextW;
}

// The units a piece can carry through a buffer of `maxLen` bytes, terminator excluded.
int64_t PieceUnits(TextForm form, int32_t maxLen) {
    return form == TextForm::Ansi ? static_cast<int64_t>(maxLen) - 1
                                  : static_cast<int64_t>(maxLen) / 2 - 1;
}

// The smallest buffer a next call needs: one that carries at least one unit. Smaller ones could
// never move the offset, so the transfer ends.
int32_t SmallestNextBuffer(TextForm form) {
    return form == TextForm::Ansi ? 2 : 4;
}

constexpr char32_t FirstSupplementary = 0x10000;

// The code point at `position` of well-formed UTF-8, which moves past it.
char32_t CharacterAt(std::string_view utf8, size_t& position) {
    const auto byte = static_cast<unsigned char>(utf8[position]);
    if (byte < 0x80) {
        ++position;
        return byte;
    }
    return platform::DecodeUtf8At(utf8, position);
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

TransferText::TransferText(TextForm form, std::string text) : form_(form), text_(std::move(text)) {
    if (form_ == TextForm::Ansi) {
        units_ = text_.size();
        return;
    }
    units_ = platform::Utf16Length(text_);
}

size_t TransferText::ByteOf(size_t unit, bool& inPair) const {
    const uint64_t cursor = cursor_.load(std::memory_order_relaxed);
    size_t at = static_cast<size_t>(cursor >> 32);
    size_t position = static_cast<size_t>(cursor & 0xFFFFFFFFu);
    if (at > unit) {
        at = 0;
        position = 0;
    }
    inPair = false;
    while (at < unit && position < text_.size()) {
        const size_t ascii =
            platform::AsciiPrefix(std::string_view(text_).substr(position, unit - at));
        at += ascii;
        position += ascii;
        if (at == unit || position == text_.size()) {
            break;
        }
        size_t next = position;
        const size_t width = CharacterAt(text_, next) >= FirstSupplementary ? 2u : 1u;
        if (at + width > unit) {
            inPair = true;
            break;
        }
        at += width;
        position = next;
    }
    return position;
}

size_t TransferText::UnitsAt(int64_t offset, int64_t limit) const {
    if (offset < 0 || static_cast<uint64_t>(offset) >= units_ || limit <= 0) {
        return 0;
    }
    if (form_ == TextForm::Ansi) {
        return std::min(units_ - static_cast<size_t>(offset), static_cast<size_t>(limit));
    }
    return HandOver(offset, nullptr, limit);
}

size_t TransferText::HandOver(int64_t offset, void* buffer, int64_t limit) const {
    const bool within = offset >= 0 && static_cast<uint64_t>(offset) < units_;
    if (form_ == TextForm::Ansi) {
        const std::string_view rest =
            within ? std::string_view(text_).substr(static_cast<size_t>(offset))
                   : std::string_view();
        CopyToHostBuffer(static_cast<char*>(buffer), rest, limit);
        return limit < 0 ? 0 : std::min(rest.size(), static_cast<size_t>(limit));
    }
    if (!within || limit <= 0) {
        return CopyToHostBufferW(buffer, std::string_view(), limit).units;
    }
    bool inPair = false;
    const size_t start = ByteOf(static_cast<size_t>(offset), inPair);
    const Utf16Copy copied =
        CopyToHostBufferW(buffer, std::string_view(text_).substr(start), limit, inPair);
    if (buffer != nullptr) {
        cursor_.store((static_cast<uint64_t>(offset) + copied.units) << 32 | (start + copied.bytes),
                      std::memory_order_relaxed);
    }
    return copied.units;
}

int32_t FullTextTransfer::Step(TextForm form, int32_t unitIndex, const std::optional<FileKey>& key,
                               int32_t field, void* fieldValue, int32_t maxLen,
                               const Builder& build) {
    if (unitIndex == QUILLET_FULL_TEXT_END) {
        offset_.store(0);
        Drop();
        return FullTextType(form);
    }
    if (unitIndex == QUILLET_FULL_TEXT_FIRST) {
        return First(form, field, fieldValue, maxLen, build);
    }
    return Next(form, key, field, fieldValue, maxLen, build);
}

int32_t FullTextTransfer::First(TextForm form, int32_t field, void* fieldValue, int32_t maxLen,
                                const Builder& build) {
    // A first call always reads the file afresh.
    offset_.store(0);
    Built built = build();
    if (built.stopped) {
        Drop();
        return FieldEmpty;
    }
    auto text = std::make_shared<const TransferText>(form, std::move(built.text));
    const int64_t handed = HandOver(*text, fieldValue, maxLen);
    if (!built.key) {
        Drop();
    } else if (handed == static_cast<int64_t>(text->units()) ||
               text->units() > RequestBudget::MaxFullTextBytes) {
        // Handed over whole (or never to be kept): what is kept only says the text ended.
        Keep(*built.key, field, std::make_shared<const TransferText>(form, std::string()));
    } else {
        Keep(*built.key, field, std::move(text));
    }
    return FullTextType(form);
}

int32_t FullTextTransfer::Next(TextForm form, const std::optional<FileKey>& key, int32_t field,
                               void* fieldValue, int32_t maxLen, const Builder& build) {
    if (maxLen < SmallestNextBuffer(form)) {
        return FieldEmpty;
    }
    std::shared_ptr<const TransferText> text = key ? Find(*key, field) : nullptr;
    if (!text || text->form() != form) {
        Built built = build();
        if (built.stopped) {
            return FieldEmpty;
        }
        text = std::make_shared<const TransferText>(form, std::move(built.text));
        if (built.key && text->units() <= RequestBudget::MaxFullTextBytes) {
            Keep(*built.key, field, text);
        }
    }
    // A piece without a whole character (the rest of the text is a pair that a buffer of one
    // unit cannot carry) would never move the offset: the transfer ends there too.
    if (text->UnitsAt(offset_.load(), PieceUnits(form, maxLen)) == 0) {
        return FieldEmpty;
    }
    HandOver(*text, fieldValue, maxLen);
    return FullTextType(form);
}

int64_t FullTextTransfer::HandOver(const TransferText& text, void* fieldValue, int32_t maxLen) {
    const int32_t offset = offset_.load();
    const auto handed =
        static_cast<int64_t>(text.HandOver(offset, fieldValue, PieceUnits(text.form(), maxLen)));
    if (text.form() == TextForm::Ansi) {
        offset_.store(AdvancedOffset(offset, maxLen));
    } else {
        // The offset moves by what was handed over: one unit less where a pair would be cut.
        offset_.store(static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(offset) + handed,
                                                             std::numeric_limits<int32_t>::max())));
    }
    return handed;
}

std::shared_ptr<const TransferText> FullTextTransfer::Find(const FileKey& key, int32_t field) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (kept_.text && kept_.field == field && kept_.key == key) {
        return kept_.text;
    }
    return nullptr;
}

void FullTextTransfer::Keep(const FileKey& key, int32_t field,
                            std::shared_ptr<const TransferText> text) {
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
