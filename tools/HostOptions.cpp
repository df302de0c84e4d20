#include "HostOptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace quillet::host {
namespace {

bool ParseBuffer(const std::string& text, int& buffer) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < MinBuffer || value > MaxBuffer)
        return false;
    buffer = static_cast<int>(value);
    return true;
}

}  // namespace

std::optional<HostOptions> ParseOptions(int argc, const char* const* argv, std::string& error) {
    HostOptions options;
    bool onlyFiles = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (onlyFiles || arg.size() < 2 || arg[0] != '-') {
            options.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyFiles = true;
            continue;
        }
        // Both "--name VALUE" and "--name=VALUE" are accepted for options with a value.
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (const size_t equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != arg.npos) {
            name = arg.substr(0, equals);
            inlineValue = arg.substr(equals + 1);
        }
        const bool takesValue = name == "--module" || name == "--field" || name == "--buffer";
        if (!takesValue && inlineValue) {
            error = "option " + name + " takes no value";
            return std::nullopt;
        }
        std::string value;
        if (takesValue) {
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                error = "option " + name + " needs a value";
                return std::nullopt;
            }
        }
        if (name == "--module") {
            if (value.empty()) {
                error = "--module needs a path";
                return std::nullopt;
            }
            options.modulePath = value;
        } else if (name == "--field") {
            if (value.empty()) {
                error = "--field needs a field name or index";
                return std::nullopt;
            }
            options.fields.push_back(value);
        } else if (name == "--buffer") {
            if (!ParseBuffer(value, options.buffer)) {
                error = "--buffer needs a number of bytes from " + std::to_string(MinBuffer) +
                        " to " + std::to_string(MaxBuffer) + ", not '" + value + "'";
                return std::nullopt;
            }
        } else if (name == "--detect") {
            options.detect = true;
        } else if (name == "--fields") {
            options.listFields = true;
        } else if (name == "--json") {
            options.json = true;
        } else if (name == "--help" || name == "-h") {
            options.help = true;
        } else {
            error = "unknown option " + name;
            return std::nullopt;
        }
    }
    if (!options.help && !options.detect && !options.listFields && options.files.empty()) {
        error = "nothing to do: give a FILE, --detect or --fields";
        return std::nullopt;
    }
    if (options.files.empty() && !options.fields.empty()) {
        error = "--field needs a FILE to read";
        return std::nullopt;
    }
    return options;
}

std::string UsageText() {
    return "usage: quillet-host [OPTION]... [FILE]...\n"
           "Loads a content module and shows what it answers, as a file manager would ask it.\n"
           "\n"
           "  --module PATH        the module to load (default: the one beside quillet-host)\n"
           "  --detect             print the module's detection string\n"
           "  --fields             print the module's field table\n"
           "  --field NAME|INDEX   show only this field of each FILE (repeatable)\n"
           "  --buffer N           bytes per full-text piece, " +
           std::to_string(MinBuffer) + " to " + std::to_string(MaxBuffer) +
           " (default 2048)\n"
           "  --json               print JSON: one object per line, one line per FILE\n"
           "  -h, --help           print this help\n"
           "\n"
           "Exit status: 0 ok, 1 some FILE was not found, 2 bad options,\n"
           "3 the module cannot be loaded or lacks a function.\n";
}

}  // namespace quillet::host
