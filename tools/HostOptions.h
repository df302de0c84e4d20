#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Report.h"

namespace quillet::host {

// What the user asked for on the command line.
struct HostOptions {
    std::string modulePath;               // empty: the module installed with the host
    bool detect = false;                  // print the detection string
    bool listFields = false;              // print the field table
    OutputForm form = OutputForm::Table;  // --csv, --json
    bool help = false;                    // print the usage text and stop
    bool version = false;                 // print the versions and stop
    bool recursive = false;               // -r: folders with their subfolders
    bool hidden = false;                  // --hidden: folders' hidden entries too
    std::vector<std::string> fields;      // --field NAME|INDEX, in the order given
    std::vector<std::string> grep;        // --grep TEXT, -e TEXT: any of them
    bool ignoreCase = false;              // -i, with --grep
    std::optional<std::string> raw;       // --raw[=FIELD]: the field to print unescaped
    int buffer = 2048;                    // bytes per full-text piece
    bool ansi = false;                    // --ansi: ContentGetValue even beside ContentGetValueW
    std::vector<std::string> files;       // FILEs and folders; "-" is standard input
};

// The smallest and largest --buffer: a full-text piece needs room for one character and its
// terminator, and the upper bound keeps a typo from allocating gigabytes.
constexpr int MinBuffer = 2;
constexpr int MaxBuffer = 16 * 1024 * 1024;

// The operand that stands for standard input.
constexpr const char* StandardInputOperand = "-";

// Parses argv; on a usage error answers nothing and puts the reason into `error`.
std::optional<HostOptions> ParseOptions(int argc, const char* const* argv, std::string& error);

// The text --help prints.
std::string UsageText();

}  // namespace quillet::host
