#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// The strings of a workbook's shared-string table, held as one text and where each ends: no
// tree, and a few bytes per item however many items the part holds.
class SharedStringTable {
  public:
    // More items than a part of the size once read whole could hold (an item takes at least 4
    // bytes); further items are not kept.
    static constexpr size_t MaxItems = size_t{1} << 24;

    // False, keeping nothing, once MaxItems are held.
    bool Add(std::string_view text);
    void Clear();

    size_t size() const { return ends_.size(); }
    // The string at `index`; entries past the items held are empty.
    std::string_view At(int64_t index) const;

    // The count the table declares ("uniqueCount"), -1 when no table was read.
    int32_t declaredCount = -1;

  private:
    std::string text_;
    std::vector<size_t> ends_;
};

}  // namespace quillet
