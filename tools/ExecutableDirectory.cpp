#include "ExecutableDirectory.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillet::host {
namespace {

// The path the system keeps for the running executable, or empty.
std::filesystem::path SystemExecutablePath() {
#ifdef _WIN32
    char path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::filesystem::path(path) : std::filesystem::path();
#else
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
#endif
}

}  // namespace

std::string ExecutableDirectory(const char* argv0) {
    std::filesystem::path path = SystemExecutablePath();
    if (path.empty() && argv0 != nullptr) {
        std::error_code error;
        path = std::filesystem::absolute(argv0, error);
    }
    return path.parent_path().string();
}

std::vector<std::string> ModuleCandidates(const std::string& executableDirectory,
                                          const std::string& moduleName) {
    const std::filesystem::path folder(executableDirectory);
    return {(folder / moduleName).string(),
            (folder / ".." / "lib" / "quillet" / moduleName).lexically_normal().string()};
}

}  // namespace quillet::host
