#include "Report.h"

#include "ValueText.h"

namespace quillet::host {

ValueCell CellOf(const FieldValue& value) {
    using Kind = ValueCell::Kind;
    switch (value.result) {
        case QUILLET_FIELD_NUMERIC32:
            return {Kind::Literal, std::to_string(value.number)};
        case QUILLET_FIELD_BOOLEAN:
            return {Kind::Literal, value.number != 0 ? "true" : "false"};
        case QUILLET_FIELD_TIME:
            return {Kind::Word, TimeText(value.time[0], value.time[1], value.time[2])};
        case QUILLET_FIELD_DATE_TIME:
            return {Kind::Word, FileTimeToIso(value.fileTime)};
        case QUILLET_FIELD_STRING:
        case QUILLET_FIELD_FULL_TEXT:
            return {Kind::Text, value.text};
        case QUILLET_FIELD_EMPTY:
            return {Kind::None, "(empty)"};
        case QUILLET_NO_SUCH_FIELD:
            return {Kind::None, "(no such field)"};
        case QUILLET_FILE_ERROR:
            return {Kind::None, "(file not found)"};
        default:
            return {Kind::None, "(unexpected answer " + std::to_string(value.result) + ")"};
    }
}

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

std::unique_ptr<Report> MakeReport(OutputForm form, const std::vector<FieldInfo>& table,
                                   size_t lineWidth) {
    switch (form) {
        case OutputForm::Csv:
            return MakeCsvReport(table);
        case OutputForm::Json:
            return MakeJsonReport(table);
        case OutputForm::Table:
            break;
    }
    return MakeTableReport(table, lineWidth);
}

}  // namespace quillet::host
