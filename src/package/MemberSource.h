#pragma once

#include <cstdint>
#include <memory>

#include "package/MemberReader.h"
#include "package/PartSource.h"
#include "package/ZipArchive.h"

namespace quillet {

// One member of the request's package, inflated as it is read. Every byte is taken from the
// request's budget as it is inflated; when the budget is spent, or the request inflated far more
// than its package holds, the text is cut there.
class MemberSource final : public PartSource {
  public:
    // Opens the member by name, ASCII letter case ignored; one that cannot be opened (see
    // ZipArchive::OpenMember) is unreadable.
    MemberSource(ZipArchive& archive, const char* partName);

    size_t Read(char* into, size_t capacity) override;
    Status status() const override { return status_; }
    RequestBudget& budget() override { return archive_.budget(); }

    // The member's declared size, and the most bytes it can deliver; 0 for a member that did
    // not open.
    uint32_t declaredSize() const { return reader_ ? reader_->declaredSize() : 0; }
    uint64_t DeliverableSize() const { return reader_ ? reader_->deliverableSize() : 0; }

  private:
    void End(Status why) {
        ended_ = true;
        status_ = why;
    }

    ZipArchive& archive_;
    std::unique_ptr<zip::MemberReader> reader_;
    bool started_ = false;
    bool crossedInflationBound_ = false;
    bool ended_ = false;
    Status status_;
};

}  // namespace quillet
