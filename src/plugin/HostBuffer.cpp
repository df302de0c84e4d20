#include "plugin/HostBuffer.h"

#include <cstring>

namespace quillet {

void CopyToHostBuffer(char* destination, std::string_view text, int64_t limit) {
    if (destination == nullptr || limit < 0) {
        return;
    }
    const auto count = static_cast<size_t>(
        static_cast<int64_t>(text.size()) < limit ? static_cast<int64_t>(text.size()) : limit);
    std::memcpy(destination, text.data(), count);
    destination[count] = '\0';
}

}  // namespace quillet
