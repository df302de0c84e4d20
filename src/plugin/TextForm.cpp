#include "plugin/TextForm.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/Unicode.h"

namespace quillet {
namespace {

// A long text converts in pieces of about this size: the conversion's own buffers stay small
// whatever the text.
constexpr size_t PieceBytes = 64 * 1024;

}  // namespace

std::string AnsiOf(std::string utf8) {
    size_t written = 0;
    size_t start = 0;
    while (start < utf8.size()) {
        size_t end = std::min(utf8.size(), start + PieceBytes);
        // A piece ends before a character, never inside one.
        while (end < utf8.size() && end > start + 1 && platform::IsUtf8Continuation(utf8[end])) {
            --end;
        }
        const std::string piece =
            platform::Utf8ToProcessAnsi(utf8.substr(start, end - start).c_str());
        if (written + piece.size() > end) {
            // Longer than what it replaces: the rest goes into a text of its own.
            std::string ansi = utf8.substr(0, written) + piece;
            ansi += AnsiOf(utf8.substr(end));
            return ansi;
        }
        // Only bytes already converted are overwritten.
        utf8.replace(written, piece.size(), piece);
        written += piece.size();
        start = end;
    }
    utf8.resize(written);
    return utf8;
}

std::u16string Utf16Of(std::string_view utf8) {
    return platform::Utf8ToUtf16(utf8);
}

std::string FormName(TextForm form) {
    return form == TextForm::Ansi ? platform::ProcessAnsiName() : std::string("UTF-16");
}

}  // namespace quillet
