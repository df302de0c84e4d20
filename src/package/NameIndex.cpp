#include "package/NameIndex.h"

#include <algorithm>
#include <cstring>

namespace quillet::zip {
namespace {

// Names compare as NUL-terminated strings: whatever follows an embedded NUL never counts.
std::string_view UpToNul(std::string_view name) {
    const size_t nul = name.find('\0');
    return nul == std::string_view::npos ? name : name.substr(0, nul);
}

// Only ASCII letters fold; every other byte, '/' and '\' included, must be equal.
char FoldCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

void NameIndex::Reserve(size_t count) {
    names_.reserve(count);
}

uint64_t NameIndex::HeadOf(std::string_view folded) {
    // Eight bytes at a time, the length in the seed: a name's hash costs a few multiplications.
    constexpr uint64_t Multiplier = 0x9E3779B97F4A7C15u;
    uint64_t hash = (folded.size() + 1) * Multiplier;
    size_t at = 0;
    for (; at + sizeof(uint64_t) <= folded.size(); at += sizeof(uint64_t)) {
        uint64_t word = 0;
        std::memcpy(&word, folded.data() + at, sizeof word);
        hash = (hash ^ word) * Multiplier;
        hash ^= hash >> 29;
    }
    uint64_t tail = 0;
    std::memcpy(&tail, folded.data() + at, folded.size() - at);
    hash = (hash ^ tail) * Multiplier;
    return hash ^ (hash >> 32);
}

std::string_view NameIndex::Folded(const Name& name) const {
    return std::string_view(folded_).substr(name.offset, name.length);
}

bool NameIndex::Before(const Name& left, const Name& right) const {
    if (left.head != right.head) {
        return left.head < right.head;
    }
    return Folded(left) < Folded(right);
}

void NameIndex::Add(std::string_view storedName, int32_t index) {
    const std::string_view name = UpToNul(storedName.substr(0, MaxNameLength + 1));
    if (name.size() > MaxNameLength) {
        return;
    }
    const size_t offset = folded_.size();
    folded_.append(name);
    char* const first = &folded_[offset];
    for (size_t i = 0; i < name.size(); ++i) {
        first[i] = FoldCase(first[i]);
    }
    Name added;
    added.head = HeadOf(std::string_view(folded_).substr(offset));
    added.offset = static_cast<uint32_t>(offset);
    added.length = static_cast<uint32_t>(name.size());
    added.index = index;
    sorted_ = sorted_ && (names_.empty() || !Before(added, names_.back()));
    names_.push_back(added);
}

void NameIndex::Sort() {
    if (!sorted_) {
        // Equal names stay in entry order, so a lookup finds the first entry of a name.
        std::sort(names_.begin(), names_.end(), [this](const Name& left, const Name& right) {
            return Before(left, right) || (!Before(right, left) && left.index < right.index);
        });
        sorted_ = true;
    }
}

std::optional<int32_t> NameIndex::Find(std::string_view wanted) {
    const std::string_view name = UpToNul(wanted);
    if (name.size() > MaxNameLength) {
        return std::nullopt;
    }
    Sort();
    char buffer[MaxNameLength];
    for (size_t i = 0; i < name.size(); ++i) {
        buffer[i] = FoldCase(name[i]);
    }
    const std::string_view folded(buffer, name.size());
    const uint64_t head = HeadOf(folded);
    // The first name not ordered before the wanted one, whatever its index.
    const auto found = std::partition_point(names_.begin(), names_.end(), [&](const Name& entry) {
        return entry.head != head ? entry.head < head : Folded(entry) < folded;
    });
    if (found == names_.end() || found->head != head || Folded(*found) != folded) {
        return std::nullopt;
    }
    return found->index;
}

}  // namespace quillet::zip
