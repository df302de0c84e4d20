#pragma once

#include <cstdint>

#include "package/PartSource.h"
#include "package/ZipArchive.h"

namespace quillet {

// One member of the request's package, inflated as it is read. Every byte is taken from the
// request's budget as it is inflated; when the budget is spent the text is cut there.
class MemberSource final : public PartSource {
  public:
    // Looks the member up by name, ASCII letter case ignored; a missing member, or one that
    // declares 2 GiB or more, is unreadable.
    MemberSource(ZipArchive& archive, const char* partName);

    size_t Read(char* into, size_t capacity) override;
    SourceEnd end() const override { return end_; }
    RequestBudget& budget() override { return archive_.budget(); }

  private:
    ZipArchive& archive_;
    int32_t index_ = -1;
    bool started_ = false;
    SourceEnd end_ = SourceEnd::Open;
};

}  // namespace quillet
