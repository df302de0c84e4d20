#pragma once

#include <optional>
#include <string>

namespace quillet::platform {

// The code unit of a UTF-16 name as hosts pass it: wchar_t on Windows, char16_t elsewhere.
#ifdef _WIN32
using WideChar = wchar_t;
#else
using WideChar = char16_t;
#endif

// A file name as the host handed it: bytes in its ANSI code page, or UTF-16. POSIX systems take
// bytes, so a UTF-16 name becomes UTF-8 there; Windows opens it with the wide calls.
class FilePath {
  public:
    // A name in the host's ANSI code page (null: no name, which names no file).
    explicit FilePath(const char* ansi) : text_(ansi != nullptr ? ansi : "") {}
    // Nothing for a name holding an unpaired surrogate, which names no file.
    static std::optional<FilePath> FromUtf16(const WideChar* name);

    bool empty() const { return text_.empty(); }
    // The bytes of the name: what POSIX calls take; on Windows the ANSI name, or the UTF-8 of a
    // UTF-16 one, which only tells names apart.
    const std::string& text() const { return text_; }

#ifdef _WIN32
    bool wide() const {
        return wide_.has_value();
    }
    // The UTF-16 name, or null for an ANSI one.
    const wchar_t* wideName() const {
        return wide_ ? wide_->c_str() : nullptr;
    }
#endif

  private:
    FilePath() = default;

    std::string text_;
#ifdef _WIN32
    std::optional<std::wstring> wide_;
#endif
};

}  // namespace quillet::platform
