#include "support/HostText.h"

#include <ctime>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace quillet::test {

std::string ExpectedAnsi(const std::string& utf8) {
#if defined(_WIN32)
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), wideLength);
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi.data(), length, nullptr, nullptr);
    ansi.resize(ansi.size() - 1);
    return ansi;
#else
    return utf8;
#endif
}

std::string FileTimeToIso(uint64_t fileTime) {
    constexpr uint64_t UnixEpochAsFileTime = 116'444'736'000'000'000ull;
    const auto seconds = static_cast<std::time_t>((fileTime - UnixEpochAsFileTime) / 10'000'000);
    std::tm parts{};
#if defined(_WIN32)
    gmtime_s(&parts, &seconds);
#else
    gmtime_r(&seconds, &parts);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

}  // namespace quillet::test
