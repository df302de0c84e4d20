#pragma once

#include <cstddef>
#include <cstdint>

namespace quillet {

// What one value request may cost, whatever the package claims or however it repeats itself:
// one account for every part the request reads. A part that would overdraw it is unreadable.
class RequestBudget {
  public:
    // Bytes inflated (or copied out of stored members) over all parts of one request.
    static constexpr uint64_t MaxInflatedBytes = uint64_t{256} << 20;
    // Bytes of one full text ("Titles" or "Content"): the text ends there.
    static constexpr size_t MaxFullTextBytes = size_t{64} << 20;

    // Takes `bytes` from the inflation account; false, taking nothing, when fewer are left.
    bool TakeInflated(uint64_t bytes);
    uint64_t inflatedLeft() const { return MaxInflatedBytes - inflatedTaken_; }

  private:
    uint64_t inflatedTaken_ = 0;
};

}  // namespace quillet
