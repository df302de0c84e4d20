#include "props/AppProperties.h"

namespace quillet {

void AppProperties::Load() {}

std::string ReadAppElement(const std::string&, const char*) {
    return std::string();
}
std::string ReadTitlesOfPartsSize(const std::string&) {
    return std::string();
}
int32_t ParseCount(const std::string&) {
    return -1;
}
bool ParseFlag(const std::string& text) {
    return text == "true";
}

}  // namespace quillet
