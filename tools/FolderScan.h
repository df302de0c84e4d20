#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quillet::host {

// Whether a file found in a folder is one to take.
using FileChooser = std::function<bool(const std::string& path)>;
// Told about a folder that cannot be read, with the system's reason.
using FolderProblem = std::function<void(const std::string& folder, const std::string& reason)>;

// The files in a folder that `choose` takes (and, when `recursive`, in all its subfolders), in
// path order. Links to folders are not followed, so a scan always ends. A folder that cannot be
// read is told to `problem` and skipped.
std::vector<std::string> ScanFolder(const std::string& folder, bool recursive,
                                    const FileChooser& choose, const FolderProblem& problem);

}  // namespace quillet::host
