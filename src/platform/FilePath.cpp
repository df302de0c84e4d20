#include "platform/FilePath.h"

#include <cstring>

#include "platform/Unicode.h"

namespace quillet::platform {
namespace {

// The code point of the UTF-16 name at `unit`, which moves past it; nothing for an unpaired
// surrogate.
std::optional<char32_t> CodePointAt(const WideChar*& unit) {
    const auto first = static_cast<char16_t>(*unit++);
    if (IsLowSurrogate(first)) {
        return std::nullopt;
    }
    if (!IsHighSurrogate(first)) {
        return first;
    }
    const auto second = static_cast<char16_t>(*unit);
    if (!IsLowSurrogate(second)) {
        return std::nullopt;
    }
    ++unit;
    return 0x10000 + ((static_cast<char32_t>(first) - 0xD800) << 10) +
           (static_cast<char32_t>(second) - 0xDC00);
}

size_t Utf8Bytes(char32_t c) {
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

char* PutUtf8(char* out, char32_t c) {
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

}  // namespace

std::optional<FilePath> FilePath::FromUtf16(const WideChar* name) {
    FilePath path;
    if (name == nullptr) {
        return path;
    }
    // Measured first, then written where it fits; most names are ASCII all through, which
    // needs no decoding.
    size_t ascii = 0;
    while (name[ascii] != 0 && static_cast<char16_t>(name[ascii]) < 0x80) {
        ++ascii;
    }
    size_t bytes = ascii;
    for (const WideChar* unit = name + ascii; *unit != 0;) {
        const auto c = CodePointAt(unit);
        if (!c) {
            return std::nullopt;
        }
        bytes += Utf8Bytes(*c);
    }
    char* out = path.inline_;
    if (bytes >= InlineBytes) {
        path.long_.resize(bytes);
        out = path.long_.data();
    }
    for (size_t i = 0; i < ascii; ++i) {
        *out++ = static_cast<char>(name[i]);
    }
    for (const WideChar* unit = name + ascii; *unit != 0;) {
        out = PutUtf8(out, *CodePointAt(unit));
    }
    *out = '\0';
    path.size_ = bytes;
#ifdef _WIN32
    if (bytes > 0) {
        path.wide_ = name;
    }
#endif
    return path;
}

FilePath::FilePath(const FilePath& other)
    : borrowed_(other.borrowed_), size_(other.size_), long_(other.long_) {
    if (borrowed_ == nullptr && long_.empty()) {
        std::memcpy(inline_, other.inline_, size_ + 1);
    }
#ifdef _WIN32
    wide_ = other.wide_;
#endif
}

const char* FilePath::c_str() const {
    if (borrowed_ != nullptr) {
        return borrowed_;
    }
    return long_.empty() ? inline_ : long_.c_str();
}

}  // namespace quillet::platform
