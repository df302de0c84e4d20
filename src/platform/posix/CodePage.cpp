#include "platform/CodePage.h"

#include "platform/AsciiText.h"
#include "platform/Unicode.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::platform {
namespace {

// Decodes UTF-8 the way Windows does since Vista: every maximal ill-formed subsequence becomes
// one U+FFFD.
std::u32string DecodeUtf8(const char* utf8) {
    const std::string_view text(utf8);
    std::u32string codePoints;
    for (size_t position = 0; position < text.size();) {
        codePoints.push_back(DecodeUtf8At(text, position));
    }
    return codePoints;
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

std::string ConvertTo(const char* utf8, const std::string& target) {
    const std::string_view text(utf8 == nullptr ? "" : utf8);
    if (IsUtf8Name(target)) {
        return WellFormedUtf8(text);
    }
    const std::u32string codePoints = DecodeUtf8(text.data());
    std::string out;
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

}  // namespace quillet::platform
