#include "plugin/TextForm.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/Unicode.h"

namespace quillet {
namespace {

// A long text converts in pieces of about this size: the conversion's own buffers stay small
// whatever the text.
constexpr size_t PieceBytes = 64 * 1024;

// Where the piece that starts at `start` ends: at most PieceBytes on, never inside a character.
size_t PieceEnd(const std::string& utf8, size_t start) {
    size_t end = std::min(utf8.size(), start + PieceBytes);
    while (end < utf8.size() && end > start + 1 && platform::IsUtf8Continuation(utf8[end])) {
        --end;
    }
    return end;
}

}  // namespace

std::string AnsiOf(std::string utf8) {
    size_t written = 0;
    // Once a piece grows past what it replaces, the ANSI text goes on in a text of its own.
    std::string grown;
    bool inPlace = true;
    for (size_t start = 0; start < utf8.size();) {
        const size_t end = PieceEnd(utf8, start);
        const std::string piece =
            platform::Utf8ToProcessAnsi(utf8.substr(start, end - start).c_str());
        if (inPlace && written + piece.size() > end) {
            grown.assign(utf8, 0, written);
            inPlace = false;
        }
        if (inPlace) {
            // Only bytes already converted are overwritten.
            utf8.replace(written, piece.size(), piece);
        } else {
            grown += piece;
        }
        written += piece.size();
        start = end;
    }
    if (!inPlace) {
        return grown;
    }
    utf8.resize(written);
    return utf8;
}

std::string AnsiPrefixOf(std::string_view utf8, size_t maxBytes) {
    size_t end = 0;
    for (size_t characters = 0; end < utf8.size() && characters < maxBytes; ++characters) {
        ++end;
        while (end < utf8.size() && platform::IsUtf8Continuation(utf8[end])) {
            ++end;
        }
    }
    return AnsiOf(std::string(utf8.substr(0, end)));
}

std::string FormName(TextForm form) {
    return form == TextForm::Ansi ? platform::ProcessAnsiName() : std::string("UTF-16");
}

}  // namespace quillet
