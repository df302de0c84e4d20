#include "props/ParseCount.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace quillet {

int32_t ParseCount(const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(start, &end, 10);
    // strtoll also takes "0x" prefixes nowhere and signs like "%d" does; what it cannot take, or
    // what lies outside 32 bits, is no count.
    if (end == start || errno == ERANGE || value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max()) {
        return -1;
    }
    return static_cast<int32_t>(value);
}

}  // namespace quillet
