#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "plugin/FileKey.h"
#include "plugin/TextForm.h"

namespace quillet {

// The bytes of `text` from `offset` on, at most `maxLen` of them; empty at or past the end.
std::string TakePiece(const std::string& text, int64_t offset, int64_t maxLen);

// The whole text of a transfer as its interface hands it over: ANSI bytes, or UTF-8 that each
// piece converts to UTF-16 as it is handed over, so that no UTF-16 copy of a long text is ever
// held. The position of a transfer counts the form's units: bytes, or UTF-16 code units.
class TransferText {
  public:
    TransferText(TextForm form, std::string text);

    TextForm form() const { return form_; }
    size_t units() const { return units_; }
    // The units the piece at `offset` can carry through `limit` units of buffer; a UTF-16 piece
    // never ends with the first half of a pair whose second half follows.
    size_t UnitsAt(int64_t offset, int64_t limit) const;
    // Writes the piece at `offset` and a terminator into a buffer with room for `limit` units and
    // the terminator; answers the units written. A negative limit writes nothing.
    size_t HandOver(int64_t offset, void* buffer, int64_t limit) const;

  private:
    // Where UTF-16 unit `unit` starts in the UTF-8 text; `inPair` when it is the second half of a
    // pair. Sequential pieces cost their own length: the end of the last piece is remembered.
    size_t ByteOf(size_t unit, bool& inPair) const;

    TextForm form_;
    std::string text_;
    size_t units_ = 0;
    // The last piece's end: its UTF-16 unit in the high half, its byte in the low half.
    mutable std::atomic<uint64_t> cursor_{0};
};

// The one full-text transfer a process can have in progress: the position of the next piece,
// one value shared by both full-text fields, both interfaces and all files, and the text of the
// transfer, kept from one call to the next so that a piece costs no rebuild.
class FullTextTransfer {
  public:
    // The whole text of the field being transferred, in the transfer's form (ANSI bytes, or
    // UTF-8 for a UTF-16 transfer), and the state of the file it was read from (none: nothing
    // may be kept of it). A stopped build has no text to hand over.
    struct Built {
        std::string text;
        std::optional<FileKey> key;
        bool stopped = false;
    };
    using Builder = std::function<Built()>;

    // One step in `form`: unit index -1 ends the transfer, 0 starts it, anything else asks for
    // the next piece. `key` names the file's state now (none: its state cannot be told, nothing
    // kept serves it). Answers the form's full-text type for a step carried out, FieldEmpty once
    // the text has ended or when its build was stopped.
    int32_t Step(TextForm form, int32_t unitIndex, const std::optional<FileKey>& key, int32_t field,
                 void* fieldValue, int32_t maxLen, const Builder& build);
    // Lets go of the kept text, whatever it was for.
    void Drop();

  private:
    struct Kept {
        FileKey key;
        int32_t field = -1;
        std::shared_ptr<const TransferText> text;
    };

    int32_t First(TextForm form, int32_t field, void* fieldValue, int32_t maxLen,
                  const Builder& build);
    int32_t Next(TextForm form, const std::optional<FileKey>& key, int32_t field, void* fieldValue,
                 int32_t maxLen, const Builder& build);
    std::shared_ptr<const TransferText> Find(const FileKey& key, int32_t field);
    void Keep(const FileKey& key, int32_t field, std::shared_ptr<const TransferText> text);
    // Hands over the piece at the offset and moves the offset past it; answers the units
    // handed over.
    int64_t HandOver(const TransferText& text, void* fieldValue, int32_t maxLen);

    std::atomic<int32_t> offset_{0};
    std::mutex mutex_;
    Kept kept_;
};

}  // namespace quillet
