#include "text/ShapeText.h"

#include <cstring>

#include "platform/AsciiText.h"
#include "platform/Unicode.h"
#include "xml/TextConversion.h"

namespace quillet {
namespace {

struct Escape {
    std::string_view sequence;
    char character;
};

// In the order the printer's escapes are tried.
constexpr Escape NamedEscapes[] = {
    {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''},
};
// The longest escape: "&quot;", "&apos;" and "&#xHH;".
constexpr size_t LongestEscape = 6;

using platform::HexDigitValue;

// Whether the printer writes the byte as an escape.
bool IsEscaped(unsigned char c) {
    return c < 32 || c == '&' || c == '<' || c == '>' || c == '"' || c == '\'';
}

// TinyXML's EncodeString: the five characters as entities, bytes below 32 as "&#xHH;".
void AppendEncoded(std::string& out, std::string_view text) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                if (byte < 32) {
                    out += "&#x";
                    out += Hex[byte >> 4];
                    out += Hex[byte & 15];
                    out += ';';
                } else {
                    out += c;
                }
        }
    }
}

// What a printed node leaves once its markup goes: every '<' opens a tag, every '>' ends one, and
// a control byte outside tags becomes a space. A node printed alone always ends outside a tag.
std::string StripMarkup(std::string_view printed) {
    std::string output;
    bool insideTag = false;
    for (const char c : printed) {
        if (c == '<') {
            insideTag = true;
        } else if (c == '>') {
            insideTag = false;
        } else if (!insideTag) {
            output += static_cast<unsigned char>(c) < 32 ? ' ' : c;
        }
    }
    return output;
}

}  // namespace

void ShapeText::EscapeDecoder::Feed(std::string_view text) {
    if (pending_.empty() && text.find('&') == std::string_view::npos) {
        result_.Append(text);
        return;
    }
    pending_.append(text);
    pending_.erase(0, Decode(pending_, false));
}

void ShapeText::EscapeDecoder::Finish() {
    Decode(pending_, true);
    pending_.clear();
}

size_t ShapeText::EscapeDecoder::Decode(std::string_view text, bool final) {
    size_t i = 0;
    while (i < text.size()) {
        const size_t amp = text.find('&', i);
        result_.Append(text.substr(i, amp == std::string_view::npos ? amp : amp - i));
        if (amp == std::string_view::npos) {
            return text.size();
        }
        i = amp;
        if (!final && text.size() - i < LongestEscape) {
            return i;  // the escape may go on in the next piece
        }
        const std::string_view rest = text.substr(i);
        bool decoded = false;
        for (const Escape& escape : NamedEscapes) {
            if (rest.compare(0, escape.sequence.size(), escape.sequence) == 0) {
                result_.Append(escape.character);
                i += escape.sequence.size();
                decoded = true;
                break;
            }
        }
        if (!decoded && rest.size() > 5 && rest.compare(0, 3, "&#x") == 0 && rest[5] == ';' &&
            HexDigitValue(rest[3]) >= 0 && HexDigitValue(rest[4]) >= 0) {
            const int value = HexDigitValue(rest[3]) * 16 + HexDigitValue(rest[4]);
            if (value < 32) {
                result_.Append(' ');
            } else {
                std::string character;
                platform::AppendUtf8(character, static_cast<char32_t>(value));
                result_.Append(character);
            }
            i += 6;
            decoded = true;
        }
        if (!decoded) {
            result_.Append('&');
            ++i;
        }
    }
    return i;
}

void ShapeText::Open() {
    Settle();
    openWithoutChild_ = true;
}

void ShapeText::Leaf(const TiXmlNode& node) {
    const TiXmlText* text = node.ToText();
    if (text != nullptr && !text->CDATA() && openWithoutChild_) {
        // Printed on its element's line if it stays the only child.
        openWithoutChild_ = false;
        holdingText_ = true;
        heldText_ = text->ValueStr();
        return;
    }
    Settle();
    if (text != nullptr && !text->CDATA()) {
        EmitText(text->ValueStr());
        decoder_.Feed(" ");
        return;
    }
    std::string printed;
    if (text != nullptr) {
        printed = "<![CDATA[" + text->ValueStr() + "]]>";
    } else if (node.ToComment() != nullptr) {
        printed = "<!--" + node.ValueStr() + "-->";
    } else if (const TiXmlDeclaration* declaration = node.ToDeclaration()) {
        declaration->Print(nullptr, 0, &printed);
    } else {
        printed = "<" + node.ValueStr() + ">";
    }
    EmitMarkedUp(printed);
    decoder_.Feed(" ");
}

void ShapeText::Close() {
    if (openWithoutChild_) {
        openWithoutChild_ = false;  // "<name />" and its line break
    } else if (holdingText_) {
        holdingText_ = false;  // "<name>text</name>" on one line
        EmitText(heldText_);
    }
    decoder_.Feed(" ");  // the line break after the element's last tag
}

void ShapeText::Finish() {
    decoder_.Finish();
}

void ShapeText::Settle() {
    if (openWithoutChild_) {
        openWithoutChild_ = false;
        decoder_.Feed(" ");
    } else if (holdingText_) {
        holdingText_ = false;
        decoder_.Feed(" ");
        EmitText(heldText_);
        decoder_.Feed(" ");
    }
}

void ShapeText::EmitText(const std::string& value) {
    const std::string_view wellFormed = WellFormedView(value, scratch_);
    bool plain = true;
    for (const char c : wellFormed) {
        plain = plain && !IsEscaped(static_cast<unsigned char>(c));
    }
    if (plain) {
        decoder_.Feed(wellFormed);
        return;
    }
    std::string encoded;
    encoded.reserve(wellFormed.size() + wellFormed.size() / 4);
    AppendEncoded(encoded, wellFormed);
    decoder_.Feed(encoded);
}

void ShapeText::EmitMarkedUp(const std::string& printed) {
    decoder_.Feed(StripMarkup(WellFormedText(printed.c_str())));
}

}  // namespace quillet
