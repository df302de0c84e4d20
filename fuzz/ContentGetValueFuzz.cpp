// ContentGetValue over an arbitrary file, as a host asks it: every field, full texts paged to
// their end and closed.
#include <cstdint>
#include <string>
#include <vector>

#include <quillet/content_plugin.h>

#include "FuzzSupport.h"

namespace {

constexpr int FieldCount = QUILLET_FIELD_COUNT;
constexpr int FullTextType = QUILLET_FIELD_FULL_TEXT;
constexpr int FieldEmptyResult = QUILLET_FIELD_EMPTY;
// Pages of this size, at most this many, keep one input's cost bounded while still paging.
constexpr int PageSize = 16384;
constexpr int MostPages = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const quillet::fuzz::InputFile file("content_get_value");
    const std::string& path = file.Write(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<char> buffer(PageSize);
    for (int field = 0; field < FieldCount; ++field) {
        const int type = ContentGetValue(path.c_str(), field, 0, buffer.data(), PageSize, 0);
        if (type != FullTextType)
            continue;
        for (int unit = 1; unit < MostPages; ++unit) {
            if (ContentGetValue(path.c_str(), field, unit, buffer.data(), PageSize, 0) ==
                FieldEmptyResult)
                break;
        }
        (void)ContentGetValue(path.c_str(), field, -1, buffer.data(), PageSize, 0);
    }
    // A field index outside the table, and a buffer too small to hold anything.
    (void)ContentGetValue(path.c_str(), FieldCount, 0, buffer.data(), PageSize, 0);
    (void)ContentGetValue(path.c_str(), 14, 0, buffer.data(), 1, 0);
    return 0;
}
