#pragma once

#include <cstddef>
#include <memory>

#include "package/PartSource.h"

namespace quillet {

// The part of a text that a streaming reader still needs, read from its source as the reader
// asks and followed by NULs, so that TinyXML reads the end of the window as the end of a text.
// Positions are offsets into the whole text; what lies before the released offset is gone.
//
// Everything the streamed reading relies on rests on one property of TinyXML's parsers, stated
// here once: they read a text front to back and stop at its first NUL. So a parse of the window
// that ends before the window's end never looked past it, and is the parse the whole text gets;
// any other parse may have been cut short by the window, and must not be believed.
class XmlWindow {
  public:
    // More NULs than the longest step TinyXML takes past its position (a 4-byte UTF-8 sequence,
    // a 9-byte tag compared), so that no step reads behind them.
    static constexpr size_t Padding = 16;
    // The most the window holds ahead of what was released: one node that does not fit ends
    // the reading there.
    static constexpr size_t MaxBytes = size_t{16} << 20;
    static constexpr size_t PieceBytes = 64 * 1024;

    explicit XmlWindow(PartSource& source);

    const char* At(size_t offset) const { return buffer_.get() + (offset - base_); }
    size_t OffsetOf(const char* at) const {
        return base_ + static_cast<size_t>(at - buffer_.get());
    }
    // The offset right behind the last byte held.
    size_t end() const { return base_ + size_; }
    // The window holds the text's end: what TinyXML reads in it is what it reads in the text.
    bool whole() const { return stopped_ && stop_.ok(); }
    // Why reading had to stop before the text's end (Cut also when one node would not fit).
    Status stop() const { return stop_; }

    // Whether the window may reach `offset`: one node takes at most MaxBytes.
    bool CanHold(size_t offset) const { return offset - released_ <= MaxBytes; }
    // Reads on until the window reaches `offset` or the text ends; false when it cannot hold
    // that much or the source stopped short of it.
    bool Reach(size_t offset);
    // The bytes before `offset` are no longer needed.
    void Release(size_t offset);

    // The text as if it ended at `offset` (NULs in its place), for as long as this lives; the
    // window must not read or release meanwhile.
    class EndedAt {
      public:
        EndedAt(XmlWindow& window, size_t offset);
        ~EndedAt();
        EndedAt(const EndedAt&) = delete;
        EndedAt& operator=(const EndedAt&) = delete;

      private:
        char* at_ = nullptr;
        char saved_[Padding] = {};
    };

  private:
    bool ReadPiece();
    void Stop(Status why);
    // Room for `bytes` more behind what is held, and the padding: exactly that much when the
    // buffer must grow, so the window never takes much more memory than it holds.
    void MakeRoom(size_t bytes);

    PartSource& source_;
    std::unique_ptr<char[]> buffer_;
    size_t capacity_ = 0;
    size_t base_ = 0;  // the offset of the buffer's first byte
    size_t size_ = 0;
    size_t released_ = 0;   // nothing before it is needed, though it may still be held
    bool stopped_ = false;  // nothing more is read
    Status stop_;
};

}  // namespace quillet
