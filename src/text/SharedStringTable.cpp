#include "text/SharedStringTable.h"

namespace quillet {

bool SharedStringTable::Add(std::string_view text) {
    if (ends_.size() >= MaxItems) {
        return false;
    }
    text_.append(text);
    ends_.push_back(text_.size());
    return true;
}

void SharedStringTable::Clear() {
    text_.clear();
    text_.shrink_to_fit();
    ends_.clear();
    ends_.shrink_to_fit();
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
