#pragma once

#include <string>
#include <vector>

#include "ModuleClient.h"

namespace quillet::host {

// The field a user names by index or by name, the name without regard to ASCII letter case;
// null when there is none.
const FieldInfo* FindField(const std::vector<FieldInfo>& table, const std::string& wanted);

// The full-text field of this exact name, or null.
const FieldInfo* FindFullTextField(const std::vector<FieldInfo>& table, const std::string& name);

// The field name nearest to `wanted` in edit distance (letter case ignored); empty for an empty
// table.
std::string NearestFieldName(const std::vector<FieldInfo>& table, const std::string& wanted);

}  // namespace quillet::host
