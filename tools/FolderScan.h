#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace quillet::host {

// Whether a file found in a folder is one to take.
using FileChooser = std::function<bool(const std::string& path)>;
// Told about a folder that cannot be read, with the system's reason.
using FolderProblem = std::function<void(const std::string& folder, const std::string& reason)>;

// Which entries of a folder a scan enters.
struct ScanRules {
    bool recursive = false;  // subfolders too
    bool hidden = false;     // entries whose names start with a dot too, as ripgrep's --hidden
};

// What a scan found, and what it passed over by its rules.
struct FolderContents {
    std::vector<std::string> files;  // in path order
    size_t hiddenPassed = 0;
    size_t subfoldersPassed = 0;
};

// The files in a folder that `choose` takes (and, by the rules, in its subfolders). Links to
// folders are not followed, so a scan always ends. A folder that cannot be read is told to
// `problem` and skipped.
FolderContents ScanFolder(const std::string& folder, const ScanRules& rules,
                          const FileChooser& choose, const FolderProblem& problem);

}  // namespace quillet::host
