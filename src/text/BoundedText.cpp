#include "text/BoundedText.h"

#include <algorithm>

namespace quillet {
namespace {

// Below this, the string's own growth is cheap enough.
constexpr size_t GrowInPlaceBytes = size_t{1} << 20;

}  // namespace

void BoundedText::Append(std::string_view text) {
    const size_t room = limit_ - std::min(limit_, text_.size());
    const std::string_view taken = text.substr(0, std::min(room, text.size()));
    if (text_.size() + taken.size() > text_.capacity() && text_.size() >= GrowInPlaceBytes) {
        // A long text gets room up to its limit at once: pages are taken only as they are
        // written, and no growth copies it again and again.
        text_.reserve(limit_);
    }
    text_.append(taken);
}

std::string BoundedText::TakeOrSpace() {
    return text_.empty() ? std::string(" ") : std::move(text_);
}

}  // namespace quillet
