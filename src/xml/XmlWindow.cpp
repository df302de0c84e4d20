#include "xml/XmlWindow.h"

#include <algorithm>
#include <cstring>

namespace quillet {
namespace {

// Released bytes are moved out only once they are many and outweigh what is kept, so that
// moving costs at most as much as reading.
constexpr size_t CompactAfterBytes = 256 * 1024;

}  // namespace

XmlWindow::XmlWindow(PartSource& source) : source_(source), buffer_(Padding, '\0') {}

bool XmlWindow::Reach(size_t offset) {
    while (end() < offset && stop_ == SourceEnd::Open) {
        if (size_ > MaxBytes) {
            stop_ = SourceEnd::Cut;
            break;
        }
        ReadPiece();
    }
    return end() >= offset;
}

bool XmlWindow::ReadPiece() {
    buffer_.resize(size_ + PieceBytes + Padding);
    char* const into = &buffer_[size_];
    const size_t read = source_.Read(into, PieceBytes);
    // The text ends at its first NUL byte, as when a part is read whole.
    const size_t kept = strnlen(into, read);
    size_ += kept;
    if (kept < read) {
        stop_ = SourceEnd::Whole;
    } else if (read == 0) {
        stop_ = source_.end() == SourceEnd::Open ? SourceEnd::Unreadable : source_.end();
    }
    buffer_.resize(size_ + Padding);
    std::fill(buffer_.begin() + static_cast<std::ptrdiff_t>(size_), buffer_.end(), '\0');
    return read > 0;
}

void XmlWindow::Release(size_t offset) {
    const size_t released = std::min(offset, end()) - base_;
    if (released < CompactAfterBytes || released < size_ - released) {
        return;
    }
    buffer_.erase(0, released);
    base_ += released;
    size_ -= released;
}

}  // namespace quillet
