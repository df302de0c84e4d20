// The plain output: aligned columns for a reader, each value on one line; on a terminal a full
// text is cut to what the line holds.
#include <algorithm>

#include "Report.h"
#include "ValueText.h"
#include "platform/Unicode.h"

namespace quillet::host {
namespace {

// The type column's width and the blanks between columns.
constexpr size_t TypeWidth = 8;
constexpr size_t Gap = 2;
// A cut text keeps at least this many columns of itself, however narrow the terminal.
constexpr size_t LeastShown = 16;

std::string Padded(const std::string& text, size_t width) {
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}

// The columns a terminal gives a character: two for the wide East Asian scripts and emoji.
size_t Columns(char32_t c) {
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                      (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                      (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) ||
                      (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

// The characters of a UTF-8 text.
size_t CharacterCount(const std::string& text) {
    return static_cast<size_t>(std::count_if(
        text.begin(), text.end(), [](char byte) { return !platform::IsUtf8Continuation(byte); }));
}

// 49812345 as 49,812,345.
std::string Grouped(size_t number) {
    std::string digits = std::to_string(number);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

// The start of `text`, escaped as in quotes, that takes at most `columns` columns; whole
// characters and whole escapes only. `whole` tells whether it is all of the text.
std::string EscapedStart(const std::string& text, size_t columns, bool& whole) {
    std::string shown;
    size_t used = 0;
    for (size_t position = 0; position < text.size();) {
        const size_t start = position;
        const char32_t c = platform::DecodeUtf8At(text, position);
        const std::string quoted = QuotedPlain(text.substr(start, position - start));
        // An escape is ASCII, a column a byte; a character takes its own columns.
        const size_t width =
            quoted.size() - 2 == position - start && c >= 0x80 ? Columns(c) : quoted.size() - 2;
        if (used + width > columns) {
            whole = false;
            return shown;
        }
        shown += quoted.substr(1, quoted.size() - 2);
        used += width;
    }
    whole = true;
    return shown;
}

// A full text on the rest of a line, `room` columns: whole when it fits, else its start, its
// size and how to see it all.
std::string OneLineText(const std::string& text, const std::string& field, size_t room) {
    const size_t quotes = 2;
    bool whole = false;
    const std::string all = EscapedStart(text, room > quotes ? room - quotes : 0, whole);
    if (whole)
        return "\"" + all + "\"";
    const std::string note =
        " (" + Grouped(CharacterCount(text)) + " chars; all: --raw=" + field + ")";
    const size_t spent = quotes + 1 + note.size();  // the quotes, the ellipsis and the note
    const size_t shown = std::max(LeastShown, room > spent ? room - spent : 0);
    return "\"" + EscapedStart(text, shown, whole) + "\u2026\"" + note;
}

class TableReport : public Report {
  public:
    TableReport(const std::vector<FieldInfo>& table, size_t lineWidth)
        : Report(table), lineWidth_(lineWidth) {
        for (const FieldInfo& field : table_)
            nameWidth_ = std::max(nameWidth_, field.name.size());
    }

    std::string Detect(const std::string& detectString) const override {
        return detectString + "\n";
    }

    std::string Table() const override {
        std::string out;
        const size_t indexWidth = std::to_string(table_.empty() ? 0 : table_.back().index).size();
        for (const FieldInfo& field : table_) {
            const std::string index = std::to_string(field.index);
            out += std::string(indexWidth - std::min(indexWidth, index.size()), ' ') + index +
                   "  " + Padded(field.name, nameWidth_) + "  " +
                   Padded(TypeName(field.type), TypeWidth) + " (" + std::to_string(field.type) +
                   ")";
            if (!field.units.empty())
                out += "  units: " + field.units;
            out += "\n";
        }
        return out;
    }

    std::string File(const std::string& file,
                     const std::vector<FieldReport>& fields) const override {
        std::string out = file + "\n";
        for (const FieldReport& report : fields) {
            out += "  " + Padded(report.field->name, nameWidth_) + "  " +
                   Padded(TypeName(report.field->type), TypeWidth) + "  " +
                   Value(*report.field, report.value) + "\n";
        }
        return out;
    }

  private:
    std::string Value(const FieldInfo& field, const FieldValue& value) const {
        const ValueCell cell = CellOf(value);
        if (cell.kind != ValueCell::Kind::Text)
            return cell.text;
        const std::string cutNote =
            value.cut ? " (cut short: the module did not end the text)" : "";
        if (lineWidth_ == 0 || field.type != QUILLET_FIELD_FULL_TEXT)
            return QuotedPlain(cell.text) + cutNote;
        // The last column stays free: a terminal that wraps there would add a line.
        const size_t start = Gap + nameWidth_ + Gap + TypeWidth + Gap;
        const size_t room = lineWidth_ > start + 1 ? lineWidth_ - start - 1 : 0;
        return OneLineText(cell.text, field.name, room) + cutNote;
    }

    size_t lineWidth_;
    size_t nameWidth_ = 0;
};

}  // namespace

std::unique_ptr<Report> MakeTableReport(const std::vector<FieldInfo>& table, size_t lineWidth) {
    return std::make_unique<TableReport>(table, lineWidth);
}

}  // namespace quillet::host
