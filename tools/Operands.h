#pragma once

#include <string>
#include <vector>

#include "DetectExpression.h"

namespace quillet::host {

// Why an operand, or a folder within one, gives no document.
enum class OperandProblem {
    None,         // a document to read
    NoSuchFile,   // nothing of that name
    Unreadable,   // a folder that cannot be read
    NotDocument,  // a file the detection string does not choose, or a folder where a file is due
};

// A document to read, or a path that gives none with plain words for why.
struct Operand {
    std::string path;
    OperandProblem problem = OperandProblem::None;
    std::string words;
};

// The documents the FILE and FOLDER operands stand for, and the problems met, in the order
// given: a file as it is when the detection string chooses it, a folder as the chosen files in
// it (and, when `recursive`, in its subfolders) in path order, followed by the folders in it
// that cannot be read. With `foldersAllowed` false a folder is not scanned and counts as not a
// document.
std::vector<Operand> CollectDocuments(const std::vector<std::string>& operands, bool recursive,
                                      bool foldersAllowed, const DetectExpression& detect);

}  // namespace quillet::host
