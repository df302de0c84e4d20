#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "plugin/FileKey.h"

namespace quillet {

// The bytes of `text` from `offset` on, at most `maxLen` of them; empty at or past the end.
std::string TakePiece(const std::string& text, int64_t offset, int64_t maxLen);

// The one full-text transfer a process can have in progress: the position of the next piece,
// one value shared by both full-text fields and all files, and the text of the transfer, kept
// from one call to the next so that a piece costs no rebuild.
class FullTextTransfer {
  public:
    // The whole text of the field being transferred, and the state of the file it was read from
    // (none: nothing may be kept of it).
    struct Built {
        std::string text;
        std::optional<FileKey> key;
    };
    using Builder = std::function<Built()>;

    // One step: unit index -1 ends the transfer, 0 starts it, anything else asks for the next
    // piece. `key` names the file's state now (none: its state cannot be told, nothing kept
    // serves it). Answers FieldFullText for a step carried out, FieldEmpty once the text has
    // ended.
    int32_t Step(int32_t unitIndex, const std::optional<FileKey>& key, int32_t field,
                 void* fieldValue, int32_t maxLen, const Builder& build);
    // Lets go of the kept text, whatever it was for.
    void Drop();

    int32_t offset() const { return offset_.load(); }
    void SetOffset(int32_t offset) { offset_.store(offset); }

  private:
    struct Kept {
        FileKey key;
        int32_t field = -1;
        std::shared_ptr<const std::string> text;
    };

    std::shared_ptr<const std::string> Find(const FileKey& key, int32_t field);
    void Keep(const FileKey& key, int32_t field, std::shared_ptr<const std::string> text);
    void HandOver(const std::string& text, void* fieldValue, int32_t maxLen);

    std::atomic<int32_t> offset_{0};
    std::mutex mutex_;
    Kept kept_;
};

}  // namespace quillet
