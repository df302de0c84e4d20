#include "HostOptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

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

bool TakesValue(const std::string& name) {
    return name == "--module" || name == "--field" || name == "--buffer" || name == "--grep" ||
           name == "-e";
}

// Letters bundled as grep users bundle them: -r, -i and -h, and -e last, before its TEXT.
bool IsBundle(const std::string& arg) {
    if (arg.size() <= 2 || arg[0] != '-' || arg[1] == '-')
        return false;
    const size_t last = arg.back() == 'e' ? arg.size() - 1 : arg.size();
    return arg.find_first_not_of("rih", 1) >= last;
}

// The arguments with bundled letters split: "-ri" is "-r" "-i".
std::vector<std::string> Arguments(int argc, const char* const* argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool bundle = IsBundle(arg);
        if (!bundle) {
            args.push_back(arg);
            continue;
        }
        for (size_t letter = 1; letter < arg.size(); ++letter)
            args.push_back(std::string("-") + arg[letter]);
    }
    return args;
}

// An option without a value; false when there is none of this name.
bool SetFlag(const std::string& name, HostOptions& options) {
    if (name == "--detect")
        options.detect = true;
    else if (name == "--fields")
        options.listFields = true;
    else if (name == "--json" || name == "--csv")
        options.form = name == "--json" ? OutputForm::Json : OutputForm::Csv;
    else if (name == "-r" || name == "--recursive")
        options.recursive = true;
    else if (name == "--hidden")
        options.hidden = true;
    else if (name == "--raw")
        options.raw = std::string();
    else if (name == "-i" || name == "--ignore-case")
        options.ignoreCase = true;
    else if (name == "--version")
        options.version = true;
    else if (name == "--ansi")
        options.ansi = true;
    else if (name == "--help" || name == "-h")
        options.help = true;
    else
        return false;
    return true;
}

// An option with its value; false with the reason when the value does not do.
bool SetValue(const std::string& name, const std::string& value, HostOptions& options,
              std::string& error) {
    if (value.empty() && name != "--buffer") {
        error = name + " needs a value";
        return false;
    }
    if (name == "--module") {
        options.modulePath = value;
    } else if (name == "--field") {
        options.fields.push_back(value);
    } else if (name == "--grep" || name == "-e") {
        options.grep.push_back(value);
    } else if (!ParseBuffer(value, options.buffer)) {
        error = "--buffer needs a number of bytes from " + std::to_string(MinBuffer) + " to " +
                std::to_string(MaxBuffer) + ", not '" + value + "'";
        return false;
    }
    return true;
}

// --raw names its field itself, or leaves it to one --field.
bool SettleRawField(HostOptions& options, std::string& error) {
    const bool named = !options.raw->empty();
    if (named == options.fields.empty() && options.fields.size() <= 1) {
        if (named)
            options.fields.push_back(*options.raw);
        else
            options.raw = options.fields.front();
        return true;
    }
    error = "--raw prints one field: give it as --raw=FIELD or --raw --field FIELD";
    return false;
}

// The reason the options do not go together, or the empty text.
std::string Conflict(const HostOptions& options) {
    if (options.files.empty() && !options.detect && !options.listFields)
        return "nothing to do: give a FILE or folder, --detect or --fields";
    if (options.files.empty() && (!options.fields.empty() || !options.grep.empty() || options.raw))
        return "--field, --grep and --raw need a FILE to read";
    if (options.ignoreCase && options.grep.empty())
        return "-i goes with --grep";
    if (std::count(options.files.begin(), options.files.end(), StandardInputOperand) > 1)
        return "standard input (-) can be read once";
    if (!options.grep.empty() &&
        (options.form != OutputForm::Table || !options.fields.empty() || options.raw))
        return "--grep prints the names of the matching files; it does not go with --csv, "
               "--json, --field or --raw";
    if (options.raw && (options.form != OutputForm::Table || options.detect || options.listFields ||
                        options.files.size() != 1))
        return "--raw prints one value of one FILE alone; it does not go with --csv, --json, "
               "--detect, --fields or more FILEs";
    return std::string();
}

}  // namespace

