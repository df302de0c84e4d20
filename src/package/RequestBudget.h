#pragma once

#include <cstddef>
#include <cstdint>

namespace quillet {

// What one value request may cost, whatever the package claims or however it repeats itself:
// one account for every part the request reads.
class RequestBudget {
  public:
    // Bytes inflated (or copied out of stored members) over all parts of one request.
    static constexpr uint64_t MaxInflatedBytes = uint64_t{256} << 20;
    // Bytes of one full text ("Titles" or "Content"), and of the shared strings it is made
    // of: the text ends there.
    static constexpr size_t MaxFullTextBytes = size_t{64} << 20;
    // Nodes and attributes TinyXML builds for the streamed parts of one request, trees tried
    // and thrown away included: what parsing costs follows this count, not the part's bytes.
    static constexpr uint64_t MaxNodes = uint64_t{1} << 24;

    // Takes `bytes` from the inflation account; false, taking nothing, when fewer are left.
    bool TakeInflated(uint64_t bytes);
    uint64_t inflatedLeft() const { return MaxInflatedBytes - inflatedTaken_; }

    // Takes `count` nodes; false when fewer are left, which spends the rest.
    bool TakeNodes(uint64_t count);
    uint64_t nodesLeft() const { return MaxNodes - nodesTaken_; }

  private:
    uint64_t inflatedTaken_ = 0;
    uint64_t nodesTaken_ = 0;
};

}  // namespace quillet
