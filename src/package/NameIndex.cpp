#include "package/NameIndex.h"

#include <cstring>

namespace quillet::zip {
namespace {

constexpr size_t MinimumSlots = 16;

// Names compare as NUL-terminated strings: whatever follows an embedded NUL never counts.
std::string_view UpToNul(std::string_view name) {
    const size_t nul = name.find('\0');
    return nul == std::string_view::npos ? name : name.substr(0, nul);
}

// Only ASCII letters fold; every other byte, '/' and '\' included, must be equal.
char FoldCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Eight bytes a step: a byte at a time, the multiplications in a row would cost more than the
// rest of opening a package of many members.
uint32_t Hash(std::string_view folded) {
    constexpr uint64_t Multiplier = 0x9E3779B97F4A7C15u;
    uint64_t hash = folded.size();
    size_t at = 0;
    for (; at + 8 <= folded.size(); at += 8) {
        uint64_t word = 0;
        std::memcpy(&word, folded.data() + at, 8);
        hash = ((hash ^ word) * Multiplier);
        hash ^= hash >> 29;
    }
    uint64_t tail = 0;
    std::memcpy(&tail, folded.data() + at, folded.size() - at);
    hash = (hash ^ tail) * Multiplier;
    return static_cast<uint32_t>(hash ^ (hash >> 32));
}

size_t SlotsFor(size_t count) {
    size_t slots = MinimumSlots;
    while (slots < 2 * count) {
        slots *= 2;
    }
    return slots;
}

}  // namespace

void NameIndex::Reserve(size_t count) {
    if (SlotsFor(count) > slots_.size()) {
        std::vector<Slot> old(SlotsFor(count));
        old.swap(slots_);
        for (const Slot& slot : old) {
            if (slot.index >= 0) {
                slots_[Probe(std::string_view(folded_).substr(slot.offset, slot.length),
                             slot.hash)] = slot;
            }
        }
    }
}

void NameIndex::Grow() {
    Reserve(slots_.empty() ? MinimumSlots / 2 : slots_.size());
}

size_t NameIndex::Probe(std::string_view folded, uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots_[at];
        if (slot.index < 0 || (slot.hash == hash && slot.length == folded.size() &&
                               folded_.compare(slot.offset, slot.length, folded) == 0)) {
            return at;
        }
    }
}

void NameIndex::Add(std::string_view storedName, int32_t index) {
    const std::string_view name = UpToNul(storedName.substr(0, MaxNameLength + 1));
    if (name.size() > MaxNameLength) {
        return;
    }
    if (2 * (used_ + 1) > slots_.size()) {
        Grow();
    }
    const size_t offset = folded_.size();
    folded_.append(name);
    char* const first = &folded_[offset];
    for (size_t i = 0; i < name.size(); ++i) {
        first[i] = FoldCase(first[i]);
    }
    const std::string_view folded = std::string_view(folded_).substr(offset);
    const uint32_t hash = Hash(folded);
    Slot& slot = slots_[Probe(folded, hash)];
    if (slot.index >= 0) {
        folded_.resize(offset);  // a later entry of the same name is never the one found
        return;
    }
    slot = Slot{hash, static_cast<uint32_t>(offset), static_cast<uint32_t>(name.size()), index};
    ++used_;
}

std::optional<int32_t> NameIndex::Find(std::string_view wanted) const {
    const std::string_view name = UpToNul(wanted);
    if (name.size() > MaxNameLength || slots_.empty()) {
        return std::nullopt;
    }
    char buffer[MaxNameLength];
    for (size_t i = 0; i < name.size(); ++i) {
        buffer[i] = FoldCase(name[i]);
    }
    const std::string_view folded(buffer, name.size());
    const Slot& slot = slots_[Probe(folded, Hash(folded))];
    if (slot.index < 0) {
        return std::nullopt;
    }
    return slot.index;
}

}  // namespace quillet::zip
