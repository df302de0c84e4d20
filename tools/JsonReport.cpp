// JSON Lines: one object per line for the detection string, the field table and each file.
#include "Report.h"
#include "ValueText.h"

namespace quillet::host {
namespace {

std::string JsonValue(const FieldValue& value) {
    const ValueCell cell = CellOf(value);
    switch (cell.kind) {
        case ValueCell::Kind::Literal:
            return cell.text;
        case ValueCell::Kind::Word:
        case ValueCell::Kind::Text:
            return QuotedJson(cell.text);
        case ValueCell::Kind::None:
            break;
    }
    return "null";
}

// The members of an object, each "name":value, joined by commas.
class JsonMembers {
  public:
    JsonMembers& Add(const char* name, const std::string& jsonValue) {
        text_ += (text_.empty() ? "\"" : ",\"") + std::string(name) + "\":" + jsonValue;
        return *this;
    }
    JsonMembers& AddText(const char* name, const std::string& text) {
        return Add(name, QuotedJson(text));
    }
    std::string Object() const { return "{" + text_ + "}"; }

  private:
    std::string text_;
};

class JsonReport : public Report {
  public:
    using Report::Report;

    std::string Detect(const std::string& detectString) const override {
        return JsonMembers().AddText("detectString", detectString).Object() + "\n";
    }

    std::string Table() const override {
        std::string rows;
        for (const FieldInfo& field : table_) {
            rows += (rows.empty() ? "" : ",") + JsonMembers()
                                                    .Add("index", std::to_string(field.index))
                                                    .AddText("name", field.name)
                                                    .AddText("type", TypeName(field.type))
                                                    .Add("typeCode", std::to_string(field.type))
                                                    .AddText("units", field.units)
                                                    .Object();
        }
        return JsonMembers().Add("fieldTable", "[" + rows + "]").Object() + "\n";
    }

    std::string File(const std::string& file,
                     const std::vector<FieldReport>& fields) const override {
        std::string values;
        for (const FieldReport& report : fields) {
            JsonMembers member;
            member.Add("index", std::to_string(report.field->index))
                .AddText("name", report.field->name)
                .AddText("type", TypeName(report.field->type))
                .Add("value", JsonValue(report.value));
            if (IsUnexpected(report.value))
                member.Add("answer", std::to_string(report.value.result));
            if (report.value.cut)
                member.Add("cut", "true");
            values += (values.empty() ? "" : ",") + member.Object();
        }
        return JsonMembers().AddText("file", file).Add("fields", "[" + values + "]").Object() +
               "\n";
    }

    std::string Problem(const std::string& file, const std::string& problem) const override {
        return JsonMembers().AddText("file", file).AddText("error", problem).Object() + "\n";
    }
};

}  // namespace

std::unique_ptr<Report> MakeJsonReport(const std::vector<FieldInfo>& table) {
    return std::make_unique<JsonReport>(table);
}

}  // namespace quillet::host
