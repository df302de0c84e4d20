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

// The whole text of a transfer in the form its interface hands over: ANSI bytes or UTF-16 code
// units. The position of a transfer counts these units.
struct TransferText {
    TextForm form = TextForm::Ansi;
    std::string ansi;
    std::u16string utf16;

    size_t units() const { return form == TextForm::Ansi ? ansi.size() : utf16.size(); }
};

// The one full-text transfer a process can have in progress: the position of the next piece,
// one value shared by both full-text fields, both interfaces and all files, and the text of the
// transfer, kept from one call to the next so that a piece costs no rebuild.
class FullTextTransfer {
  public:
    // The whole text of the field being transferred in the transfer's form (`text` in ANSI,
    // `utf16Text` in UTF-16), and the state of the file it was read from (none: nothing may be
    // kept of it). A stopped build has no text to hand over.
    struct Built {
        std::string text;
        std::optional<FileKey> key;
        std::u16string utf16Text{};
        bool stopped = false;
    };
    using Builder = std::function<Built()>;

    // One step in `form`: unit index -1 ends the transfer, 0 starts it, anything else asks for
    // the next piece. `key` names the file's state now (none: its state cannot be told, nothing
    // kept serves it). Answers the form's full-text type for a step carried out, FieldEmpty once
    // the text has ended or when its build was stopped.
    int32_t Step(TextForm form, int32_t unitIndex, const std::optional<FileKey>& key, int32_t field,
                 void* fieldValue, int32_t maxLen, const Builder& build);
    // A step of an ANSI transfer.
    int32_t Step(int32_t unitIndex, const std::optional<FileKey>& key, int32_t field,
                 void* fieldValue, int32_t maxLen, const Builder& build) {
        return Step(TextForm::Ansi, unitIndex, key, field, fieldValue, maxLen, build);
    }
    // Lets go of the kept text, whatever it was for.
    void Drop();

    int32_t offset() const { return offset_.load(); }
    void SetOffset(int32_t offset) { offset_.store(offset); }

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
