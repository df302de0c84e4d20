#include "Report.h"

#include <algorithm>

#include "ValueText.h"

namespace quillet::host {
namespace {

std::string Padded(const std::string& text, size_t width) {
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}

// A value the module answered that is not one of the forms it may answer.
bool IsUnexpected(const FieldValue& value) {
    switch (value.result) {
        case QUILLET_FIELD_NUMERIC32:
        case QUILLET_FIELD_TIME:
        case QUILLET_FIELD_BOOLEAN:
        case QUILLET_FIELD_STRING:
        case QUILLET_FIELD_FULL_TEXT:
        case QUILLET_FIELD_DATE_TIME:
        case QUILLET_FIELD_EMPTY:
            return false;
        default:
            return true;
    }
}

}  // namespace

std::string PlainValue(const FieldValue& value) {
    switch (value.result) {
        case QUILLET_FIELD_NUMERIC32:
            return std::to_string(value.number);
        case QUILLET_FIELD_BOOLEAN:
            return value.number != 0 ? "true" : "false";
        case QUILLET_FIELD_TIME:
            return TimeText(value.time[0], value.time[1], value.time[2]);
        case QUILLET_FIELD_STRING:
            return QuotedPlain(value.text);
        case QUILLET_FIELD_FULL_TEXT:
            return QuotedPlain(value.text) +
                   (value.cut ? " (cut short: the module did not end the text)" : "");
        case QUILLET_FIELD_DATE_TIME:
            return FileTimeToIso(value.fileTime);
        case QUILLET_FIELD_EMPTY:
            return "(empty)";
        case QUILLET_NO_SUCH_FIELD:
            return "(no such field)";
        case QUILLET_FILE_ERROR:
            return "(file not found)";
        default:
            return "(unexpected answer " + std::to_string(value.result) + ")";
    }
}

std::string JsonValue(const FieldValue& value) {
    switch (value.result) {
        case QUILLET_FIELD_NUMERIC32:
            return std::to_string(value.number);
        case QUILLET_FIELD_BOOLEAN:
            return value.number != 0 ? "true" : "false";
        case QUILLET_FIELD_TIME:
            return QuotedJson(TimeText(value.time[0], value.time[1], value.time[2]));
        case QUILLET_FIELD_STRING:
        case QUILLET_FIELD_FULL_TEXT:
            return QuotedJson(value.text);
        case QUILLET_FIELD_DATE_TIME:
            return QuotedJson(FileTimeToIso(value.fileTime));
        default:
            return "null";
    }
}

Report::Report(bool json, const std::vector<FieldInfo>& table) : json_(json), table_(table) {
    for (const FieldInfo& field : table_)
        nameWidth_ = std::max(nameWidth_, field.name.size());
}

std::string Report::Detect(const std::string& detectString) const {
    if (json_)
        return "{\"detectString\":" + QuotedJson(detectString) + "}\n";
    return detectString + "\n";
}

std::string Report::Table() const {
    std::string out;
    if (json_) {
        out = "{\"fieldTable\":[";
        for (const FieldInfo& field : table_) {
            out += (field.index > 0 ? "," : "");
            out += "{\"index\":" + std::to_string(field.index) +
                   ",\"name\":" + QuotedJson(field.name) +
                   ",\"type\":" + QuotedJson(TypeName(field.type)) +
                   ",\"typeCode\":" + std::to_string(field.type) +
                   ",\"units\":" + QuotedJson(field.units) + "}";
        }
        return out + "]}\n";
    }
    const size_t indexWidth = std::to_string(table_.empty() ? 0 : table_.back().index).size();
    for (const FieldInfo& field : table_) {
        const std::string index = std::to_string(field.index);
        out += std::string(indexWidth - std::min(indexWidth, index.size()), ' ') + index + "  " +
               Padded(field.name, nameWidth_) + "  " + Padded(TypeName(field.type), 8) + " (" +
               std::to_string(field.type) + ")";
        if (!field.units.empty())
            out += "  units: " + field.units;
        out += "\n";
    }
    return out;
}

std::string Report::File(const std::string& file, const std::vector<FieldReport>& fields) const {
    std::string out;
    if (json_) {
        out = "{\"file\":" + QuotedJson(file) + ",\"fields\":[";
        bool first = true;
        for (const FieldReport& report : fields) {
            out += first ? "" : ",";
            first = false;
            out += "{\"index\":" + std::to_string(report.field->index) +
                   ",\"name\":" + QuotedJson(report.field->name) +
                   ",\"type\":" + QuotedJson(TypeName(report.field->type)) +
                   ",\"value\":" + JsonValue(report.value);
            if (IsUnexpected(report.value))
                out += ",\"answer\":" + std::to_string(report.value.result);
            if (report.value.cut)
                out += ",\"cut\":true";
            out += "}";
        }
        return out + "]}\n";
    }
    out = file + "\n";
    for (const FieldReport& report : fields) {
        out += "  " + Padded(report.field->name, nameWidth_) + "  " +
               Padded(TypeName(report.field->type), 8) + "  " + PlainValue(report.value) + "\n";
    }
    return out;
}

std::string Report::MissingFile(const std::string& file) const {
    if (json_)
        return "{\"file\":" + QuotedJson(file) + ",\"error\":\"file not found\"}\n";
    return std::string();
}

}  // namespace quillet::host
