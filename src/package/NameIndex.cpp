#include "package/NameIndex.h"

#include <algorithm>
#include <array>

namespace quillet::zip {
namespace {

using FoldBuffer = std::array<char, NameIndex::MaxNameLength>;

// Names compare as NUL-terminated strings: whatever follows an embedded NUL never counts. Only
// ASCII letters fold; every other byte, '/' and '\' included, must be equal. Null when the name
// is too long to match.
std::optional<std::string_view> Fold(std::string_view name, FoldBuffer& buffer) {
    const size_t nul = name.find('\0');
    const std::string_view kept = nul == std::string_view::npos ? name : name.substr(0, nul);
    if (kept.size() > NameIndex::MaxNameLength) {
        return std::nullopt;
    }
    std::transform(kept.begin(), kept.end(), buffer.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return std::string_view(buffer.data(), kept.size());
}

// FNV-1a, 64 bits, then mixed so that the low bits, which pick the slot, depend on every byte:
// FNV's own low bits see only the low bits of each byte, and names differ in few of them.
uint64_t Hash(std::string_view text) {
    uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    hash = (hash ^ (hash >> 30)) * 0xBF58476D1CE4E5B9ull;
    hash = (hash ^ (hash >> 27)) * 0x94D049BB133111EBull;
    return hash ^ (hash >> 31);
}

}  // namespace

void NameIndex::Reserve(size_t names) {
    size_t slotCount = 16;
    while (slotCount < 2 * names) {
        slotCount *= 2;
    }
    if (slotCount > slots_.size()) {
        Rebuild(slotCount);
    }
}

size_t NameIndex::Locate(std::string_view folded, uint64_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.index < 0 || (slot.hash == hash && slot.length == folded.size() &&
                               names_.compare(slot.offset, slot.length, folded) == 0)) {
            return i;
        }
    }
}

void NameIndex::Rebuild(size_t slotCount) {
    std::vector<Slot> old(slotCount);
    old.swap(slots_);
    const size_t mask = slotCount - 1;
    for (const Slot& slot : old) {
        if (slot.index < 0)
            continue;
        size_t i = static_cast<size_t>(slot.hash) & mask;
        while (slots_[i].index >= 0) {
            i = (i + 1) & mask;
        }
        slots_[i] = slot;
    }
}

void NameIndex::Add(std::string_view storedName, int32_t index) {
    FoldBuffer buffer;
    const auto folded = Fold(storedName.substr(0, MaxNameLength + 1), buffer);
    if (!folded) {
        return;
    }
    if (2 * (used_ + 1) > slots_.size()) {
        Rebuild(std::max<size_t>(16, 2 * slots_.size()));
    }
    const uint64_t hash = Hash(*folded);
    Slot& slot = slots_[Locate(*folded, hash)];
    if (slot.index >= 0) {
        return;  // the first entry of a name keeps it
    }
    slot = Slot{hash, static_cast<uint32_t>(names_.size()), static_cast<uint32_t>(folded->size()),
                index};
    names_.append(*folded);
    ++used_;
}

std::optional<int32_t> NameIndex::Find(std::string_view wanted) const {
    FoldBuffer buffer;
    const auto folded = Fold(wanted, buffer);
    if (!folded || slots_.empty()) {
        return std::nullopt;
    }
    const Slot& slot = slots_[Locate(*folded, Hash(*folded))];
    return slot.index >= 0 ? std::optional<int32_t>(slot.index) : std::nullopt;
}

}  // namespace quillet::zip
