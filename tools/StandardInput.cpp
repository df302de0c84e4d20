#include "StandardInput.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#define QUILLET_PROCESS_ID ::_getpid
#else
#include <unistd.h>
#define QUILLET_PROCESS_ID ::getpid
#endif

#include "PackageCheck.h"

namespace quillet::host {
namespace {

namespace fs = std::filesystem;

// A new folder, readable by its owner only, in the temporary folder; empty when none can be made.
fs::path NewPrivateFolder(std::error_code& error) {
    const fs::path temporary = fs::temp_directory_path(error);
    if (error)
        return fs::path();
    const std::string stem = "quillet-host-" + std::to_string(QUILLET_PROCESS_ID()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = temporary / (stem + std::to_string(attempt));
        if (fs::create_directory(folder, error)) {
            fs::permissions(folder, fs::perms::owner_all, error);
            return folder;
        }
    }
    if (!error)
        error = std::make_error_code(std::errc::file_exists);
    return fs::path();
}

bool CopyStandardInput(const fs::path& path) {
#ifdef _WIN32
    ::_setmode(::_fileno(stdin), _O_BINARY);
#endif
    std::ofstream out(path, std::ios::binary);
    char chunk[64 * 1024];
    size_t count = 0;
    while (out && (count = std::fread(chunk, 1, sizeof chunk, stdin)) > 0)
        out.write(chunk, static_cast<std::streamsize>(count));
    return out && !std::ferror(stdin);
}

}  // namespace

StandardInputCopy::~StandardInputCopy() {
    std::error_code error;
    if (!folder_.empty())
        fs::remove_all(folder_, error);
}

bool StandardInputCopy::Take(std::string& error) {
    std::error_code system;
    const fs::path folder = NewPrivateFolder(system);
    if (folder.empty()) {
        error = "standard input: cannot make a temporary folder: " + system.message();
        return false;
    }
    folder_ = folder.string();
    const fs::path copy = folder / "stdin";
    if (!CopyStandardInput(copy)) {
        error = "standard input: cannot be read into " + copy.string();
        return false;
    }
    const PackageKind kind = InspectPackage(copy.string());
    const fs::path named = folder / ("stdin." + ExtensionOf(kind));
    fs::rename(copy, named, system);
    path_ = (system ? copy : named).string();
    return true;
}

}  // namespace quillet::host
