#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quillet::zip {

// Member names with ASCII letter case folded, each mapped to the first entry that carries it,
// so a name lookup costs no walk of the central directory.
class NameIndex {
  public:
    // Longest name that can match: a stored name is compared through a buffer of this many bytes
    // with its terminator, so a name that fills the buffer never matches.
    static constexpr size_t MaxNameLength = 255;

    // `storedName` holds at least the first 256 bytes of the name (or all of a shorter one).
    void Add(std::string_view storedName, int32_t index);
    // The first entry whose name equals `wanted` with letter case ignored.
    std::optional<int32_t> Find(std::string_view wanted) const;

  private:
    std::unordered_map<std::string, int32_t> firstIndex_;
};

}  // namespace quillet::zip
