#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quillet::zip {

// The bytes of the archive that each member's local header and data take up, so that a member
// sharing any of them with another can be refused: one deflate stream behind thousands of
// entries would cost thousands of inflates. No sound producer writes overlapping members.
class MemberExtents {
  public:
    // Room for `count` members.
    void Reserve(size_t count);
    // Member `index` (added in order from 0) takes up [start, end) at least; end > start.
    void Add(uint64_t start, uint64_t end);
    // Sorts the extents and marks every member that overlaps another, both sides of each
    // overlap. Throws only std::bad_alloc.
    void Seal();

    // Member `index` overlaps another one by the extents added.
    bool Overlapped(int32_t index) const;
    // Member `index`, found to take up [start of its extent, end) once its local header was
    // read, reaches into another member's extent.
    bool ReachesAnother(int32_t index, uint64_t end) const;

  private:
    struct Extent {
        uint64_t start = 0;
        uint64_t end = 0;
        int32_t index = 0;
    };

    // Whether [start, end) overlaps an extent other than the one at `position` of the sorted
    // extents, `start` being that extent's start.
    bool OverlapsOthers(size_t position, uint64_t start, uint64_t end) const;

    std::vector<Extent> sorted_;         // by start, then by member index
    std::vector<uint64_t> greatestEnd_;  // of the sorted extents up to and including each
    std::vector<uint32_t> positionOf_;   // in sorted_, by member index
    std::vector<bool> overlapped_;       // by member index
};

}  // namespace quillet::zip
