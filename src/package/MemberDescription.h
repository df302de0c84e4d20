#pragma once

#include <cstddef>
#include <cstdint>

#include "package/ZipTypes.h"

// How a member's central and local headers turn into the fields of its ZipEntry.
namespace quillet::zip {

// Windows file attributes from the external attributes: the MS-DOS bits in the low byte and a
// Unix mode in the high half. An entry without a Unix mode counts as read-only.
uint32_t MapExternalAttributes(uint32_t externalAttributes);

// All three times from the MS-DOS date (high half) and time (low half), local wall-clock time
// taken as it is; a date or time that is not valid gives zero times.
void SetDosTimes(uint32_t dosDateTime, ZipEntry& entry);

// Replaces times with those of the extended timestamp block ("UT") of a local extra field, when
// there is one. A negative Unix time leaves its time as it was.
void ApplyExtendedTimestamp(const unsigned char* extra, size_t length, ZipEntry& entry);

}  // namespace quillet::zip
