#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::platform {

// The code unit of a UTF-16 name as hosts pass it: wchar_t on Windows, char16_t elsewhere.
#ifdef _WIN32
using WideChar = wchar_t;
#else
using WideChar = char16_t;
#endif

// A file name as the host handed it for one call: bytes in its ANSI code page, or UTF-16. POSIX
// systems take bytes, so a UTF-16 name becomes UTF-8 there; Windows opens it with the wide calls.
// The host's own name is borrowed, not copied: a FilePath lives no longer than the call that
// made it. A converted name of usual length is held inline, so naming a file allocates nothing.
class FilePath {
  public:
    // A name in the host's ANSI code page (null: no name, which names no file), borrowed.
    explicit FilePath(const char* ansi)
        : borrowed_(ansi != nullptr ? ansi : ""),
          size_(std::char_traits<char>::length(borrowed_)) {}
    // Nothing for a name holding an unpaired surrogate, which names no file.
    static std::optional<FilePath> FromUtf16(const WideChar* name);

    FilePath(const FilePath& other);
    FilePath& operator=(const FilePath&) = delete;

    bool empty() const { return *c_str() == '\0'; }
    // The bytes of the name: what POSIX calls take; on Windows the ANSI name, or the UTF-8 of a
    // UTF-16 one, which only tells names apart.
    std::string_view text() const { return std::string_view(c_str(), size_); }
    const char* c_str() const;

#ifdef _WIN32
    bool wide() const {
        return wide_ != nullptr;
    }
    // The UTF-16 name, or null for an ANSI one.
    const wchar_t* wideName() const {
        return wide_;
    }
#endif

  private:
    // Room for the UTF-8 of any name Windows' MAX_PATH allows and of most POSIX paths.
    static constexpr size_t InlineBytes = 1024;

    FilePath() {
        inline_[0] = '\0';
    }  // an empty converted name

    const char* borrowed_ = nullptr;  // the host's ANSI name, or null for a converted one
    size_t size_ = 0;                 // the name's bytes
    char inline_[InlineBytes];  // a converted name that fits, NUL-terminated; unused otherwise
    std::string long_;          // a converted name that does not
#ifdef _WIN32
    const wchar_t* wide_ = nullptr;  // the host's UTF-16 name, borrowed
#endif
};

}  // namespace quillet::platform
