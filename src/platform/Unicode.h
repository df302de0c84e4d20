#pragma once

#include <string>
#include <string_view>

namespace quillet::platform {

// UTF-8 with every maximal ill-formed subsequence replaced by one U+FFFD, the rule Windows
// follows since Vista. Such texts can be joined at ASCII characters and converted afterwards:
// each character converts alone, so the joined text gives what its parts give.
std::string WellFormedUtf8(std::string_view utf8);

// Whether every byte of the text is ASCII: the same bytes in every character set.
bool IsAscii(std::string_view text);

// The length of the ASCII run at the start of the text.
size_t AsciiPrefix(std::string_view text);

// The UTF-16 code units that well-formed UTF-8 converts to.
size_t Utf16Length(std::string_view wellFormed);

// Whether the text is UTF-8 without any ill-formed sequence: WellFormedUtf8 would keep it as is.
bool IsWellFormedUtf8(std::string_view utf8);

// The code point at `position`, which moves past it: U+FFFD for each maximal ill-formed
// subsequence, as Windows decodes since Vista.
char32_t DecodeUtf8At(std::string_view utf8, size_t& position);

// Appends the UTF-8 form of `c`.
void AppendUtf8(std::string& out, char32_t c);

// UTF-8 to UTF-16; ill-formed input is replaced as WellFormedUtf8 replaces it.
std::u16string Utf8ToUtf16(std::string_view utf8);

// UTF-16 to UTF-8; false, leaving `utf8` as it was, for an unpaired surrogate.
bool Utf16ToUtf8(std::u16string_view utf16, std::string& utf8);

// Whether the byte continues a UTF-8 sequence rather than starting a character.
constexpr bool IsUtf8Continuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Whether the code unit is the first or the second half of a surrogate pair.
constexpr bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace quillet::platform
