#pragma once

#include <cstdint>
#include <string>

namespace quillet {

// The count a text of the package starts with, as "%d" reads it (leading white space, a sign,
// decimal digits); -1 when it holds none or one outside 32 bits.
int32_t ParseCount(const std::string& text);

}  // namespace quillet
