#pragma once

#include <string>

#include <tinyxml.h>

namespace quillet {

// TinyXML parses, prints and frees recursively; a part nested deeper than this would run the
// host thread out of stack, so it counts as a part that does not parse. The parser itself
// refuses such parts (patches/tinyxml-guards.patch), and this is its limit.
constexpr int MaxXmlNesting = 256;
static_assert(MaxXmlNesting == TIXML_MAX_ELEMENT_DEPTH,
              "TinyXML must be built from third_party/tinyxml with its guards applied");

// More attributes than this on one element make the part not parse: TinyXML compares each new
// attribute with all earlier ones of its element.
constexpr int MaxXmlAttributes = TIXML_MAX_ATTRIBUTES;

// Parses a part's text the one way every reader does (encoding taken from a byte-order mark or
// the declaration, default white-space condensing). False when the part does not parse.
bool ParseXmlPart(TiXmlDocument& document, const std::string& text);

// The encoding to parse a part's text with: left to TinyXML when the part names it (byte-order
// mark or declaration), UTF-8 otherwise.
TiXmlEncoding PartEncoding(const std::string& text);

// The text of an element's first child when that child is a text node, else null.
const char* FirstChildText(const TiXmlNode& element);

}  // namespace quillet
