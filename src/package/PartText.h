#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "package/ZipArchive.h"

namespace quillet {

// Upper bound on one part's uncompressed size; a larger part is treated as unreadable, since its
// XML tree would cost the host gigabytes.
constexpr uint32_t MaxPartSize = 64u * 1024 * 1024;

// Sees each piece of a part's text as it is read; false refuses the part at once.
using PartFilter = std::function<bool(std::string_view piece)>;

// The text of one part: found by name with ASCII letter case ignored, read whole (at most its
// size, bounded by what its data can deliver), cut before its first NUL byte. The request's
// budget pays that size whatever is read. A filter, when given, sees the text piece by piece and
// can refuse it before it is read whole. Answers nullopt when the member cannot be opened or is
// empty, declares more than MaxPartSize, its size would overdraw the request's budget, the
// buffer cannot be allocated, its data cannot be read whole, the request inflated far more than
// its package holds, or the filter refuses it.
std::optional<std::string> ReadPartText(ZipArchive& archive, const char* partName,
                                        const PartFilter& keep = nullptr);

}  // namespace quillet
