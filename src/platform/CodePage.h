#pragma once

#include <string>

namespace quillet::platform {

// UTF-8 to the process ANSI code page, as Windows converts with flags 0: malformed UTF-8
// becomes U+FFFD and a character the code page lacks its default character. The result holds
// no zero byte.
std::string Utf8ToProcessAnsi(const char* utf8);

// The name of the character set Utf8ToProcessAnsi converts into now: on Linux it follows the
// host's locale, which can change while texts converted before are kept.
std::string ProcessAnsiName();

// UTF-8 with its ill-formed sequences replaced by U+FFFD exactly as Utf8ToProcessAnsi replaces
// them: each maximal ill-formed subsequence on Linux, the system's own decoding on Windows. So
// the ANSI form of the result is the ANSI form of the input, byte for byte.
std::string SystemWellFormedUtf8(const char* utf8);

}  // namespace quillet::platform
