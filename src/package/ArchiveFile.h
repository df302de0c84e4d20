#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/File.h"

namespace quillet::zip {

// The file under an archive as one request reads it. It tells the two ways a read can fail
// apart: one asked beyond the file's size, which only the package's shape can cause and which
// spoils the member that asked; and one that came short inside the size, which a file changed
// under the request or a failing system causes, and which may pass.
class ArchiveFile {
  public:
    // `file` must be seekable and tell its size.
    ArchiveFile(std::unique_ptr<platform::File> file, uint64_t size)
        : file_(std::move(file)), size_(size) {
        stamped_ = file_->ReadStamp(stamp_);
    }

    uint64_t size() const { return size_; }
    // Reads up to `length` bytes at `position`, never beyond the size; answers how many arrived.
    size_t ReadAt(uint64_t position, void* buffer, size_t length);
    bool ReadExactly(uint64_t position, void* buffer, size_t length) {
        return ReadAt(position, buffer, length) == length;
    }

    // Something of this request failed for a reason that may pass: a read that came short
    // inside the file, memory that ran out, a member whose bytes were not those it was written
    // with. What was read then must not be kept.
    bool metPassingFailure() const { return passingFailure_; }
    void NotePassingFailure() { passingFailure_ = true; }
    // Whether the file's content is as when it was opened, asked of the file now: a write that
    // overlapped the reads may have torn what they delivered, which then counts as a passing
    // failure too. Its size and modification time tell: its change time moves with a rename
    // over its name too, which leaves the content this handle reads as it was.
    bool Unchanged();

  private:
    std::unique_ptr<platform::File> file_;
    const uint64_t size_;
    platform::FileStamp stamp_;
    bool stamped_ = false;
    bool passingFailure_ = false;
};

}  // namespace quillet::zip
