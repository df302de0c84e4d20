#include "platform/FilePath.h"

#include "platform/Unicode.h"

namespace quillet::platform {

std::optional<FilePath> FilePath::FromUtf16(const WideChar* name) {
    std::u16string units;
    for (const WideChar* unit = name; unit != nullptr && *unit != 0; ++unit) {
        units.push_back(static_cast<char16_t>(*unit));
    }
    FilePath path;
    if (!Utf16ToUtf8(units, path.text_)) {
        return std::nullopt;
    }
#ifdef _WIN32
    if (!units.empty()) {
        path.wide_ = std::wstring(name);
    }
#endif
    return path;
}

}  // namespace quillet::platform
