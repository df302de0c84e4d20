#include "plugin/HostBuffer.h"

#include <cstring>

#include "platform/Unicode.h"

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

size_t WholeUnits(std::u16string_view text, int64_t limit) {
    if (limit <= 0) {
        return 0;
    }
    size_t count =
        static_cast<int64_t>(text.size()) < limit ? text.size() : static_cast<size_t>(limit);
    if (count < text.size() && count > 0 && platform::IsHighSurrogate(text[count - 1])) {
        --count;
    }
    return count;
}

int64_t CopyToHostBufferW(void* destination, std::u16string_view text, int64_t limit) {
    if (destination == nullptr || limit < 0) {
        return 0;
    }
    const size_t count = WholeUnits(text, limit);
    auto* const bytes = static_cast<unsigned char*>(destination);
    if (count > 0) {
        std::memcpy(bytes, text.data(), count * sizeof(char16_t));
    }
    const char16_t terminator = 0;
    std::memcpy(bytes + count * sizeof(char16_t), &terminator, sizeof terminator);
    return static_cast<int64_t>(count);
}

}  // namespace quillet
