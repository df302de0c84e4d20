#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::zip {

// Member names with ASCII letter case folded, each mapped to the first entry that carries it,
// so a name lookup costs no walk of the central directory. The names share one buffer and the
// table is open-addressed: opening a package of thousands of members allocates a few times, not
// a few times per member.
class NameIndex {
  public:
    // Longest name that can match: a stored name is compared through a buffer of this many bytes
    // with its terminator, so a name that fills the buffer never matches.
    static constexpr size_t MaxNameLength = 255;

    // Room for `count` names without growing the table.
    void Reserve(size_t count);
    // `storedName` holds at least the first 256 bytes of the name (or all of a shorter one).
    void Add(std::string_view storedName, int32_t index);
    // The first entry whose name equals `wanted` with letter case ignored.
    std::optional<int32_t> Find(std::string_view wanted) const;

  private:
    struct Slot {
        uint32_t hash = 0;
        uint32_t offset = 0;  // of the folded name in folded_
        uint32_t length = 0;
        int32_t index = -1;  // -1: the slot is free
    };

    // The slot holding the folded name, or the free slot where it belongs.
    size_t Probe(std::string_view folded, uint32_t hash) const;
    void Grow();

    std::string folded_;
    std::vector<Slot> slots_;  // a power of two long, at most half of them used
    size_t used_ = 0;
};

}  // namespace quillet::zip
