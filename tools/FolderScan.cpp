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

bool IsHidden(const fs::path& path) {
    const fs::path::string_type name = path.filename().native();
    return !name.empty() && name.front() == '.';
}

// Reads one folder: its chosen files go to `contents`, its subfolders to `folders` when wanted.
void ReadFolder(const fs::path& folder, const ScanRules& rules, const FileChooser& choose,
                const FolderProblem& problem, FolderContents& contents,
                std::vector<fs::path>& folders) {
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const fs::directory_entry& entry = *entries;
        std::error_code kindError;
        if (!rules.hidden && IsHidden(entry.path())) {
            ++contents.hiddenPassed;
            continue;
        }
        if (entry.is_directory(kindError) && !entry.is_symlink(kindError)) {
            if (rules.recursive)
                folders.push_back(entry.path());
            else
                ++contents.subfoldersPassed;
            continue;
        }
        if (!entry.is_regular_file(kindError))
            continue;
        const std::string path = NarrowPath(entry.path());
        if (path.empty())
            problem(NarrowPath(folder), "a file name cannot be written in this character set");
        else if (choose(path))
            contents.files.push_back(path);
    }
    if (error)
        problem(NarrowPath(folder), error.message());
}

}  // namespace

FolderContents ScanFolder(const std::string& folder, const ScanRules& rules,
                          const FileChooser& choose, const FolderProblem& problem) {
    FolderContents contents;
    // A worklist rather than recursion: folders may nest deeper than the stack would allow.
    std::vector<fs::path> folders = {fs::path(folder)};
    while (!folders.empty()) {
        const fs::path next = std::move(folders.back());
        folders.pop_back();
        ReadFolder(next, rules, choose, problem, contents, folders);
    }
    std::sort(contents.files.begin(), contents.files.end());
    return contents;
}

}  // namespace quillet::host
