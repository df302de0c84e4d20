#pragma once

#include <atomic>

namespace quillet {

// Asks a build of a full text, from another thread, to end at its next element. One per build.
class StopSignal {
  public:
    void Request() { requested_.store(true, std::memory_order_relaxed); }
    bool requested() const { return requested_.load(std::memory_order_relaxed); }

  private:
    std::atomic<bool> requested_{false};
};

}  // namespace quillet
