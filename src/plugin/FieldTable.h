#pragma once

#include <array>
#include <cstdint>

#include <quillet/content_plugin.h>

#include "props/FieldRows.h"

namespace quillet {

// The host's type codes for a field's value.
enum FieldType : int32_t {
    FieldNumeric32 = QUILLET_FIELD_NUMERIC32,
    FieldTime = QUILLET_FIELD_TIME,
    FieldBoolean = QUILLET_FIELD_BOOLEAN,
    FieldString = QUILLET_FIELD_STRING,
    FieldFullText = QUILLET_FIELD_FULL_TEXT,
    FieldDateTime = QUILLET_FIELD_DATE_TIME,
    FieldStringW = QUILLET_FIELD_STRING_W,
    FieldFullTextW = QUILLET_FIELD_FULL_TEXT_W,
};

// Answers of the entry points besides a FieldType.
enum ValueResult : int32_t {
    NoMoreFields = QUILLET_NO_MORE_FIELDS,
    NoSuchField = QUILLET_NO_SUCH_FIELD,
    FileError = QUILLET_FILE_ERROR,
    FieldEmpty = QUILLET_FIELD_EMPTY,
};

struct FieldDescriptor {
    const char* name;
    int32_t type;
    const char* units;
};

namespace detail {
constexpr std::array<FieldDescriptor, FieldCount> DescribeFields() {
    std::array<FieldDescriptor, FieldCount> table{};
    for (int32_t i = 0; i < FieldCount; ++i) {
        table[static_cast<size_t>(i)] = {FieldRows[i].name, FieldRows[i].type, ""};
    }
    return table;
}
}  // namespace detail

// The fields as the host enumerates them, read off the field rows.
inline constexpr std::array<FieldDescriptor, FieldCount> FieldTable = detail::DescribeFields();

// The expression over file extensions that tells the host which files to hand over.
extern const char* const DetectionExpression;

}  // namespace quillet
