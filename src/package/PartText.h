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

// The text of one part: found by name with ASCII letter case ignored, extracted whole (at most
// its size, capped: stored members by their compressed size, deflated by 1032 x compressed
// size), cut before its first NUL byte. A filter, when given, sees the text piece by piece and
// can refuse it before it is read whole. Answers nullopt when the part is missing, its
// entry cannot be described, it declares 2 GiB or more or more than MaxPartSize, its size would
// overdraw the request's budget, the buffer cannot be allocated, or the extraction does not
// answer ZipBufferFilled, or the filter refuses it.
std::optional<std::string> ReadPartText(ZipArchive& archive, const char* partName,
                                        const PartFilter& keep = nullptr);

// True when FindMember of the name answers ZipOk.
bool HasMember(ZipArchive& archive, const char* name);

}  // namespace quillet
