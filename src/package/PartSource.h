#pragma once

#include <cstddef>

#include "package/RequestBudget.h"
#include "package/Status.h"

namespace quillet {

// A part's text handed over piece by piece, so that a reader never holds more of it than it
// needs at once.
class PartSource {
  public:
    virtual ~PartSource() = default;
    // Writes up to `capacity` further bytes into `into` and answers the count; 0 only once the
    // text ended.
    virtual size_t Read(char* into, size_t capacity) = 0;
    // Once Read answered 0, why the text ended: Ok when everything was handed over, Cut when the
    // request's budget ran out first, Unreadable when the part is missing or its data cannot be
    // read.
    virtual Status status() const = 0;
    // The account of the request the part is read for.
    virtual RequestBudget& budget() = 0;
};

}  // namespace quillet
