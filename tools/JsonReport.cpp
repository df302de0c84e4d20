// JSON Lines: one object per line for the detection string, the field table and each file.
#include <algorithm>
#include <cstdint>

#include "Report.h"
#include "ValueText.h"
#include "platform/Unicode.h"

namespace quillet::host {
namespace {

// RFC 4648 base64, with padding.
std::string Base64(const std::string& bytes) {
    static const char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t group = 0;
        for (size_t j = 0; j < 3; ++j)
            group =
                group << 8 | (i + j < bytes.size() ? static_cast<unsigned char>(bytes[i + j]) : 0u);
        const size_t digits = std::min<size_t>(bytes.size() - i, 3) + 1;
        for (size_t j = 0; j < 4; ++j)
            out += j < digits ? Digits[(group >> (18 - 6 * j)) & 0x3F] : '=';
    }
    return out;
}

// The members of an object, each "name":value, joined by commas.
class JsonMembers {
  public:
    JsonMembers& Add(const std::string& name, const std::string& jsonValue) {
        text_ += (text_.empty() ? "\"" : ",\"") + name + "\":" + jsonValue;
        return *this;
    }
    // A text that is not UTF-8 (a file name on Linux, a text in a single-byte code page) is
    // written with U+FFFD for each byte sequence that is not, and its exact bytes follow in
    // base64 as "<name>Bytes", as ripgrep writes such texts as "bytes".
    JsonMembers& AddText(const std::string& name, const std::string& text) {
        const std::string wellFormed = platform::WellFormedUtf8(text);
        Add(name, QuotedJson(wellFormed));
        if (wellFormed != text)
            Add(name + "Bytes", "\"" + Base64(text) + "\"");
        return *this;
    }
    // A field's value in the JSON type of its kind.
    JsonMembers& AddValue(const FieldValue& value) {
        const ValueCell cell = CellOf(value);
        switch (cell.kind) {
            case ValueCell::Kind::Literal:
                return Add("value", cell.text);
            case ValueCell::Kind::Word:
            case ValueCell::Kind::Text:
                return AddText("value", cell.text);
            case ValueCell::Kind::None:
                break;
        }
        return Add("value", "null");
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
                .AddValue(report.value);
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
