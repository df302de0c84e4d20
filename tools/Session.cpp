#include "Session.h"

#include "TextSearch.h"

namespace quillet::host {

void Session::ReportFields(const std::vector<Operand>& documents,
                           const std::vector<const FieldInfo*>& chosen) {
    Out(report_.Header(chosen));
    ForEach(documents, [this, &chosen](const std::string& file) {
        std::vector<FieldReport> fields;
        for (const FieldInfo* field : chosen) {
            fields.push_back({field, module_.Value(file, *field, options_.buffer)});
            if (fields.back().value.result == QUILLET_FILE_ERROR)
                return Problem({file, OperandProblem::NoSuchFile, "no such file"});
        }
        Out(report_.File(file, fields));
    });
}

void Session::Search(const std::vector<Operand>& documents,
                     const std::vector<const FieldInfo*>& fields) {
    TextSearch search(*options_.grep, options_.ignoreCase);
    searched_ = true;
    ForEach(documents, [this, &fields, &search](const std::string& file) {
        for (const FieldInfo* field : fields) {
            search.Reset();
            // Reading stops, and the end call is made, with the piece that completes a match.
            const TransferResult transfer = module_.PageFullText(
                file, field->index, options_.buffer,
                [&search](std::string_view piece) { return !search.Feed(piece); });
            if (transfer.result == QUILLET_FILE_ERROR)
                return Problem({file, OperandProblem::NoSuchFile, "no such file"});
            if (transfer.stopped) {
                matched_ = true;
                return Out(file + "\n");
            }
        }
    });
}

void Session::PrintRaw(const std::vector<Operand>& documents, const FieldInfo& field) {
    ForEach(documents, [this, &field](const std::string& file) { PrintRaw(file, field); });
}

void Session::PrintRaw(const std::string& file, const FieldInfo& field) {
    const FieldValue value = module_.Value(file, field, options_.buffer);
    if (value.result == QUILLET_FILE_ERROR)
        return Problem({file, OperandProblem::NoSuchFile, "no such file"});
    BinaryStandardOutput();
    Out(value.text);
    if (value.cut)
        Warn(file + ": " + field.name + " was cut short: the module did not end the text");
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
        progress.Show(i + 1, documents[i].path);
        if (documents[i].problem == OperandProblem::None)
            action(documents[i].path);
        else
            Problem(documents[i]);
    }
    progress_ = nullptr;
}

void Session::Problem(const Operand& operand) {
    Warn(operand.path + ": " + operand.words);
    if (operand.problem == OperandProblem::Unreadable) {
        missing_ = true;
        return;
    }
    (operand.problem == OperandProblem::NoSuchFile ? missing_ : notDocument_) = true;
    Out(report_.Problem(operand.path, operand.words));
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
