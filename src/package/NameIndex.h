#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::zip {

// Member names with ASCII letter case folded, each mapped to the first entry that carries it,
// so a name lookup costs no walk of the central directory. One flat table and one buffer of
// names, since every request builds it anew for directories of up to 65535 entries.
class NameIndex {
  public:
    // Longest name that can match: a stored name is compared through a buffer of this many bytes
    // with its terminator, so a name that fills the buffer never matches.
    static constexpr size_t MaxNameLength = 255;

    // Room for `names` names without growing.
    void Reserve(size_t names);
    // `storedName` holds at least the first 256 bytes of the name (or all of a shorter one).
    void Add(std::string_view storedName, int32_t index);
    // The first entry whose name equals `wanted` with letter case ignored.
    std::optional<int32_t> Find(std::string_view wanted) const;

  private:
    struct Slot {
        uint64_t hash = 0;
        uint32_t offset = 0;  // of the folded name in names_
        uint32_t length = 0;
        int32_t index = -1;  // -1: an empty slot
    };

    // The slot holding the folded name, or the empty slot where it belongs.
    size_t Locate(std::string_view folded, uint64_t hash) const;
    void Rebuild(size_t slotCount);

    std::vector<Slot> slots_;  // open addressing; a power of two in size, at most half full
    std::string names_;        // the folded names, end to end
    size_t used_ = 0;
};

}  // namespace quillet::zip
