// The read hook of the package file, compiled into this binary with QUILLET_READ_FAULTS.
#include "faults/ReadFaults.h"

#include <utility>

#include "platform/ReadFaults.h"

namespace quillet::test {
namespace {

// One armed read at a time; the tests calling the module are single-threaded.
struct ArmedRead {
    uint64_t left = 0;  // reads still to go before the armed one; 0 when nothing is armed
    bool cut = false;   // false: only run the action
    ReadFault fault = ReadFault::Fail;
    std::function<void()> beforeRead;
    bool reached = false;
};

ArmedRead& Armed() {
    static ArmedRead armed;
    return armed;
}

}  // namespace

void ArmReadFault(uint64_t number, ReadFault fault, std::function<void()> beforeRead) {
    Armed() = ArmedRead{number, true, fault, std::move(beforeRead), false};
}

void ArmReadAction(uint64_t number, std::function<void()> beforeRead) {
    Armed() = ArmedRead{number, false, ReadFault::Fail, std::move(beforeRead), false};
}

bool DisarmReadFault() {
    const bool reached = Armed().reached;
    Armed() = ArmedRead{};
    return reached;
}

}  // namespace quillet::test

namespace quillet::platform {

size_t ReadFaultLimit(uint64_t /*position*/, size_t length) {
    auto& armed = test::Armed();
    if (armed.left == 0 || --armed.left != 0) {
        return length;
    }
    armed.reached = true;
    if (armed.beforeRead) {
        armed.beforeRead();
    }
    if (!armed.cut) {
        return length;
    }
    return armed.fault == test::ReadFault::Fail ? 0 : length / 2;
}

}  // namespace quillet::platform
