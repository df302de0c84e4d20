#pragma once

#include <cstdint>
#include <string>

namespace quillet {

class ZipArchive;

// No archive without 64-bit extensions holds more members than this, so no larger count of
// sheets or slides can name parts that exist.
constexpr int32_t MaxNumberedParts = 65535;

// "xl/worksheets/sheet" and 3 give "xl/worksheets/sheet3.xml".
std::string NumberedPartName(const char* prefix, int32_t number);

// How many numbered parts to read: the count the extended properties declare (bounded), or,
// when they declare none, the number of consecutive parts 1, 2, ... that the package holds.
int32_t NumberedPartCount(ZipArchive& archive, int32_t declaredCount, const char* prefix);

}  // namespace quillet
