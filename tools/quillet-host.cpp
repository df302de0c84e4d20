// A command-line host: loads the module by path and asks it about files exactly as a file
// manager does, through its exported functions only.
#include <algorithm>
#include <clocale>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "Console.h"
#include "DetectExpression.h"
#include "ExecutableDirectory.h"
#include "FieldLookup.h"
#include "HostOptions.h"
#include "ModuleClient.h"
#include "Operands.h"
#include "Report.h"
#include "Session.h"
#include "StandardInput.h"
#include "ValueText.h"

namespace {

using namespace quillet::host;

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// The module to load: the one given, else the first of the usual places that has one; empty
// with the reason when there is none.
std::string ModulePath(const HostOptions& options, const char* argv0, std::string& error) {
    if (!options.modulePath.empty()) {
        // A bare name would make the loader search the system's library folders, not the
        // current one.
        const std::filesystem::path path(options.modulePath);
        return path.has_parent_path() ? path.string()
                                      : (std::filesystem::path(".") / path).string();
    }
    const std::vector<std::string> candidates =
        ModuleCandidates(ExecutableDirectory(argv0), QUILLET_DEFAULT_MODULE_NAME);
    for (const std::string& candidate : candidates)
        if (IsFile(candidate))
            return candidate;
    error = "no module found: neither " + candidates.front() + " nor " + candidates.back() +
            " exists (give one with --module PATH)";
    return std::string();
}

std::string VersionText(const std::string& modulePath, const std::string& error) {
    return std::string("quillet-host ") + QUILLET_HOST_VERSION +
           "\nmodule: " + (modulePath.empty() ? error : modulePath) + "\n";
}

// The fields a user named, or all of them; empty with the reason when a name matches none.
std::vector<const FieldInfo*> ChosenFields(const std::vector<FieldInfo>& table,
                                           const std::vector<std::string>& names,
                                           std::string& error) {
    std::vector<const FieldInfo*> chosen;
    for (const std::string& wanted : names) {
        const FieldInfo* field = FindField(table, wanted);
        if (field == nullptr) {
            // A number names an index; a name may be a typing slip worth a suggestion.
            const bool isName = wanted.find_first_not_of("0123456789") != std::string::npos;
            const std::string nearest = isName ? NearestFieldName(table, wanted) : std::string();
            error = "the module has no field '" + wanted + "'" +
                    (nearest.empty() ? "" : "; did you mean '" + nearest + "'?") +
                    " (see --fields)";
            return {};
        }
        chosen.push_back(field);
    }
    if (names.empty())
        for (const FieldInfo& field : table)
            chosen.push_back(&field);
    return chosen;
}

// What --grep reads: "Titles" and the most complete full text the module offers, its "Text"
// where it has one, else its "Content"; as far as the module has them.
std::vector<const FieldInfo*> SearchFields(const std::vector<FieldInfo>& table) {
    std::vector<const FieldInfo*> fields;
    if (const FieldInfo* titles = FindFullTextField(table, "Titles"))
        fields.push_back(titles);
    const FieldInfo* text = FindFullTextField(table, "Text");
    if (text == nullptr)
        text = FindFullTextField(table, "Content");
    if (text != nullptr)
        fields.push_back(text);
    return fields;
}

OperandRules RulesFor(const HostOptions& options, const StandardInputCopy& standardInput) {
    OperandRules rules;
    rules.scan.recursive = options.recursive;
    rules.scan.hidden = options.hidden;
    // --raw reads one document: a folder is not scanned for it.
    rules.foldersAllowed = !options.raw;
    rules.standardInputCopy = standardInput.path();
    return rules;
}

int RunOnDocuments(const HostOptions& options, const ModuleClient& module,
                   const std::vector<FieldInfo>& table, const Report& report,
                   const std::vector<const FieldInfo*>& chosen) {
    std::string error;
    const std::string detectString = module.DetectString();
    const std::optional<DetectExpression> detect = DetectExpression::Parse(detectString, error);
    if (!detect) {
        Fail("the module's detection string cannot be read (" + error + "): " + detectString);
        return ExitModule;
    }
    const std::vector<const FieldInfo*> searchFields = SearchFields(table);
    if (!options.grep.empty() && searchFields.empty()) {
        Fail("the module has no full-text field Titles, Text or Content to search");
        return ExitModule;
    }
    if (options.raw && chosen.front()->type != QUILLET_FIELD_STRING &&
        chosen.front()->type != QUILLET_FIELD_FULL_TEXT)
        return UsageError("--raw prints a string or a full text; " + chosen.front()->name + " is " +
                          TypeName(chosen.front()->type));

    StandardInputCopy standardInput;
    const auto& files = options.files;
    if (std::find(files.begin(), files.end(), StandardInputOperand) != files.end() &&
        !standardInput.Take(error)) {
        Fail(error);
        return ExitMissingFile;
    }
    Session session(options, module, report);
    const std::vector<Operand> documents =
        CollectDocuments(options.files, RulesFor(options, standardInput), *detect);
    if (!options.grep.empty())
        session.Search(documents, searchFields);
    else if (options.raw)
        session.PrintRaw(documents, *chosen.front());
    else
        session.ReportFields(documents, chosen);
    return session.Status();
}

}  // namespace

int main(int argc, char** argv) {
    // Like a real host: the module converts its texts into the user's code page.
    std::setlocale(LC_ALL, "");

    std::string error;
    auto options = ParseOptions(argc, argv, error);
    if (!options)
        return UsageError(error);
    if (options->help) {
        Print(UsageText());
        return ExitOk;
    }
    const std::string modulePath = ModulePath(*options, argc > 0 ? argv[0] : nullptr, error);
    if (options->version) {
        Print(VersionText(modulePath, error));
        return ExitOk;
    }
    ModuleClient module;
    if (modulePath.empty() || !module.Load(modulePath, error)) {
        Fail(error);
        return ExitModule;
    }
    if (options->ansi)
        module.PreferAnsi();
    // The texts searched come in UTF-8 through ContentGetValueW: so must what is searched for.
    if (module.AsksForUtf16())
        for (std::string& text : options->grep)
            text = ArgumentAsUtf8(text);
    const std::vector<FieldInfo> table = module.Fields();
    const std::vector<const FieldInfo*> chosen = ChosenFields(table, options->fields, error);
    if (chosen.empty() && !table.empty())
        return UsageError(error);

    const std::unique_ptr<Report> report =
        MakeReport(options->form, table, StandardOutputIsTerminal() ? TerminalColumns() : 0);
    if (options->form == OutputForm::Csv)
        BinaryStandardOutput();
    if (options->detect)
        Print(report->Detect(module.DetectString()));
    if (options->listFields)
        Print(report->Table());
    if (options->files.empty())
        return ExitOk;
    return RunOnDocuments(*options, module, table, *report, chosen);
}
