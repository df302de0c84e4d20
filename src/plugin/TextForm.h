#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet {

// The form an interface hands texts over in: ContentGetValue in the process ANSI code page,
// ContentGetValueW in UTF-16. Readers and records keep UTF-8; each interface converts the text
// it hands over, once, at its boundary.
enum class TextForm { Ansi, Utf16 };

// Well-formed UTF-8 to the process ANSI code page, as each of its characters converts alone.
// Converted piece by piece, in place where the ANSI text is no longer than the UTF-8 one
// (always, but for a few multi-byte code pages): a full text of 64 MiB is never held twice.
std::string AnsiOf(std::string utf8);

// The ANSI form of the first `maxBytes` bytes that the ANSI form of `utf8` would have, or more:
// only as many characters are converted (each gives at least one byte).
std::string AnsiPrefixOf(std::string_view utf8, size_t maxBytes);

// The name kept answers record their form under: the ANSI code page now in force (on Linux it
// follows the host's locale, which can change), or UTF-16.
std::string FormName(TextForm form);

}  // namespace quillet
