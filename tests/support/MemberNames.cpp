#include "support/MemberNames.h"

#include <cstdint>

namespace quillet::test {
namespace {

uint32_t Le(const std::string& bytes, size_t at, int width) {
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

}  // namespace

std::vector<std::string> MemberNames(const std::string& package) {
    std::vector<std::string> names;
    const size_t endRecord = package.rfind("PK\x05\x06");
    if (endRecord == std::string::npos || endRecord + 22 > package.size())
        return names;
    const uint32_t count = Le(package, endRecord + 10, 2);
    size_t at = Le(package, endRecord + 16, 4);
    for (uint32_t i = 0; i < count && at + 46 <= package.size(); ++i) {
        if (package.compare(at, 4, "PK\x01\x02") != 0)
            break;
        const uint32_t nameLength = Le(package, at + 28, 2);
        const uint32_t rest = nameLength + Le(package, at + 30, 2) + Le(package, at + 32, 2);
        names.push_back(package.substr(at + 46, nameLength));
        at += 46 + rest;
    }
    return names;
}

}  // namespace quillet::test
