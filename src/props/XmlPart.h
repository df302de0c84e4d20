#pragma once

#include <string>

#include <tinyxml.h>

namespace quillet {

// TinyXML parses, prints and frees recursively; a part nested deeper than this would run the
// host thread out of stack, so it counts as a part that does not parse.
constexpr int MaxXmlNesting = 1000;

// Parses a part's text the one way every reader does (encoding taken from a byte-order mark or
// the declaration, default white-space condensing). False when the part does not parse.
bool ParseXmlPart(TiXmlDocument& document, const std::string& text);

// The encoding to parse a part's text with: left to TinyXML when the part names it (byte-order
// mark or declaration), UTF-8 otherwise.
TiXmlEncoding PartEncoding(const std::string& text);

// The deepest element nesting of an XML text, measured without recursion. Stops counting once
// `limit` is exceeded and answers limit + 1.
int MeasureXmlNesting(const std::string& text, int limit);

// The text of an element's first child when that child is a text node, else null.
const char* FirstChildText(const TiXmlNode& element);

}  // namespace quillet
