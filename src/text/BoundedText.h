#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "package/RequestBudget.h"
#include "text/StopSignal.h"

namespace quillet {

// A full text under construction that ends at its limit, however often the package repeats
// what it holds: a shared string referenced by every cell counts each time it is appended.
class BoundedText {
  public:
    explicit BoundedText(size_t limit = RequestBudget::MaxFullTextBytes)
        : limit_(limit), maxLimit_(limit) {}
    // A text whose build `stop` (null: none) can end early.
    explicit BoundedText(const StopSignal* stop, size_t limit = RequestBudget::MaxFullTextBytes)
        : limit_(limit), maxLimit_(limit), stop_(stop) {}

    // Appends what still fits of `text`, never part of a UTF-8 character.
    void Append(std::string_view text);
    // An ASCII character: the separators, appended once per cell or run.
    void Append(char c) {
        if (text_.size() < limit_ && text_.size() < text_.capacity()) {
            text_.push_back(c);
        } else {
            Append(std::string_view(&c, 1));
        }
    }

    // Nothing more can be appended: readers stop reading.
    bool full() const { return text_.size() >= limit_; }
    // The build was asked to stop: readers end at their next element.
    bool stopped() const { return stop_ != nullptr && stop_->requested(); }
    bool empty() const { return text_.empty(); }
    // The last byte appended, NUL when there is none.
    char last() const { return text_.empty() ? '\0' : text_.back(); }
    size_t size() const { return text_.size(); }
    // How many more bytes may be appended.
    size_t room() const { return limit_ > text_.size() ? limit_ - text_.size() : 0; }
    // Drops what was appended after the text had `size` bytes, as if it had never been: a part
    // that turns out not to parse gives nothing.
    void Truncate(size_t size);
    // The text, " " when nothing was appended (a reader never answers an empty text).
    std::string TakeOrSpace();

  private:
    std::string text_;
    // Lowered when an append stops before a character that does not fit.
    size_t limit_;
    const size_t maxLimit_;
    const StopSignal* stop_ = nullptr;
};

}  // namespace quillet
