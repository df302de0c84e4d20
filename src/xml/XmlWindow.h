#pragma once

#include <cstddef>
#include <string>

#include "package/PartSource.h"

namespace quillet {

// The part of a text that a streaming reader still needs, read from its source as the reader
// asks and followed by NULs, so that TinyXML reads the end of the window as the end of a text.
// Positions are offsets into the whole text; what lies before the released offset is gone.
class XmlWindow {
  public:
    // More NULs than the longest step TinyXML takes past its position (a 4-byte UTF-8 sequence,
    // a 9-byte tag compared), so that no step reads behind them.
    static constexpr size_t Padding = 16;
    // The most the window holds at once, a piece aside: one node larger than this ends the
    // reading. A part no larger is always read to its end, as when it is read whole.
    static constexpr size_t MaxBytes = size_t{64} << 20;
    static constexpr size_t PieceBytes = 64 * 1024;

    explicit XmlWindow(PartSource& source);

    const char* At(size_t offset) const { return buffer_.data() + (offset - base_); }
    size_t OffsetOf(const char* at) const {
        return base_ + static_cast<size_t>(at - buffer_.data());
    }
    // The offset right behind the last byte held.
    size_t end() const { return base_ + size_; }
    // The window holds the text's end: what TinyXML reads in it is what it reads in the text.
    bool whole() const { return stop_ == SourceEnd::Whole; }
    // Why reading had to stop before the text's end (Cut also when one node would not fit).
    SourceEnd stop() const { return stop_; }

    // Reads on until the window reaches `offset` or the text ends; false when it cannot hold
    // that much or the source stopped short of it.
    bool Reach(size_t offset);
    // The bytes before `offset` are no longer needed.
    void Release(size_t offset);

  private:
    bool ReadPiece();

    PartSource& source_;
    std::string buffer_;
    size_t base_ = 0;
    size_t size_ = 0;
    SourceEnd stop_ = SourceEnd::Open;
};

}  // namespace quillet
