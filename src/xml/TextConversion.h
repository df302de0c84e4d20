#pragma once

#include <string>
#include <string_view>

namespace quillet {

// An element's text as the readers keep it: UTF-8, each ill-formed sequence replaced by U+FFFD
// as the ANSI conversion replaces it (each maximal ill-formed subsequence, on Windows the
// system's decoding), so that texts joined at ASCII separators convert to what each converts to
// alone.
std::string WellFormedText(const char* utf8);

// WellFormedText without a copy where the text is well-formed already, as real texts are: a view
// of `utf8`, or of `scratch` holding the replaced text.
std::string_view WellFormedView(std::string_view utf8, std::string& scratch);

// Replaces every occurrence of `search`, left to right, never searching replaced text again.
std::string ReplaceAll(const std::string& text, const std::string& search,
                       const std::string& replacement);

// Decodes the five predefined XML entities, one pass each, "&amp;" first.
std::string DecodeXmlEntities(const std::string& text);

}  // namespace quillet
