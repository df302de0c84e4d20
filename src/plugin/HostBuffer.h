#pragma once

#include <cstdint>
#include <string_view>

namespace quillet {

// The one way a text reaches a host buffer: at most `limit` characters and a terminator.
// Callers pass the buffer size less one; a negative limit (a buffer of size 0 or less) writes
// nothing at all, so no host buffer is ever overrun.
void CopyToHostBuffer(char* destination, std::string_view text, int64_t limit);

}  // namespace quillet
