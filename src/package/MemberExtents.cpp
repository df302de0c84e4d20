#include "package/MemberExtents.h"

#include <algorithm>

namespace quillet::zip {

void MemberExtents::Reserve(size_t count) {
    sorted_.reserve(count);
}

void MemberExtents::Add(uint64_t start, uint64_t end) {
    sorted_.push_back(Extent{start, end, static_cast<int32_t>(sorted_.size())});
}

void MemberExtents::Seal() {
    // Extents arrive by member index; a stable sort keeps that order among equal starts.
    std::stable_sort(sorted_.begin(), sorted_.end(), [](const Extent& left, const Extent& right) {
        return left.start < right.start;
    });
    const size_t count = sorted_.size();
    greatestEnd_.resize(count);
    positionOf_.resize(count);
    uint64_t greatestEnd = 0;
    for (size_t at = 0; at < count; ++at) {
        greatestEnd = std::max(greatestEnd, sorted_[at].end);
        greatestEnd_[at] = greatestEnd;
        positionOf_[static_cast<size_t>(sorted_[at].index)] = static_cast<uint32_t>(at);
    }
    overlapped_.assign(count, false);
    for (size_t at = 0; at < count; ++at) {
        const Extent& extent = sorted_[at];
        overlapped_[static_cast<size_t>(extent.index)] =
            OverlapsOthers(at, extent.start, extent.end);
    }
}

bool MemberExtents::OverlapsOthers(size_t position, uint64_t start, uint64_t end) const {
    // Every extent sorted before this one starts no later: it overlaps when it ends after the
    // start. Every extent sorted after it starts no earlier, and none is empty: it overlaps when
    // it starts before the end, and the next one starts first.
    const bool earlier = position > 0 && greatestEnd_[position - 1] > start;
    const bool later = position + 1 < sorted_.size() && sorted_[position + 1].start < end;
    return earlier || later;
}

bool MemberExtents::Overlapped(int32_t index) const {
    return index >= 0 && static_cast<size_t>(index) < overlapped_.size() &&
           overlapped_[static_cast<size_t>(index)];
}

bool MemberExtents::ReachesAnother(int32_t index, uint64_t end) const {
    if (index < 0 || static_cast<size_t>(index) >= positionOf_.size()) {
        return false;
    }
    const size_t position = positionOf_[static_cast<size_t>(index)];
    return OverlapsOthers(position, sorted_[position].start, end);
}

}  // namespace quillet::zip
