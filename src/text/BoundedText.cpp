#include "text/BoundedText.h"

#include <algorithm>

namespace quillet {

void BoundedText::Append(std::string_view text) {
    const size_t room = limit_ - std::min(limit_, text_.size());
    text_.append(text.substr(0, std::min(room, text.size())));
}

std::string BoundedText::TakeOrSpace() {
    return text_.empty() ? std::string(" ") : std::move(text_);
}

}  // namespace quillet
