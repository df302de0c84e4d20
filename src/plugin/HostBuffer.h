#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillet {

// The one way a text reaches a host buffer: at most `limit` characters and a terminator.
// Callers pass the buffer size less one; a negative limit (a buffer of size 0 or less) writes
// nothing at all, so no host buffer is ever overrun.
void CopyToHostBuffer(char* destination, std::string_view text, int64_t limit);

// The UTF-16 form: at most `limit` code units and a terminator, fewer where the last would be
// the first half of a surrogate pair. A negative limit writes nothing. Answers the units copied.
// The host's buffer need not be aligned for 16-bit units.
int64_t CopyToHostBufferW(void* destination, std::u16string_view text, int64_t limit);

// How many of the first `limit` units of `text` can be handed over without splitting a pair.
size_t WholeUnits(std::u16string_view text, int64_t limit);

}  // namespace quillet
