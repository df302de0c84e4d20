#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "package/RequestBudget.h"

namespace quillet {

// A full text under construction that ends at its limit, however often the package repeats
// what it holds: a shared string referenced by every cell counts each time it is appended.
class BoundedText {
  public:
    explicit BoundedText(size_t limit = RequestBudget::MaxFullTextBytes) : limit_(limit) {}

    // Appends what still fits of `text`.
    void Append(std::string_view text);
    void Append(char c) { Append(std::string_view(&c, 1)); }

    // Nothing more can be appended: readers stop reading.
    bool full() const { return text_.size() >= limit_; }
    bool empty() const { return text_.empty(); }
    size_t size() const { return text_.size(); }
    // Drops what was appended after the text had `size` bytes: a part that turns out not to
    // parse gives nothing.
    void Truncate(size_t size) { text_.resize(std::min(size, text_.size())); }
    // The text, " " when nothing was appended (a reader never answers an empty text).
    std::string TakeOrSpace();

  private:
    std::string text_;
    size_t limit_;
};

}  // namespace quillet
