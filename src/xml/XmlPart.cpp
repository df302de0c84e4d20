#include "xml/XmlPart.h"

#include <cstring>

namespace quillet {
namespace {

// TinyXML's heap bytes, allocator overhead included, as measured on its 64-bit build: an
// element takes 224 and a text node 128, so one '<' can start at most 352 bytes of tree; an
// attribute takes 128 besides its name and value.
constexpr uint64_t BytesPerNodeStart = 352;
constexpr uint64_t BytesPerAttribute = 128;

// More than the longest step TinyXML takes over one UTF-8 sequence (4 bytes).
constexpr size_t Utf8SequencePadding = 8;

}  // namespace

TiXmlEncoding PartEncoding(std::string_view text) {
    // TinyXML takes the encoding from a byte-order mark or the declaration; a part with neither
    // is UTF-8, as XML says, and must be read so: otherwise a character reference such as
    // "&#233;" (openpyxl writes them) becomes a lone Latin-1 byte instead of its UTF-8 form.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        return TIXML_ENCODING_UNKNOWN;
    }
    const size_t start = text.find_first_not_of(LeadingSpace);
    const bool declared = start != std::string::npos && text.compare(start, 5, "<?xml") == 0;
    return declared ? TIXML_ENCODING_UNKNOWN : TIXML_ENCODING_UTF8;
}

uint64_t TreeBytesBound(std::string_view text) {
    const auto count = [&](char wanted) {
        uint64_t found = 0;
        for (const char *at = text.data(), *end = text.data() + text.size();
             (at = static_cast<const char*>(
                  std::memchr(at, wanted, static_cast<size_t>(end - at)))) != nullptr;
             ++at) {
            ++found;
        }
        return found;
    };
    return count('<') * BytesPerNodeStart + count('=') * BytesPerAttribute + text.size();
}

PartFilter BoundedTreeFilter() {
    return [bound = uint64_t{0}](std::string_view piece) mutable {
        bound += TreeBytesBound(piece);
        return bound <= MaxBoundedTreeBytes;
    };
}

bool ParseXmlPart(TiXmlDocument& document, const std::string& text) {
    // TinyXML steps over a UTF-8 sequence by the length its lead byte announces, even past the
    // terminating NUL of a text that ends inside one; enough NULs behind the text stop it there.
    std::string padded;
    padded.reserve(text.size() + Utf8SequencePadding);
    padded.assign(text).append(Utf8SequencePadding, '\0');
    document.Parse(padded.c_str(), nullptr, PartEncoding(text));
    return !document.Error();
}

const char* FirstChildText(const TiXmlNode& element) {
    const TiXmlNode* child = element.FirstChild();
    const TiXmlText* text = child != nullptr ? child->ToText() : nullptr;
    return text != nullptr ? text->Value() : nullptr;
}

}  // namespace quillet
