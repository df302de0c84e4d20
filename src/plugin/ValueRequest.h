#pragma once

#include <cstdint>

namespace quillet {

// One call of ContentGetValue: the value of one field of one file, written into the host's
// buffer. Answers the field's type or a ValueResult.
int32_t ValueRequest(const char* fileName, int32_t fieldIndex, int32_t unitIndex, void* fieldValue,
                     int32_t maxLen);

}  // namespace quillet
