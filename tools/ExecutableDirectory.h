#pragma once

#include <string>

namespace quillet::host {

// The folder of the running executable, found from the system or else from argv[0].
std::string ExecutableDirectory(const char* argv0);

}  // namespace quillet::host
