#include "text/NumberedParts.h"

#include "package/ZipArchive.h"

namespace quillet {

std::string NumberedPartName(const char* prefix, int32_t number) {
    return prefix + std::to_string(number) + ".xml";
}

int32_t NumberedPartCount(ZipArchive& archive, int32_t declaredCount, const char* prefix) {
    if (declaredCount >= 1) {
        return declaredCount < MaxNumberedParts ? declaredCount : MaxNumberedParts;
    }
    int32_t present = 0;
    while (present < MaxNumberedParts && archive.HasMember(NumberedPartName(prefix, present + 1))) {
        ++present;
    }
    return present;
}

}  // namespace quillet
