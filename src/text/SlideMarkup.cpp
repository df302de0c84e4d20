#include "text/SlideMarkup.h"

#include <cstring>

#include "platform/Unicode.h"

namespace quillet {
namespace {

struct Escape {
    const char* sequence;
    char character;
};

constexpr Escape NamedEscapes[] = {
    {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''},
};

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The character a "&#xHH;" escape names, as UTF-8: the text stays well-formed whatever the escape
// holds.
void AppendEscapedCharacter(std::string& output, int value) {
    if (value < 32) {
        output += ' ';
    } else {
        platform::AppendUtf8(output, static_cast<char32_t>(value));
    }
}

}  // namespace

std::string StripMarkup(std::string text) {
    std::string output;
    output.reserve(text.size());
    bool insideTag = false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '<') {
            insideTag = true;
        } else if (c == '>') {
            insideTag = false;
        } else if (insideTag) {
            continue;
        } else if (byte < 32) {
            output += ' ';
        } else {
            output += c;
        }
    }
    return output.empty() ? std::string(" ") : output;
}

std::string DecodePrinterEscapes(const std::string& text) {
    std::string output;
    output.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '&') {
            output += text[i++];
            continue;
        }
        bool decoded = false;
        for (const Escape& escape : NamedEscapes) {
            const size_t length = std::strlen(escape.sequence);
            if (text.compare(i, length, escape.sequence) == 0) {
                output += escape.character;
                i += length;
                decoded = true;
                break;
            }
        }
        if (!decoded && text.compare(i, 3, "&#x") == 0 && i + 5 < text.size() &&
            text[i + 5] == ';') {
            const int high = HexValue(text[i + 3]);
            const int low = HexValue(text[i + 4]);
            if (high >= 0 && low >= 0) {
                AppendEscapedCharacter(output, high * 16 + low);
                i += 6;
                decoded = true;
            }
        }
        if (!decoded) {
            output += text[i++];
        }
    }
    return output;
}

}  // namespace quillet
