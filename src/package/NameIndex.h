#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::zip {

// Member names with ASCII letter case folded, each mapped to the first entry that carries it,
// so a name lookup costs no walk of the central directory. The names share one buffer and are
// kept ordered (by hash, then bytes) and searched by bisection: a lookup costs O(log n) whatever
// names the package chose, where a hash table lets crafted names pile up in one run.
class NameIndex {
  public:
    // Longest name that can match: a stored name is compared through a buffer of this many bytes
    // with its terminator, so a name that fills the buffer never matches.
    static constexpr size_t MaxNameLength = 255;

    // Room for `count` names without growing.
    void Reserve(size_t count);
    // `storedName` holds at least the first 256 bytes of the name (or all of a shorter one).
    void Add(std::string_view storedName, int32_t index);
    // Orders the names added so far; a lookup does it too when names were added after it.
    void Sort();
    // The first entry whose name equals `wanted` with letter case ignored.
    std::optional<int32_t> Find(std::string_view wanted);

  private:
    struct Name {
        // A hash of the folded name: names that differ almost always differ here, even the many
        // that share a long prefix ("ppt/slides/..."), so most comparisons end without touching
        // the buffer. Names of equal hashes are ordered by their bytes, so crafted collisions
        // cost no more than comparing the names themselves.
        uint64_t head = 0;
        uint32_t offset = 0;  // of the folded name in folded_
        uint32_t length = 0;
        int32_t index = 0;
    };

    static uint64_t HeadOf(std::string_view folded);
    std::string_view Folded(const Name& name) const;
    // Orders by hash, then by folded name.
    bool Before(const Name& left, const Name& right) const;

    std::string folded_;
    std::vector<Name> names_;
    bool sorted_ = true;
};

}  // namespace quillet::zip
