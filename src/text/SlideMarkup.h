#pragma once

#include <string>

namespace quillet {

// Drops every tag of a printed XML text and turns control bytes into spaces; never empty
// (a text without any character left becomes " ").
std::string StripMarkup(std::string text);

// Decodes, once and left to right, the escapes TinyXML's printer writes into text: the five
// predefined entities and "&#xHH;" (a control character becomes a space, as StripMarkup makes of
// control bytes; any other is written as UTF-8). Anything else stays as it is.
std::string DecodePrinterEscapes(const std::string& text);

}  // namespace quillet
