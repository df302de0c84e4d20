#include "FolderScan.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>

namespace quillet::host {
namespace {

namespace fs = std::filesystem;

// The entry's path as the module takes it; empty when the name cannot be put in the narrow
// character set.
std::string NarrowPath(const fs::path& path) {
    try {
        return path.string();
    } catch (const std::exception&) {
        return std::string();
    }
}

// Reads one folder: its chosen files go to `files`, its subfolders to `folders` when wanted.
void ReadFolder(const fs::path& folder, bool recursive, const FileChooser& choose,
                const FolderProblem& problem, std::vector<std::string>& files,
                std::vector<fs::path>& folders) {
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const fs::directory_entry& entry = *entries;
        std::error_code kindError;
        if (recursive && entry.is_directory(kindError) && !entry.is_symlink(kindError)) {
            folders.push_back(entry.path());
            continue;
        }
        if (!entry.is_regular_file(kindError))
            continue;
        const std::string path = NarrowPath(entry.path());
        if (path.empty())
            problem(NarrowPath(folder), "a file name cannot be written in this character set");
        else if (choose(path))
            files.push_back(path);
    }
    if (error)
        problem(NarrowPath(folder), error.message());
}

}  // namespace

std::vector<std::string> ScanFolder(const std::string& folder, bool recursive,
                                    const FileChooser& choose, const FolderProblem& problem) {
    std::vector<std::string> files;
    // A worklist rather than recursion: folders may nest deeper than the stack would allow.
    std::vector<fs::path> folders = {fs::path(folder)};
    while (!folders.empty()) {
        const fs::path next = std::move(folders.back());
        folders.pop_back();
        ReadFolder(next, recursive, choose, problem, files, folders);
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace quillet::host
