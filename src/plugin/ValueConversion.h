#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Time.h"

namespace quillet {

// Each conversion writes one record value into the host's value buffer of `maxLen` bytes in the
// form of its field type and answers that type, or FieldEmpty when there is no value. A buffer
// smaller than a fixed-size form (4, 6 or 8 bytes) gets nothing written and FieldEmpty: the
// host's buffer is never overrun.
int32_t ConvertText(std::string_view text, void* fieldValue, int32_t maxLen);
// The UTF-16 string form of well-formed UTF-8: at most maxLen / 2 - 1 units, never half a
// surrogate pair; only what the buffer takes is converted.
int32_t ConvertTextW(std::string_view utf8, void* fieldValue, int32_t maxLen);
int32_t ConvertCount(int32_t count, void* fieldValue, int32_t maxLen);
int32_t ConvertFlag(bool flag, void* fieldValue, int32_t maxLen);
int32_t ConvertMinutesToTime(int32_t minutes, void* fieldValue, int32_t maxLen);
int32_t ConvertDateTime(const std::string& text, void* fieldValue, int32_t maxLen);

// The UTC file time of a W3C date-time "YYYY-MM-DDThh:mm:ss[.fraction][Z|+hh:mm|-hh:mm]", or
// nothing when the text does not hold six numbers forming a valid time.
std::optional<platform::FileTime> ParseDateTime(const std::string& text);

}  // namespace quillet
