#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <tinyxml.h>

#include "package/PartText.h"

namespace quillet {

// TinyXML parses, prints and frees recursively; a part nested deeper than this would run the
// host thread out of stack, so it counts as a part that does not parse. The parser itself
// refuses such parts (patches/tinyxml-guards.patch), and this is its limit.
constexpr int MaxXmlNesting = 256;
static_assert(MaxXmlNesting == TIXML_MAX_ELEMENT_DEPTH,
              "TinyXML must be built from third_party/tinyxml with its guards applied");
// The element stream is proven against this one Debian source (scripts/fetch-tinyxml.sh pins it;
// docs/fuzzing.md says how to re-prove another).
static_assert(std::string_view(TIXML_DEBIAN_REVISION) == "2.6.2-6+deb12u1",
              "TinyXML is not the Debian source the element stream is proven against");

// More attributes than this on one element make the part not parse: TinyXML compares each new
// attribute with all earlier ones of its element.
constexpr int MaxXmlAttributes = TIXML_MAX_ATTRIBUTES;

// About 32 MiB of tree: far above any real properties, relationships, workbook or presentation
// part, the parts read whole through BoundedTreeFilter. The parts that grow with the document
// (body, worksheets, shared strings, slides, notes) are streamed an element at a time.
constexpr uint64_t MaxBoundedTreeBytes = uint64_t{32} << 20;

// Parses a part's text the one way every reader does (encoding taken from a byte-order mark or
// the declaration, default white-space condensing). False when the part does not parse.
bool ParseXmlPart(TiXmlDocument& document, const std::string& text);

// The most memory TinyXML's tree of the text can take, counted without parsing: every node
// starts at a '<' (an element, with the text node that may follow it), every attribute needs an
// '=', and the texts are at most the part's own bytes.
uint64_t TreeBytesBound(std::string_view text);

// A filter for reading a part whose tree is kept whole: it refuses the part as soon as what was
// read of it could make a tree above MaxBoundedTreeBytes, so a huge part costs one piece of
// memory, not the part.
PartFilter BoundedTreeFilter();

// The white space a part may start with before its declaration.
constexpr std::string_view LeadingSpace = " \t\r\n";

// The encoding to parse a part's text with: left to TinyXML when the part names it (a byte-order
// mark at its start, or a declaration after its leading white space), UTF-8 otherwise. `text` is
// the whole text, or its start up to five bytes past the leading white space.
TiXmlEncoding PartEncoding(std::string_view text);

// The text of an element's first child when that child is a text node, else null.
const char* FirstChildText(const TiXmlNode& element);

}  // namespace quillet
