// CSV after RFC 4180: one header row, one row per file, CRLF line ends.
#include "Report.h"
#include "ValueText.h"

namespace quillet::host {
namespace {

const char* const LineEnd = "\r\n";

// A field quoted when it holds a comma, a quote or a line break, with its quotes doubled.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string out = "\"";
    for (const char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string CsvRow(const std::vector<std::string>& fields) {
    std::string row;
    for (const std::string& field : fields)
        row += (row.empty() ? "" : ",") + CsvField(field);
    return row + LineEnd;
}

class CsvReport : public Report {
  public:
    using Report::Report;

    std::string Detect(const std::string& detectString) const override {
        return CsvRow({"detectString"}) + CsvRow({detectString});
    }

    std::string Table() const override {
        std::string out = CsvRow({"index", "name", "type", "typeCode", "units"});
        for (const FieldInfo& field : table_) {
            out += CsvRow({std::to_string(field.index), field.name, TypeName(field.type),
                           std::to_string(field.type), field.units});
        }
        return out;
    }

    std::string Header(const std::vector<const FieldInfo*>& fields) const override {
        std::vector<std::string> names = {"file"};
        for (const FieldInfo* field : fields)
            names.push_back(field->name);
        return CsvRow(names);
    }

    std::string File(const std::string& file,
                     const std::vector<FieldReport>& fields) const override {
        std::vector<std::string> cells = {file};
        // No value is an empty cell; a string that is empty looks the same.
        for (const FieldReport& report : fields) {
            const ValueCell cell = CellOf(report.value);
            cells.push_back(cell.kind == ValueCell::Kind::None ? std::string() : cell.text);
        }
        return CsvRow(cells);
    }
};

}  // namespace

std::unique_ptr<Report> MakeCsvReport(const std::vector<FieldInfo>& table) {
    return std::make_unique<CsvReport>(table);
}

}  // namespace quillet::host
