#pragma once

#include <string>
#include <string_view>

namespace quillet::host {

// Unicode simple case folding (CaseFolding.txt, status C and S), as grep and ripgrep fold for
// -i: every letter that has a folded form maps to it, one code point to one code point.
char32_t FoldCase(char32_t c);

// The UTF-8 text with every character folded. Bytes that are not UTF-8 pass unchanged, so a
// text in a single-byte code page still folds its ASCII letters.
std::string FoldUtf8(std::string_view text);

// How many bytes at the end of `text` begin a UTF-8 character that the text does not finish:
// a piece that ends there is folded once the next piece completes the character.
size_t UnfinishedUtf8Tail(std::string_view text);

}  // namespace quillet::host
