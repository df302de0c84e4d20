#include "package/NameIndex.h"

namespace quillet::zip {
namespace {

// Names compare as NUL-terminated strings: whatever follows an embedded NUL never counts.
std::string_view UpToNul(std::string_view name) {
    const size_t nul = name.find('\0');
    return nul == std::string_view::npos ? name : name.substr(0, nul);
}

// Only ASCII letters fold; every other byte, '/' and '\' included, must be equal.
std::string FoldCase(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return folded;
}

}  // namespace

void NameIndex::Add(std::string_view storedName, int32_t index) {
    const std::string_view name = UpToNul(storedName.substr(0, MaxNameLength + 1));
    if (name.size() > MaxNameLength) {
        return;
    }
    firstIndex_.emplace(FoldCase(name), index);
}

std::optional<int32_t> NameIndex::Find(std::string_view wanted) const {
    const std::string_view name = UpToNul(wanted);
    if (name.size() > MaxNameLength) {
        return std::nullopt;
    }
    const auto found = firstIndex_.find(FoldCase(name));
    if (found == firstIndex_.end()) {
        return std::nullopt;
    }
    return found->second;
}

}  // namespace quillet::zip
