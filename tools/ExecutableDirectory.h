#pragma once

#include <string>
#include <vector>

namespace quillet::host {

// The folder of the running executable, found from the system or else from argv[0].
std::string ExecutableDirectory(const char* argv0);

// Where the host looks for its module when none is given, in order: beside the executable, then
// in ../lib/quillet/ from the executable's folder (where the Linux package installs it).
std::vector<std::string> ModuleCandidates(const std::string& executableDirectory,
                                          const std::string& moduleName);

}  // namespace quillet::host
