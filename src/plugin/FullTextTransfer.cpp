#include "plugin/FullTextTransfer.h"

#include <algorithm>
#include <limits>

#include "package/RequestBudget.h"
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

// The units of the piece at `offset`, none at or past the end; a UTF-16 piece never ends
// inside a surrogate pair.
size_t UnitsAt(const TransferText& text, int64_t offset, int64_t limit) {
    if (offset < 0 || offset >= static_cast<int64_t>(text.units())) {
        return 0;
    }
    if (text.form == TextForm::Ansi) {
        return std::min(text.ansi.size() - static_cast<size_t>(offset),
                        static_cast<size_t>(std::max<int64_t>(limit, 0)));
    }
    return WholeUnits(std::u16string_view(text.utf16).substr(static_cast<size_t>(offset)), limit);
}

std::shared_ptr<const TransferText> TextOf(TextForm form, FullTextTransfer::Built& built) {
    auto text = std::make_shared<TransferText>();
    text->form = form;
    if (form == TextForm::Ansi) {
        text->ansi = std::move(built.text);
    } else {
        text->utf16 = std::move(built.utf16Text);
    }
    return text;
}

std::shared_ptr<const TransferText> EmptyText(TextForm form) {
    auto text = std::make_shared<TransferText>();
    text->form = form;
    return text;
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
    std::shared_ptr<const TransferText> text = TextOf(form, built);
    const int64_t handed = HandOver(*text, fieldValue, maxLen);
    if (!built.key) {
        Drop();
    } else if (handed == static_cast<int64_t>(text->units()) ||
               text->units() > RequestBudget::MaxFullTextBytes) {
        // Handed over whole (or never to be kept): what is kept only says the text ended.
        Keep(*built.key, field, EmptyText(form));
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
    if (!text) {
        Built built = build();
        if (built.stopped) {
            return FieldEmpty;
        }
        text = TextOf(form, built);
        if (built.key && text->units() <= RequestBudget::MaxFullTextBytes) {
            Keep(*built.key, field, text);
        }
    }
    // A piece without a whole character (the rest of the text is a pair that a buffer of one
    // unit cannot carry) would never move the offset: the transfer ends there too.
    if (UnitsAt(*text, offset_.load(), PieceUnits(form, maxLen)) == 0) {
        return FieldEmpty;
    }
    HandOver(*text, fieldValue, maxLen);
    return FullTextType(form);
}

int64_t FullTextTransfer::HandOver(const TransferText& text, void* fieldValue, int32_t maxLen) {
    const int32_t offset = offset_.load();
    if (text.form == TextForm::Ansi) {
        const std::string piece = TakePiece(text.ansi, offset, maxLen);
        CopyToHostBuffer(static_cast<char*>(fieldValue), piece, static_cast<int64_t>(maxLen) - 1);
        offset_.store(AdvancedOffset(offset, maxLen));
        return static_cast<int64_t>(UnitsAt(text, offset, PieceUnits(text.form, maxLen)));
    }
    const std::u16string_view rest =
        offset >= 0 && static_cast<size_t>(offset) < text.utf16.size()
            ? std::u16string_view(text.utf16).substr(static_cast<size_t>(offset))
            : std::u16string_view();
    const int64_t handed = CopyToHostBufferW(fieldValue, rest, PieceUnits(text.form, maxLen));
    // The offset moves by what was handed over: one unit less where a pair would be cut.
    offset_.store(static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(offset) + handed,
                                                         std::numeric_limits<int32_t>::max())));
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
