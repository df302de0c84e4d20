#include "platform/CodePage.h"

#include "platform/AsciiText.h"

#include "platform/win32/WindowsApi.h"

#include <string>
#include <vector>

namespace quillet::platform {
namespace {

// UTF-8 to UTF-16 to the target code page, each step sized by asking first. Flags 0 in both
// directions: the system replaces malformed UTF-8 and unmappable characters instead of failing.
std::string ConvertUtf8(const char* utf8, UINT codePage) {
    const char* const source = utf8 != nullptr ? utf8 : "";
    const int wideCount = ::MultiByteToWideChar(CP_UTF8, 0, source, -1, nullptr, 0);
    if (wideCount <= 0) {
        return std::string();
    }
    std::vector<wchar_t> wide(static_cast<size_t>(wideCount));
    if (::MultiByteToWideChar(CP_UTF8, 0, source, -1, wide.data(), wideCount) <= 0) {
        return std::string();
    }
    const int byteCount =
        ::WideCharToMultiByte(codePage, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    if (byteCount <= 0) {
        return std::string();
    }
    std::vector<char> bytes(static_cast<size_t>(byteCount));
    if (::WideCharToMultiByte(codePage, 0, wide.data(), -1, bytes.data(), byteCount, nullptr,
                              nullptr) <= 0) {
        return std::string();
    }
    // Up to the terminator: the converted text holds no zero byte of its own.
    return std::string(bytes.data());
}

}  // namespace

std::string ProcessAnsiName() {
    return "CP" + std::to_string(::GetACP());
}

std::string Utf8ToProcessAnsi(const char* utf8) {
    // Every ANSI code page holds ASCII as it is, and most property texts are ASCII: they need no
    // round trip through UTF-16.
    if (utf8 == nullptr || IsAsciiText(utf8)) {
        return utf8 != nullptr ? std::string(utf8) : std::string();
    }
    return ConvertUtf8(utf8, CP_ACP);
}

std::string SystemWellFormedUtf8(const char* utf8) {
    if (utf8 == nullptr || IsAsciiText(utf8)) {
        return utf8 != nullptr ? std::string(utf8) : std::string();
    }
    // Through the same decoding as every ANSI conversion, and back.
    return ConvertUtf8(utf8, CP_UTF8);
}


}  // namespace quillet::platform
