#pragma once

#include <string>

namespace quillet::test {

// Parses `text` (up to its first NUL, as TinyXML reads it) with Debian's TinyXML and with the
// patched one, with each encoding the readers pass (TIXML_ENCODING_UNKNOWN, TIXML_ENCODING_UTF8)
// and both white-space settings, the patched one from fresh nodes and from pooled ones, and answers
// the first difference in result, error or tree, or an empty string. Where the text passes the
// guards' limits (an element nested deeper than TIXML_MAX_ELEMENT_DEPTH, or more than
// TIXML_MAX_ATTRIBUTES attributes on one), the patched parser must fail with
// TIXML_ERROR_PARSING_ELEMENT instead. Runs on a thread with a large stack: Debian's copy
// recurses once per level of nesting, however deep.
std::string TinyXmlDifference(const std::string& text);

}  // namespace quillet::test
