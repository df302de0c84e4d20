#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillet::host {

// What the user asked for on the command line.
struct HostOptions {
    std::string modulePath;           // empty: the module built beside the host
    bool detect = false;              // print the detection string
    bool listFields = false;          // print the field table
    bool json = false;                // JSON instead of plain text
    bool help = false;                // print the usage text and stop
    std::vector<std::string> fields;  // --field NAME|INDEX, in the order given
    int buffer = 2048;                // bytes per full-text piece
    std::vector<std::string> files;
};

// The smallest and largest --buffer: a full-text piece needs room for one character and its
// terminator, and the upper bound keeps a typo from allocating gigabytes.
constexpr int MinBuffer = 2;
constexpr int MaxBuffer = 16 * 1024 * 1024;

// Parses argv; on a usage error answers nothing and puts the reason into `error`.
std::optional<HostOptions> ParseOptions(int argc, const char* const* argv, std::string& error);

// The text --help prints.
std::string UsageText();

}  // namespace quillet::host
