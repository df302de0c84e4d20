#include "platform/CodePage.h"

#include "platform/AsciiText.h"
#include "platform/Unicode.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

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

bool IsValidSecond(unsigned char lead, unsigned char second) {
    switch (lead) {
        case 0xE0:
            return second >= 0xA0 && second <= 0xBF;
        case 0xED:
            return second >= 0x80 && second <= 0x9F;  // no UTF-16 surrogates
        case 0xF0:
            return second >= 0x90 && second <= 0xBF;
        case 0xF4:
            return second >= 0x80 && second <= 0x8F;
        default:
            return second >= 0x80 && second <= 0xBF;
    }
}

// Decodes UTF-8 the way Windows does since Vista: every maximal ill-formed subsequence becomes
// one U+FFFD.
std::u32string DecodeUtf8(const char* utf8) {
    std::u32string codePoints;
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8);
    size_t i = 0;
    while (bytes[i] != 0) {
        const unsigned char lead = bytes[i];
        const size_t length = SequenceLength(lead);
        if (length == 1) {
            codePoints.push_back(lead);
            ++i;
            continue;
        }
        if (length == 0) {
            codePoints.push_back(ReplacementCharacter);
            ++i;
            continue;
        }
        char32_t value = lead & (0xFF >> (length + 1));
        size_t taken = 1;
        for (; taken < length; ++taken) {
            const unsigned char next = bytes[i + taken];
            const bool fits = taken == 1 ? IsValidSecond(lead, next) : (next & 0xC0) == 0x80;
            if (!fits) {
                break;
            }
            value = (value << 6) | (next & 0x3F);
        }
        codePoints.push_back(taken == length ? value : ReplacementCharacter);
        i += taken;
    }
    return codePoints;
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

bool IsUtf8Name(const std::string& name) {
    std::string folded;
    for (const char c : name) {
        if (c != '-' && c != '_')
            folded.push_back(static_cast<char>(c | 0x20));
    }
    return folded == "utf8";
}

class Converter {
  public:
    explicit Converter(const std::string& target)
        : handle_(::iconv_open(target.c_str(), "UTF-32LE")) {}
    ~Converter() {
        if (valid())
            ::iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts one code point; false when the target character set lacks it.
    bool Append(char32_t c, std::string& out) {
        const unsigned char in[4] = {
            static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8),
            static_cast<unsigned char>(c >> 16), static_cast<unsigned char>(c >> 24)};
        char buffer[16];
        char* inPtr = const_cast<char*>(reinterpret_cast<const char*>(in));
        size_t inLeft = sizeof in;
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        if (::iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            return false;
        }
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        return true;
    }

  private:
    iconv_t handle_;
};

std::string IconvName(unsigned codePage) {
    switch (codePage) {
        case CodePageAscii:
            return "ASCII";
        case CodePageUtf8:
            return "UTF-8";
        default:
            return "CP" + std::to_string(codePage);
    }
}

std::string ConvertTo(const char* utf8, const std::string& target) {
    const std::u32string codePoints = DecodeUtf8(utf8 == nullptr ? "" : utf8);
    std::string out;
    if (IsUtf8Name(target)) {
        for (const char32_t c : codePoints)
            AppendUtf8(out, c);
        return out;
    }
    Converter converter(target);
    for (const char32_t c : codePoints) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (!converter.valid() || !converter.Append(c, out)) {
            out.push_back('?');
        }
    }
    return out;
}

}  // namespace

std::string ProcessAnsiName() {
    const char* codeset = ::nl_langinfo(CODESET);
    return codeset != nullptr && codeset[0] != '\0' ? codeset : "ASCII";
}

std::string Utf8ToProcessAnsi(const char* utf8) {
    // ASCII is the same in every character set the conversion knows, and most property texts
    // are ASCII: they need no decoding.
    if (utf8 == nullptr || IsAsciiText(utf8)) {
        return utf8 != nullptr ? std::string(utf8) : std::string();
    }
    // The host's locale plays the part of the Windows ANSI code page.
    return ConvertTo(utf8, ProcessAnsiName());
}

std::string SystemWellFormedUtf8(const char* utf8) {
    return WellFormedUtf8(utf8 != nullptr ? utf8 : "");
}

std::string Utf8ToCodePage(const char* utf8, unsigned codePage) {
    return ConvertTo(utf8, IconvName(codePage));
}

}  // namespace quillet::platform
