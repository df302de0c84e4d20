#include "xml/XmlWindow.h"

#include <algorithm>
#include <cstring>

namespace quillet {
namespace {

// Released bytes are moved out only once they are many and outweigh what is kept, so that
// moving costs at most as much as reading.
constexpr size_t CompactAfterBytes = 256 * 1024;

}  // namespace

XmlWindow::XmlWindow(PartSource& source) : source_(source) {
    MakeRoom(0);
}

bool XmlWindow::Reach(size_t offset) {
    if (end() >= offset || stopped_) {
        return end() >= offset;
    }
    if (offset - released_ > MaxBytes) {
        Stop(Status::Cut("one node past the window"));
        return false;
    }
    // Room for the whole reach at once: a node read in doubling windows is copied once per
    // doubling, not once per piece.
    const size_t wanted = offset - end();
    MakeRoom(wanted + PieceBytes - 1 - (wanted + PieceBytes - 1) % PieceBytes);
    while (end() < offset && !stopped_) {
        ReadPiece();
    }
    return end() >= offset;
}

void XmlWindow::MakeRoom(size_t bytes) {
    const size_t needed = size_ + bytes + Padding;
    if (needed <= capacity_) {
        return;
    }
    std::unique_ptr<char[]> grown(new char[needed]);
    if (size_ > 0) {
        std::memcpy(grown.get(), buffer_.get(), size_);  // the first buffer has nothing to copy
    }
    buffer_ = std::move(grown);
    capacity_ = needed;
    std::memset(buffer_.get() + size_, 0, Padding);
}

bool XmlWindow::ReadPiece() {
    MakeRoom(PieceBytes);
    char* const into = buffer_.get() + size_;
    const size_t read = source_.Read(into, PieceBytes);
    // The text ends at its first NUL byte, as when a part is read whole.
    const size_t kept = strnlen(into, read);
    size_ += kept;
    if (kept < read) {
        Stop(Status::Ok());
    } else if (read == 0) {
        Stop(source_.status());
    }
    std::memset(buffer_.get() + size_, 0, Padding);
    return read > 0;
}

void XmlWindow::Stop(Status why) {
    stopped_ = true;
    stop_ = why;
}

void XmlWindow::Release(size_t offset) {
    released_ = std::max(released_, std::min(offset, end()));
    const size_t released = released_ - base_;
    if (released < CompactAfterBytes || released < size_ - released) {
        return;
    }
    std::memmove(buffer_.get(), buffer_.get() + released, size_ - released + Padding);
    base_ += released;
    size_ -= released;
}

XmlWindow::EndedAt::EndedAt(XmlWindow& window, size_t offset) {
    if (offset >= window.end()) {
        return;  // the window's own padding ends it there
    }
    at_ = window.buffer_.get() + (offset - window.base_);
    std::memcpy(saved_, at_, Padding);
    std::memset(at_, 0, Padding);
}

XmlWindow::EndedAt::~EndedAt() {
    if (at_ != nullptr) {
        std::memcpy(at_, saved_, Padding);
    }
}

}  // namespace quillet