std::optional<HostOptions> ParseOptions(int argc, const char* const* argv, std::string& error) {
    HostOptions options;
    bool onlyFiles = false;
    bool csv = false;
    bool json = false;
    const std::vector<std::string> args = Arguments(argc, argv);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
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
        // --raw=FIELD names the field; a bare --raw takes it from --field, so the next
        // argument is never mistaken for one.
        if (name == "--raw" && inlineValue) {
            options.raw = *inlineValue;
            if (options.raw->empty()) {
                error = "--raw= needs a field";
                return std::nullopt;
            }
            continue;
        }
        if (!TakesValue(name)) {
            if (inlineValue) {
                error = "option " + name + " takes no value";
                return std::nullopt;
            }
            if (!SetFlag(name, options)) {
                error = "unknown option " + name;
                return std::nullopt;
            }
            csv = csv || name == "--csv";
            json = json || name == "--json";
            continue;
        }
        if (!inlineValue && i + 1 >= args.size()) {
            error = "option " + name + " needs a value";
            return std::nullopt;
        }
        if (!SetValue(name, inlineValue ? *inlineValue : args[++i], options, error))
            return std::nullopt;
    }
    if (options.help || options.version)
        return options;
    if (csv && json)
        error = "--csv and --json exclude each other";
    else if (options.raw && !SettleRawField(options, error))
        return std::nullopt;
    else
        error = Conflict(options);
    if (!error.empty())
        return std::nullopt;
    return options;
}

std::string UsageText() {
    return "usage: quillet-host [OPTION]... [FILE|FOLDER|-]...\n"
           "Loads a content module and shows what it answers, as a file manager would ask it.\n"
           "A FOLDER stands for the documents in it that the module's detection string chooses;\n"
           "a FILE of - is a document read from standard input.\n"
           "\n"
           "  --module PATH        the module to load (default: the one beside quillet-host,\n"
           "                       else ../lib/quillet/ from quillet-host's folder)\n"
           "  --detect             print the module's detection string\n"
           "  --fields             print the module's field table\n"
           "  --field NAME|INDEX   show only this field of each FILE (repeatable)\n"
           "  -r, --recursive      take the documents in the subfolders of each FOLDER too\n"
           "  --hidden             take hidden files and folders (names starting with a dot)\n"
           "                       in folders too\n"
           "  --grep TEXT, -e TEXT print the documents whose \"Titles\" or full text hold\n"
           "                       TEXT; the full text is the module's \"Text\" field where it\n"
           "                       has one, else \"Content\". Several: any of them\n"
           "  -i, --ignore-case    with --grep: letters match in any case (Unicode simple\n"
           "                       case folding)\n"
           "  --csv                print CSV: a header row and one row per FILE\n"
           "  --json               print JSON: one object per line, one line per FILE\n"
           "  --raw=FIELD          print one string or full text of one FILE as it is;\n"
           "                       a bare --raw prints the one --field\n"
           "  --buffer N           bytes per full-text piece, " +
           std::to_string(MinBuffer) + " to " + std::to_string(MaxBuffer) +
           " (default 2048)\n"
           "  --ansi               ask through ContentGetValue (texts in the locale's character\n"
           "                       set) even where the module exports ContentGetValueW\n"
           "  --version            print the host's version and the module it loads\n"
           "  -h, --help           print this help\n"
           "\n"
           "Exit status: 0 ok (with --grep: some document matched), 1 some FILE or folder was\n"
           "not found or could not be read, 2 bad options, 3 the module cannot be loaded or\n"
           "used, 4 some FILE is not a document the module reads or not a readable package,\n"
           "5 --grep matched nothing.\n";
}

}  // namespace quillet::host
