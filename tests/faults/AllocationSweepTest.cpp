// Every allocation of a request, one at a time, fails: the module answers a valid code, leaks
// nothing (LeakSanitizer in the sanitizer build) and keeps nothing half-built, so the same
// request asked next answers as if nothing had failed.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <set>
#include <string>

#include "faults/AllocationFaults.h"
#include "faults/FaultInputs.h"
#include "faults/FaultSweep.h"

namespace quillet::test {
namespace {

// Every allocation for one field of each part and for both full texts; the other property
// fields repeat the same reading, so they take every StrideOfOtherFields-th allocation, each
// field starting at another one.
const std::set<int> FullySweptFields{14, 20, TitlesField, ContentField};
constexpr uint64_t StrideOfOtherFields = 7;

Injector AllocationInjector() {
    return Injector{[](uint64_t point) { ArmAllocationFailure(point); },
                    [] { return DisarmAllocationFailure(); },
                    [](bool hold) { HoldAllocationFailure(hold); }};
}

class AllocationSweep : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override { std::setlocale(LC_ALL, "C.UTF-8"); }
};

TEST_P(AllocationSweep, EveryFailedAllocationAnswersAndKeepsNothingHalfBuilt) {
    const auto input = SweepInput(GetParam());
    uint64_t points = 0;
    uint64_t contentPoints = 0;
    std::string problems;
    for (int field = 0; field < FieldCount; ++field) {
        const bool full = FullySweptFields.count(field) != 0;
        const uint64_t stride = full ? 1 : StrideOfOtherFields;
        const uint64_t first = 1 + static_cast<uint64_t>(field) % stride;
        const SweepResult result = Sweep(input->path(), field, first, stride, AllocationInjector());
        points += result.pointsReached;
        if (field == ContentField)
            contentPoints = result.pointsReached;
        problems += result.problems;
    }
    std::printf("%s: %llu allocation failure points (%llu in Content), malloc %s\n",
                GetParam().c_str(), static_cast<unsigned long long>(points),
                static_cast<unsigned long long>(contentPoints),
                CountsMalloc() ? "counted" : "not counted (AddressSanitizer)");
    RecordProperty("allocation_failure_points", std::to_string(points));
    EXPECT_EQ(problems, "");
    // Each request allocates: a sweep that met no failure would prove nothing.
    EXPECT_GE(points, static_cast<uint64_t>(FieldCount));
}

INSTANTIATE_TEST_SUITE_P(Inputs, AllocationSweep, ::testing::ValuesIn(SweepInputNames()),
                         [](const ::testing::TestParamInfo<std::string>& input) {
                             return input.param;
                         });

}  // namespace
}  // namespace quillet::test
