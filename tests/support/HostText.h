#pragma once

#include <cstdint>
#include <string>

namespace quillet::test {

// The bytes a host expects for a UTF-8 text: the text itself in the UTF-8 locale the Linux tests
// run in, its ANSI code page form on Windows.
std::string ExpectedAnsi(const std::string& utf8);

// A FILETIME as the ISO 8601 UTC text "YYYY-MM-DDThh:mm:ssZ".
std::string FileTimeToIso(uint64_t fileTime);

}  // namespace quillet::test
