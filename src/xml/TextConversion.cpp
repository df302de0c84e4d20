#include "xml/TextConversion.h"

#include "platform/CodePage.h"
#include "platform/Unicode.h"

namespace quillet {

std::string WellFormedText(const char* utf8) {
    return platform::SystemWellFormedUtf8(utf8);
}

std::string_view WellFormedView(std::string_view utf8, std::string& scratch) {
    if (platform::IsWellFormedUtf8(utf8)) {
        return utf8;
    }
    scratch = WellFormedText(std::string(utf8).c_str());
    return scratch;
}

std::string ReplaceAll(const std::string& text, const std::string& search,
                       const std::string& replacement) {
    if (search.empty()) {
        return text;
    }
    std::string result;
    result.reserve(text.size());
    size_t position = 0;
    for (;;) {
        const size_t found = text.find(search, position);
        result.append(text, position,
                      found == std::string::npos ? std::string::npos : found - position);
        if (found == std::string::npos) {
            return result;
        }
        result += replacement;
        position = found + search.size();
    }
}

std::string DecodeXmlEntities(const std::string& text) {
    std::string result = ReplaceAll(text, "&amp;", "&");
    result = ReplaceAll(result, "&lt;", "<");
    result = ReplaceAll(result, "&gt;", ">");
    result = ReplaceAll(result, "&apos;", "'");
    return ReplaceAll(result, "&quot;", "\"");
}

}  // namespace quillet
