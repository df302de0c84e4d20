// Every read of a request's package file, one at a time, fails or comes short: the module answers
// as for an unreadable part or package, and the same request asked next, without a fault,
// answers normally.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "faults/FaultInputs.h"
#include "faults/FaultSweep.h"
#include "faults/ReadFaults.h"

namespace quillet::test {
namespace {

Injector ReadInjector(ReadFault fault) {
    return Injector{[fault](uint64_t point) { ArmReadFault(point, fault); },
                    [] { return DisarmReadFault(); }};
}

class ReadSweep : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override { std::setlocale(LC_ALL, "C.UTF-8"); }
};

TEST_P(ReadSweep, EveryFailedOrShortReadAnswersAndKeepsNothing) {
    const auto input = SweepInput(GetParam());
    uint64_t points = 0;
    std::string problems;
    for (const ReadFault fault : {ReadFault::Fail, ReadFault::Short}) {
        for (int field = 0; field < FieldCount; ++field) {
            const SweepResult result = Sweep(input->path(), field, 1, 1, ReadInjector(fault));
            points += result.pointsReached;
            problems += result.problems;
        }
    }
    std::printf("%s: %llu read failure points\n", GetParam().c_str(),
                static_cast<unsigned long long>(points));
    RecordProperty("read_failure_points", std::to_string(points));
    EXPECT_EQ(problems, "");
    EXPECT_GE(points, static_cast<uint64_t>(2 * FieldCount));
}

INSTANTIATE_TEST_SUITE_P(Inputs, ReadSweep, ::testing::ValuesIn(SweepInputNames()),
                         [](const ::testing::TestParamInfo<std::string>& input) {
                             return input.param;
                         });

}  // namespace
}  // namespace quillet::test
