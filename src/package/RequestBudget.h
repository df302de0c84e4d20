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
    // What a small file can make the request inflate is bounded by what it holds: past a grace,
    // the request's inflated bytes, white space aside, stay within this many times the
    // compressed bytes inflate consumed. Documents saved by office programs stay under 50; the
    // 60 MB synthetic sheet and body of the hostile corpus inflate about 172 and 343 times;
    // deflate bombs about 1000.
    static constexpr uint64_t MaxInflationRatio = 512;
    static constexpr uint64_t InflationGraceBytes = uint64_t{4} << 20;
    // Bytes of one full text ("Titles" or "Content"), and of the shared strings it is made
    // of: the text ends there.
    static constexpr size_t MaxFullTextBytes = size_t{64} << 20;
    // Nodes and attributes TinyXML builds for the streamed parts of one request, trees tried
    // and thrown away included: what parsing costs follows this count, not the part's bytes.
    static constexpr uint64_t MaxNodes = uint64_t{1} << 24;

    // Takes `bytes` from the inflation account; false, taking nothing, when fewer are left.
    bool TakeInflated(uint64_t bytes);
    uint64_t inflatedLeft() const { return MaxInflatedBytes - inflatedTaken_; }

    // Counts what inflate (or a stored member's copy) consumed, and what it delivered besides
    // white space.
    void CountInflation(uint64_t consumed, uint64_t delivered);
    // The request inflated more than the grace, and more than MaxInflationRatio times what it
    // consumed: the member being read stops there.
    bool inflationExcessive() const {
        return delivered_ > InflationGraceBytes && delivered_ > MaxInflationRatio * consumed_;
    }

    // Takes `count` nodes; false when fewer are left, which spends the rest.
    bool TakeNodes(uint64_t count);
    uint64_t nodesLeft() const { return MaxNodes - nodesTaken_; }

  private:
    uint64_t inflatedTaken_ = 0;
    uint64_t consumed_ = 0;
    uint64_t delivered_ = 0;
    uint64_t nodesTaken_ = 0;
};

}  // namespace quillet
