#include "FieldLookup.h"

#include <algorithm>

namespace quillet::host {
namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

// Levenshtein distance with letter case ignored, in one row of memory.
size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j < row.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            const size_t substitution =
                diagonal + (LowerAscii(a[i - 1]) == LowerAscii(b[j - 1]) ? 0 : 1);
            row[j] = std::min({above + 1, row[j - 1] + 1, substitution});
            diagonal = above;
        }
    }
    return row.back();
}

bool IsIndex(const std::string& text) {
    return !text.empty() && text.size() < 10 &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

const FieldInfo* FindField(const std::vector<FieldInfo>& table, const std::string& wanted) {
    const auto found = std::find_if(table.begin(), table.end(), [&wanted](const FieldInfo& field) {
        return IsIndex(wanted) ? field.index == std::stoi(wanted)
                               : SameIgnoringCase(field.name, wanted);
    });
    return found == table.end() ? nullptr : &*found;
}

const FieldInfo* FindFullTextField(const std::vector<FieldInfo>& table, const std::string& name) {
    const auto found = std::find_if(table.begin(), table.end(), [&name](const FieldInfo& field) {
        return field.name == name && field.type == QUILLET_FIELD_FULL_TEXT;
    });
    return found == table.end() ? nullptr : &*found;
}

std::string NearestFieldName(const std::vector<FieldInfo>& table, const std::string& wanted) {
    const auto nearest = std::min_element(
        table.begin(), table.end(), [&wanted](const FieldInfo& a, const FieldInfo& b) {
            return EditDistance(a.name, wanted) < EditDistance(b.name, wanted);
        });
    return nearest == table.end() ? std::string() : nearest->name;
}

}  // namespace quillet::host
