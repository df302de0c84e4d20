// The plain output: aligned columns for a reader, each value on one line.
#include <algorithm>

#include "Report.h"
#include "ValueText.h"

namespace quillet::host {
namespace {

std::string Padded(const std::string& text, size_t width) {
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}

std::string PlainValue(const FieldValue& value) {
    const ValueCell cell = CellOf(value);
    if (cell.kind != ValueCell::Kind::Text)
        return cell.text;
    return QuotedPlain(cell.text) +
           (value.cut ? " (cut short: the module did not end the text)" : "");
}

class TableReport : public Report {
  public:
    explicit TableReport(const std::vector<FieldInfo>& table) : Report(table) {
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
                   "  " + Padded(field.name, nameWidth_) + "  " + Padded(TypeName(field.type), 8) +
                   " (" + std::to_string(field.type) + ")";
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
                   Padded(TypeName(report.field->type), 8) + "  " + PlainValue(report.value) + "\n";
        }
        return out;
    }

  private:
    size_t nameWidth_ = 0;
};

}  // namespace

std::unique_ptr<Report> MakeTableReport(const std::vector<FieldInfo>& table) {
    return std::make_unique<TableReport>(table);
}

}  // namespace quillet::host
