#include "props/CoreProperties.h"

namespace quillet {

void CoreProperties::Load() {}

std::string ReadCoreElement(const std::string&, const char*) {
    return std::string();
}

}  // namespace quillet
