// A command-line host: loads the module by path and asks it about files exactly as a file
// manager does, through the three exported functions only.
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ExecutableDirectory.h"
#include "HostOptions.h"
#include "ModuleClient.h"
#include "Report.h"

namespace {

using namespace quillet::host;

enum ExitCode : int {
    ExitOk = 0,
    ExitMissingFile = 1,
    ExitUsage = 2,
    ExitModule = 3,
};

void Fail(const std::string& message) {
    std::fprintf(stderr, "quillet-host: %s\n", message.c_str());
}

int UsageError(const std::string& message) {
    Fail(message);
    std::fprintf(stderr, "Try 'quillet-host --help'.\n");
    return ExitUsage;
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

std::string ModulePath(const HostOptions& options, const char* argv0) {
    if (options.modulePath.empty())
        return (std::filesystem::path(ExecutableDirectory(argv0)) / QUILLET_DEFAULT_MODULE_NAME)
            .string();
    // A bare name would make the loader search the system's library folders, not the current
    // one.
    const std::filesystem::path path(options.modulePath);
    return path.has_parent_path() ? path.string() : (std::filesystem::path(".") / path).string();
}

// The row a --field value names by index or by exact name, or null.
const FieldInfo* FindField(const std::vector<FieldInfo>& table, const std::string& wanted) {
    if (wanted.find_first_not_of("0123456789") == std::string::npos && wanted.size() < 10) {
        const int index = std::stoi(wanted);
        for (const FieldInfo& field : table)
            if (field.index == index)
                return &field;
        return nullptr;
    }
    for (const FieldInfo& field : table)
        if (field.name == wanted)
            return &field;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    // Like a real host: the module converts its texts into the user's code page.
    std::setlocale(LC_ALL, "");

    std::string error;
    const auto options = ParseOptions(argc, argv, error);
    if (!options)
        return UsageError(error);
    if (options->help) {
        Print(UsageText());
        return ExitOk;
    }

    ModuleClient module;
    if (!module.Load(ModulePath(*options, argc > 0 ? argv[0] : nullptr), error)) {
        Fail(error);
        return ExitModule;
    }
    const std::vector<FieldInfo> table = module.Fields();

    std::vector<const FieldInfo*> chosen;
    for (const std::string& wanted : options->fields) {
        const FieldInfo* field = FindField(table, wanted);
        if (field == nullptr)
            return UsageError("the module has no field '" + wanted + "' (see --fields)");
        chosen.push_back(field);
    }
    if (options->fields.empty())
        for (const FieldInfo& field : table)
            chosen.push_back(&field);

    const Report report(options->json, table);
    if (options->detect)
        Print(report.Detect(module.DetectString()));
    if (options->listFields)
        Print(report.Table());

    int status = ExitOk;
    for (const std::string& file : options->files) {
        std::vector<FieldReport> fields;
        bool missing = false;
        for (const FieldInfo* field : chosen) {
            fields.push_back({field, module.Value(file, *field, options->buffer)});
            if (fields.back().value.result == QUILLET_FILE_ERROR) {
                missing = true;
                break;
            }
        }
        if (missing) {
            Fail(file + ": file not found (the module answers -2)");
            Print(report.MissingFile(file));
            status = ExitMissingFile;
        } else {
            Print(report.File(file, fields));
        }
        std::fflush(stdout);
    }
    return status;
}
