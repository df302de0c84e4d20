#pragma once

#include <cstdint>

namespace quillet::test {

// Makes the `number`th allocation from now on fail (1: the next one), once: operator new in all
// its forms, and malloc, calloc and realloc where this binary replaces them (not under
// AddressSanitizer, which owns those). zlib's allocations go through operator new.
void ArmAllocationFailure(uint64_t number);
// Stops failing; true when the armed allocation was reached (and failed).
bool DisarmAllocationFailure();
// While held, allocations pass uncounted: the test's own bookkeeping between two calls.
void HoldAllocationFailure(bool hold);
// Whether malloc, calloc and realloc are counted in this build.
bool CountsMalloc();

}  // namespace quillet::test
