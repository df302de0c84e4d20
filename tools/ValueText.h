#pragma once

#include <cstdint>
#include <string>

namespace quillet::host {

// A FILETIME (100-ns intervals since 1601, UTC) as ISO 8601 UTC to the second.
std::string FileTimeToIso(uint64_t fileTime);
// A time of day as h:mm:ss; the hours are not reduced to a day.
std::string TimeText(uint16_t hour, uint16_t minute, uint16_t second);
// A text in double quotes with backslash, quote, TAB, LF, CR and other control characters
// escaped, so that any value stays on one line; bytes from 0x80 on pass unchanged.
std::string QuotedPlain(const std::string& text);
// A JSON string literal: control characters as \uXXXX, bytes from 0x80 on unchanged (the
// text must be UTF-8 for the literal to be).
std::string QuotedJson(const std::string& text);
// The name a user reads for a type code.
std::string TypeName(int type);

}  // namespace quillet::host
