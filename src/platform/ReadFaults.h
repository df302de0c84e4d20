#pragma once

#include <cstddef>
#include <cstdint>

namespace quillet::platform {

#ifdef QUILLET_READ_FAULTS
// Fault-injection builds only (never the shipped module): how many of the `length` bytes asked
// at `position` this read may deliver, so that a test can fail any read or cut it short. The
// test that defines QUILLET_READ_FAULTS defines this function too.
size_t ReadFaultLimit(uint64_t position, size_t length);
#endif

}  // namespace quillet::platform
