#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "package/PartSource.h"

namespace quillet::test {

// A part's bytes handed over in pieces of the given sizes, taken in turn, so that every place
// a piece can end is tried; optionally cut after `cutAfter` bytes, as a spent budget cuts.
class StringSource final : public PartSource {
  public:
    explicit StringSource(std::string bytes, std::vector<size_t> pieces = {},
                          size_t cutAfter = std::string::npos)
        : bytes_(std::move(bytes)), pieces_(std::move(pieces)), cutAfter_(cutAfter) {}

    size_t Read(char* into, size_t capacity) override {
        const size_t limit = std::min(bytes_.size(), cutAfter_);
        if (at_ >= limit) {
            status_ = limit < bytes_.size() ? Status::Cut() : Status::Ok();
            return 0;
        }
        size_t piece =
            pieces_.empty() ? capacity : std::max<size_t>(1, pieces_[turn_++ % pieces_.size()]);
        piece = std::min({piece, capacity, limit - at_});
        std::memcpy(into, bytes_.data() + at_, piece);
        at_ += piece;
        return piece;
    }
    Status status() const override { return status_; }
    RequestBudget& budget() override { return budget_; }

  private:
    std::string bytes_;
    std::vector<size_t> pieces_;
    size_t cutAfter_;
    size_t at_ = 0;
    size_t turn_ = 0;
    Status status_;
    RequestBudget budget_;
};

}  // namespace quillet::test
