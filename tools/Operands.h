#pragma once

#include <string>
#include <vector>

#include "DetectExpression.h"
#include "FolderScan.h"

namespace quillet::host {

// Why an operand, or a folder within one, gives no document.
enum class OperandProblem {
    None,         // a document to read
    NoSuchFile,   // nothing of that name
    Unreadable,   // a folder that cannot be read
    CannotOpen,   // a file the system will not open
    NotDocument,  // a file the detection string does not choose, or a folder where a file is due
    NotReadable,  // a file that holds no package the module reads
    NoDocuments,  // a folder that holds no document: worth a note, not a failure
};

// A document to read, or a path that gives none with plain words for why.
struct Operand {
    std::string path;
    OperandProblem problem = OperandProblem::None;
    std::string words;
    std::string shownAs;  // what the user named, where that is not the path read

    const std::string& label() const { return shownAs.empty() ? path : shownAs; }
};

// How operands become documents.
struct OperandRules {
    ScanRules scan;
    bool foldersAllowed = true;  // false: a folder counts as not a document, unscanned
    // The file that holds what standard input ("-") delivered.
    std::string standardInputCopy;
};

// The documents the FILE and FOLDER operands stand for, and the problems met, in the order
// given: a file as it is when the detection string chooses it, standard input as its copy, a
// folder as the chosen files in it in path order, followed by the folders in it that cannot be
// read, or by a note when it gave none.
std::vector<Operand> CollectDocuments(const std::vector<std::string>& operands,
                                      const OperandRules& rules, const DetectExpression& detect);

// The document as the module is asked about it, or the problem of a file that holds none.
Operand InspectDocument(const Operand& document);

}  // namespace quillet::host
