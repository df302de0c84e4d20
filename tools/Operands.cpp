#include "Operands.h"

#include <filesystem>
#include <system_error>

#include "HostOptions.h"
#include "PackageCheck.h"

namespace quillet::host {
namespace {

// Why a folder gave no document, with the rule that passed over what might hold some.
std::string NoDocumentsWords(const FolderContents& contents) {
    std::string words = "no document the module reads in this folder";
    if (contents.subfoldersPassed > 0)
        words += "; -r reads its " + std::to_string(contents.subfoldersPassed) + " subfolder" +
                 (contents.subfoldersPassed == 1 ? "" : "s");
    if (contents.hiddenPassed > 0)
        words += "; --hidden reads its " + std::to_string(contents.hiddenPassed) + " hidden " +
                 (contents.hiddenPassed == 1 ? "entry" : "entries");
    return words;
}

void AddFolder(const std::string& folder, const OperandRules& rules, const DetectExpression& detect,
               std::vector<Operand>& found) {
    std::vector<Operand> unreadable;
    const auto problem = [&unreadable](const std::string& path, const std::string& reason) {
        unreadable.push_back(
            {path, OperandProblem::Unreadable, "cannot read this folder: " + reason, {}});
    };
    const auto chosen = [&detect](const std::string& path) { return detect.Chooses(path); };
    FolderContents contents = ScanFolder(folder, rules.scan, chosen, problem);
    for (std::string& path : contents.files)
        found.push_back({std::move(path), OperandProblem::None, {}, {}});
    found.insert(found.end(), unreadable.begin(), unreadable.end());
    if (contents.files.empty() && unreadable.empty())
        found.push_back({folder, OperandProblem::NoDocuments, NoDocumentsWords(contents), {}});
}

}  // namespace

std::vector<Operand> CollectDocuments(const std::vector<std::string>& operands,
                                      const OperandRules& rules, const DetectExpression& detect) {
    std::vector<Operand> found;
    for (const std::string& operand : operands) {
        if (operand == StandardInputOperand) {
            // Named by its content, not by an extension: the package check tells what it is.
            found.push_back({rules.standardInputCopy, OperandProblem::None, {}, operand});
            continue;
        }
        std::error_code error;
        const std::filesystem::file_status status = std::filesystem::status(operand, error);
        if (status.type() == std::filesystem::file_type::not_found)
            found.push_back({operand, OperandProblem::NoSuchFile, "no such file", {}});
        else if (error)
            found.push_back(
                {operand, OperandProblem::Unreadable, "cannot read: " + error.message(), {}});
        else if (!std::filesystem::is_directory(status))
            found.push_back(detect.Chooses(operand) ? Operand{operand, OperandProblem::None, {}, {}}
                                                    : Operand{operand,
                                                              OperandProblem::NotDocument,
                                                              "not a document the module reads",
                                                              {}});
        else if (!rules.foldersAllowed)
            found.push_back({operand, OperandProblem::NotDocument, "a folder, not a document", {}});
        else
            AddFolder(operand, rules, detect, found);
    }
    return found;
}

Operand InspectDocument(const Operand& document) {
    Operand inspected = document;
    switch (InspectPackage(document.path)) {
        case PackageKind::CannotOpen:
            inspected.problem = OperandProblem::CannotOpen;
            inspected.words = "cannot be opened";
            break;
        case PackageKind::NotReadable:
            inspected.problem = OperandProblem::NotReadable;
            inspected.words = "not a readable package";
            break;
        default:
            break;
    }
    return inspected;
}

}  // namespace quillet::host
