#include "Session.h"

#include "TextSearch.h"

namespace quillet::host {

void Session::ReportFields(const std::vector<Operand>& documents,
                           const std::vector<const FieldInfo*>& chosen) {
    Out(report_.Header(chosen));
    ForEach(documents, [this, &chosen](const Operand& document) {
        std::vector<FieldReport> fields;
        for (const FieldInfo* field : chosen) {
            fields.push_back({field, module_.Value(document.path, *field, options_.buffer)});
            if (fields.back().value.result == QUILLET_FILE_ERROR)
                return Gone(document);
        }
        Out(report_.File(document.label(), fields));
    });
}

void Session::Search(const std::vector<Operand>& documents,
                     const std::vector<const FieldInfo*>& fields) {
    TextSearch search(options_.grep, options_.ignoreCase);
    searched_ = true;
    ForEach(documents, [this, &fields, &search](const Operand& document) {
        for (const FieldInfo* field : fields) {
            search.Reset();
            // Reading stops, and the end call is made, with the piece that completes a match.
            const TransferResult transfer = module_.PageFullText(
                document.path, field->index, options_.buffer,
                [&search](std::string_view piece) { return !search.Feed(piece); });
            if (transfer.result == QUILLET_FILE_ERROR)
                return Gone(document);
            if (transfer.stopped || search.Finish()) {
                matched_ = true;
                return Out(document.label() + "\n");
            }
        }
    });
}

void Session::PrintRaw(const std::vector<Operand>& documents, const FieldInfo& field) {
    ForEach(documents, [this, &field](const Operand& document) { PrintRaw(document, field); });
}

void Session::PrintRaw(const Operand& document, const FieldInfo& field) {
    const FieldValue value = module_.Value(document.path, field, options_.buffer);
    if (value.result == QUILLET_FILE_ERROR)
        return Gone(document);
    BinaryStandardOutput();
    Out(value.text);
    if (value.cut)
        Warn(document.label() + ": " + field.name +
             " was cut short: the module did not end the text");
}

int Session::Status() const {
    if (missing_)
        return ExitMissingFile;
    if (notDocument_)
        return ExitNotDocument;
    return searched_ && !matched_ ? ExitNoMatch : ExitOk;
}

template <typename Action>
void Session::ForEach(const std::vector<Operand>& documents, Action action) {
    Progress progress(documents.size());
    progress_ = &progress;
    for (size_t i = 0; i < documents.size(); ++i) {
        progress.Show(i + 1, documents[i].label());
        // The module answers a damaged file as an empty document: the host looks first.
        const Operand document = documents[i].problem == OperandProblem::None
                                     ? InspectDocument(documents[i])
                                     : documents[i];
        if (document.problem == OperandProblem::None)
            action(document);
        else
            Problem(document);
    }
    progress_ = nullptr;
}

void Session::Problem(const Operand& operand) {
    Warn(operand.label() + ": " + operand.words);
    switch (operand.problem) {
        case OperandProblem::NoDocuments:
            return;  // a note: nothing failed
        case OperandProblem::Unreadable:
            missing_ = true;
            return;  // a folder: the JSON lines are the files'
        case OperandProblem::NoSuchFile:
        case OperandProblem::CannotOpen:
            missing_ = true;
            break;
        default:
            notDocument_ = true;
            break;
    }
    Out(report_.Problem(operand.label(), operand.words));
}

void Session::Gone(const Operand& document) {
    Problem({document.path, OperandProblem::NoSuchFile, "no such file", document.shownAs});
}

// Output and messages go out with the progress line out of their way.
void Session::Out(const std::string& text) {
    if (progress_ != nullptr)
        progress_->Clear();
    Print(text);
    std::fflush(stdout);
}

void Session::Warn(const std::string& message) {
    if (progress_ != nullptr)
        progress_->Clear();
    Fail(message);
}

}  // namespace quillet::host
