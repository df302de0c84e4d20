#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "package/RequestBudget.h"

namespace quillet {

// The strings of a workbook's shared-string table, held as one text and where each ends: no
// tree, and a few bytes per item however many items the part holds. What it holds counts against
// the request's full text: the table and the text made of it together stay within that bound.
class SharedStringTable {
  public:
    // What one item costs besides its text: where it ends.
    static constexpr size_t BytesPerItem = sizeof(uint32_t);

    // Holds at most `maxBytes`, items and their ends counted.
    explicit SharedStringTable(size_t maxBytes = RequestBudget::MaxFullTextBytes);

    // False, keeping nothing, once the item would not fit: later items are not kept.
    bool Add(std::string_view text);
    // An item given piece by piece, written into the table as it comes, so that it is never
    // held twice: EndItem keeps it as Add would, or leaves nothing of it; DropItem leaves nothing
    // of an item begun and not ended.
    void AppendToItem(std::string_view piece);
    bool EndItem();
    void DropItem();
    void Clear();

    size_t size() const { return ends_.size(); }
    // What the table holds, items and their ends counted.
    size_t bytes() const { return text_.size() + ends_.size() * BytesPerItem; }
    // The string at `index`; entries past the items held are empty.
    std::string_view At(int64_t index) const;

    // The count the table declares ("uniqueCount"), -1 when no table was read.
    int32_t declaredCount = -1;

  private:
    const size_t maxBytes_;
    bool full_ = false;
    bool itemTooLarge_ = false;  // the item being appended has outgrown the table
    std::string text_;
    std::vector<uint32_t> ends_;
};

}  // namespace quillet
