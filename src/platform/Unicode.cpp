#include "platform/Unicode.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

namespace quillet::platform {
namespace {

constexpr char32_t ReplacementCharacter = 0xFFFD;

// Length of the UTF-8 sequence that `lead` starts, 0 when it starts none.
size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The second byte's range depends on the lead: no overlong forms, no surrogates, nothing above
// U+10FFFF.
bool IsValidSecond(unsigned char lead, unsigned char second) {
    switch (lead) {
        case 0xE0:
            return second >= 0xA0 && second <= 0xBF;
        case 0xED:
            return second >= 0x80 && second <= 0x9F;
        case 0xF0:
            return second >= 0x90 && second <= 0xBF;
        case 0xF4:
            return second >= 0x80 && second <= 0x8F;
        default:
            return second >= 0x80 && second <= 0xBF;
    }
}

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        const char32_t offset = c - 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
    }
}

}  // namespace

size_t AsciiPrefix(std::string_view text) {
    // Eight bytes at a time: texts are mostly ASCII, and this runs over every byte handed over.
    constexpr uint64_t HighBits = 0x8080808080808080u;
    size_t length = 0;
    for (uint64_t word = 0; length + sizeof word <= text.size(); length += sizeof word) {
        std::memcpy(&word, text.data() + length, sizeof word);
        if ((word & HighBits) != 0) {
            break;
        }
    }
    while (length < text.size() && static_cast<unsigned char>(text[length]) < 0x80) {
        ++length;
    }
    return length;
}

size_t Utf16Length(std::string_view wellFormed) {
    size_t units = 0;
    for (size_t position = 0; position < wellFormed.size();) {
        const size_t ascii = AsciiPrefix(wellFormed.substr(position));
        units += ascii;
        position += ascii;
        for (; position < wellFormed.size(); ++position) {
            const auto byte = static_cast<unsigned char>(wellFormed[position]);
            if (byte < 0x80) {
                break;
            }
            // A lead byte starts a character; a four-byte one needs a pair.
            units += static_cast<size_t>((byte & 0xC0) != 0x80) + static_cast<size_t>(byte >= 0xF0);
        }
    }
    return units;
}

char32_t DecodeUtf8At(std::string_view utf8, size_t& position) {
    const auto lead = static_cast<unsigned char>(utf8[position]);
    const size_t length = SequenceLength(lead);
    if (length <= 1) {
        ++position;
        return length == 1 ? lead : ReplacementCharacter;
    }
    char32_t value = lead & (0xFFu >> (length + 1));
    size_t taken = 1;
    for (; taken < length && position + taken < utf8.size(); ++taken) {
        const auto next = static_cast<unsigned char>(utf8[position + taken]);
        const bool fits = taken == 1 ? IsValidSecond(lead, next) : (next & 0xC0) == 0x80;
        if (!fits) {
            break;
        }
        value = (value << 6) | (next & 0x3Fu);
    }
    position += taken;
    return taken == length ? value : ReplacementCharacter;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool IsAscii(std::string_view text) {
    return AsciiPrefix(text) == text.size();
}

bool IsWellFormedUtf8(std::string_view utf8) {
    for (size_t position = AsciiPrefix(utf8); position < utf8.size();) {
        const size_t start = position;
        if (DecodeUtf8At(utf8, position) == ReplacementCharacter &&
            utf8.substr(start, position - start) != "\xEF\xBF\xBD") {
            return false;
        }
        position += AsciiPrefix(utf8.substr(position));
    }
    return true;
}

std::string WellFormedUtf8(std::string_view utf8) {
    // Most element texts are ASCII: they are copied as they are.
    size_t position = AsciiPrefix(utf8);
    std::string out(utf8.substr(0, position));
    if (position == utf8.size()) {
        return out;
    }
    out.reserve(utf8.size());  // grows only where a replacement is longer than what it replaces
    while (position < utf8.size()) {
        const size_t start = position;
        const char32_t c = DecodeUtf8At(utf8, position);
        if (c == ReplacementCharacter) {
            AppendUtf8(out, c);
        } else {
            out.append(utf8.substr(start, position - start));
        }
        // The ASCII run that follows is copied whole.
        const size_t ascii = AsciiPrefix(utf8.substr(position));
        out.append(utf8.substr(position, ascii));
        position += ascii;
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    size_t position = 0;
    while (position < utf8.size()) {
        const auto byte = static_cast<unsigned char>(utf8[position]);
        if (byte < 0x80) {
            out.push_back(static_cast<char16_t>(byte));
            ++position;
        } else {
            AppendUtf16(out, DecodeUtf8At(utf8, position));
        }
    }
    return out;
}

bool Utf16ToUtf8(std::u16string_view utf16, std::string& utf8) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        const char16_t unit = utf16[i];
        if (IsLowSurrogate(unit)) {
            return false;
        }
        if (!IsHighSurrogate(unit)) {
            AppendUtf8(out, unit);
            continue;
        }
        if (i + 1 >= utf16.size() || !IsLowSurrogate(utf16[i + 1])) {
            return false;
        }
        const char32_t high = unit - 0xD800u;
        const char32_t low = utf16[++i] - 0xDC00u;
        AppendUtf8(out, 0x10000 + (high << 10) + low);
    }
    utf8 = std::move(out);
    return true;
}

}  // namespace quillet::platform
