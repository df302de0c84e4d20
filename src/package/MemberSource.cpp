#include "package/MemberSource.h"

#include <algorithm>
#include <limits>

namespace quillet {

MemberSource::MemberSource(ZipArchive& archive, const char* partName) : archive_(archive) {
    if (!archive.OpenMember(partName, reader_).ok()) {
        End(Status::Unreadable());
    }
}

size_t MemberSource::Read(char* into, size_t capacity) {
    if (ended_ || capacity == 0) {
        return 0;
    }
    RequestBudget& budget = archive_.budget();
    const uint64_t allowed =
        std::min<uint64_t>({capacity, budget.inflatedLeft(), std::numeric_limits<uint32_t>::max()});
    // The piece that crossed a bound was handed over: the text ends behind it.
    if (allowed == 0 || crossedInflationBound_) {
        End(Status::Cut("the request's bytes"));
        return 0;
    }
    const uint32_t written =
        reader_->Read(reinterpret_cast<unsigned char*>(into), static_cast<uint32_t>(allowed));
    // A member that delivers nothing at all counts as unreadable, as one that fails.
    if (!reader_->status().ok() || (written == 0 && !started_)) {
        End(Status::Unreadable());
        return 0;
    }
    started_ = true;
    budget.TakeInflated(written);
    crossedInflationBound_ = budget.inflationExcessive();
    // Fewer bytes than asked for: the member's data ended.
    if (written < allowed) {
        End(Status::Ok());
    }
    return written;
}

}  // namespace quillet
