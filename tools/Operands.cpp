#include "Operands.h"

#include <filesystem>
#include <system_error>

#include "FolderScan.h"

namespace quillet::host {

std::vector<Operand> CollectDocuments(const std::vector<std::string>& operands, bool recursive,
                                      bool foldersAllowed, const DetectExpression& detect) {
    const auto chosen = [&detect](const std::string& path) { return detect.Chooses(path); };
    std::vector<Operand> found;
    for (const std::string& operand : operands) {
        std::error_code error;
        const std::filesystem::file_status status = std::filesystem::status(operand, error);
        if (status.type() == std::filesystem::file_type::not_found) {
            found.push_back({operand, OperandProblem::NoSuchFile, "no such file"});
        } else if (error) {
            found.push_back(
                {operand, OperandProblem::Unreadable, "cannot read: " + error.message()});
        } else if (!std::filesystem::is_directory(status)) {
            if (chosen(operand))
                found.push_back({operand, OperandProblem::None, std::string()});
            else
                found.push_back(
                    {operand, OperandProblem::NotDocument, "not a document the module reads"});
        } else if (!foldersAllowed) {
            found.push_back({operand, OperandProblem::NotDocument, "a folder, not a document"});
        } else {
            std::vector<Operand> unreadable;
            const auto problem = [&unreadable](const std::string& folder,
                                               const std::string& reason) {
                unreadable.push_back(
                    {folder, OperandProblem::Unreadable, "cannot read this folder: " + reason});
            };
            for (std::string& path : ScanFolder(operand, recursive, chosen, problem))
                found.push_back({std::move(path), OperandProblem::None, std::string()});
            found.insert(found.end(), unreadable.begin(), unreadable.end());
        }
    }
    return found;
}

}  // namespace quillet::host
