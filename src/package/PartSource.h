#pragma once

#include <cstddef>

#include "package/RequestBudget.h"

namespace quillet {

// How a part's text stands once a source has nothing more to hand over.
enum class SourceEnd {
    Open,       // more may follow
    Whole,      // the text ended: everything was handed over
    Cut,        // the request's budget ran out before the text ended
    Unreadable  // the part is missing or its data cannot be read
};

// A part's text handed over piece by piece, so that a reader never holds more of it than it
// needs at once.
class PartSource {
  public:
    virtual ~PartSource() = default;
    // Writes up to `capacity` further bytes into `into` and answers the count; 0 only once
    // `end()` is no longer Open.
    virtual size_t Read(char* into, size_t capacity) = 0;
    virtual SourceEnd end() const = 0;
    // The account of the request the part is read for.
    virtual RequestBudget& budget() = 0;
};

}  // namespace quillet
