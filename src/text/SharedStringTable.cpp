#include "text/SharedStringTable.h"

#include <algorithm>

namespace quillet {
namespace {

// Below this, the string's own growth is cheap enough.
constexpr size_t GrowInPlaceBytes = size_t{1} << 20;

}  // namespace

SharedStringTable::SharedStringTable(size_t maxBytes) : maxBytes_(maxBytes) {}

bool SharedStringTable::Add(std::string_view text) {
    if (full_ || text.size() + BytesPerItem > maxBytes_ - std::min(maxBytes_, bytes())) {
        full_ = true;  // nothing after an item left out may be kept
        return false;
    }
    if (text_.size() + text.size() > text_.capacity() && text_.size() >= GrowInPlaceBytes) {
        // A large table gets room up to its bound at once: pages are taken only as they are
        // written, and no growth holds the table twice.
        text_.reserve(maxBytes_);
    }
    text_.append(text);
    ends_.push_back(static_cast<uint32_t>(text_.size()));
    return true;
}

void SharedStringTable::AppendToItem(std::string_view piece) {
    const size_t itemStart = ends_.empty() ? 0 : ends_.back();
    const size_t item = text_.size() - itemStart;
    const size_t used = itemStart + (ends_.size() + 1) * BytesPerItem;
    if (full_ || itemTooLarge_ || used + item + piece.size() > maxBytes_) {
        itemTooLarge_ = true;
        text_.resize(itemStart);
        return;
    }
    if (text_.size() + piece.size() > text_.capacity() && text_.size() >= GrowInPlaceBytes) {
        text_.reserve(maxBytes_);
    }
    text_.append(piece);
}

bool SharedStringTable::EndItem() {
    if (full_ || itemTooLarge_) {
        DropItem();
        full_ = true;  // nothing after an item left out may be kept
        return false;
    }
    ends_.push_back(static_cast<uint32_t>(text_.size()));
    return true;
}

void SharedStringTable::DropItem() {
    text_.resize(ends_.empty() ? 0 : ends_.back());
    itemTooLarge_ = false;
}

void SharedStringTable::Clear() {
    text_.clear();
    text_.shrink_to_fit();
    ends_.clear();
    ends_.shrink_to_fit();
    full_ = false;
    itemTooLarge_ = false;
    declaredCount = -1;
}

std::string_view SharedStringTable::At(int64_t index) const {
    if (index < 0 || static_cast<uint64_t>(index) >= ends_.size()) {
        return {};
    }
    const size_t i = static_cast<size_t>(index);
    const size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(text_).substr(begin, ends_[i] - begin);
}

}  // namespace quillet
