#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillet {

// The one way a text reaches a host buffer: at most `limit` characters and a terminator.
// Callers pass the buffer size less one; a negative limit (a buffer of size 0 or less) writes
// nothing at all, so no host buffer is ever overrun.
void CopyToHostBuffer(char* destination, std::string_view text, int64_t limit);

// What a UTF-16 copy took: the units written and the bytes of UTF-8 they came from.
struct Utf16Copy {
    size_t units = 0;
    size_t bytes = 0;
};

// The UTF-16 form of well-formed UTF-8, converted as it is written: at most `limit` code units
// and a 16-bit terminator, never the first half of a pair without its second. When
// `fromSecondHalf`, the first character gives only the second half of its pair. A negative
// limit writes nothing; a null destination only counts. The host's buffer need not be aligned
// for 16-bit units.
Utf16Copy CopyToHostBufferW(void* destination, std::string_view utf8, int64_t limit,
                            bool fromSecondHalf = false);

}  // namespace quillet
