#include "text/BoundedText.h"

#include <algorithm>

#include "platform/Unicode.h"

namespace quillet {
namespace {

// Below this, the string's own growth is cheap enough.
constexpr size_t GrowInPlaceBytes = size_t{1} << 20;

}  // namespace

void BoundedText::Append(std::string_view text) {
    const size_t room = limit_ - std::min(limit_, text_.size());
    size_t length = std::min(room, text.size());
    if (length < text.size()) {
        // A character cut in two would leave an ill-formed end.
        while (length > 0 && platform::IsUtf8Continuation(text[length])) {
            --length;
        }
        // The text is full all the same: nothing after the cut may follow.
        limit_ = text_.size() + length;
    }
    const std::string_view taken = text.substr(0, length);
    if (text_.size() + taken.size() > text_.capacity() && text_.size() >= GrowInPlaceBytes) {
        // A long text gets room up to its limit at once: pages are taken only as they are
        // written, and no growth copies it again and again.
        text_.reserve(limit_);
    }
    text_.append(taken);
}

void BoundedText::Truncate(size_t size) {
    if (size < text_.size()) {
        text_.resize(size);
        // Whatever cut the text short was dropped with it.
        limit_ = maxLimit_;
    }
}

std::string BoundedText::TakeOrSpace() {
    return text_.empty() ? std::string(" ") : std::move(text_);
}

}  // namespace quillet
