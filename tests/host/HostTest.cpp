// Runs the built quillet-host as a user would and checks what it prints and how it exits,
// against the real module and against a stand-in module with known answers.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "CaseFolding.h"
#include "DetectExpression.h"
#include "support/TempFile.h"

namespace quillet::test {
namespace {

struct HostRun {
    int code = -1;
    std::string out;
    std::string err;
};

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs a shell command line, keeping its standard output, standard error and exit status.
HostRun RunShell(const std::string& command) {
    const TempFile errors("", ".err");
    HostRun run;
    FILE* pipe = ::popen((command + " 2>" + ShellQuote(errors.path())).c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return run;
    }
    char chunk[4096];
    size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        run.out.append(chunk, count);
    const int status = ::pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadFile(errors.path());
    return run;
}

std::string HostCommand(const std::vector<std::string>& args) {
    std::string command = ShellQuote(QUILLET_HOST_PATH);
    for (const std::string& arg : args)
        command += " " + ShellQuote(arg);
    return command;
}

HostRun Host(const std::vector<std::string>& args) {
    return RunShell(HostCommand(args));
}

// The host with a given module in front of the other arguments.
HostRun HostWith(const char* module, std::vector<std::string> args) {
    args.insert(args.begin(), {"--module", module});
    return Host(args);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The value column of a field's line in plain output, or "<no line>".
std::string PlainValue(const std::string& out, const std::string& name) {
    for (const std::string& line : Lines(out)) {
        std::istringstream in(line);
        std::string field;
        std::string type;
        if (line.rfind("  ", 0) != 0 || !(in >> field >> type) || field != name)
            continue;
        std::string value;
        std::getline(in >> std::ws, value);
        return value;
    }
    return "<no line>";
}

struct Row {
    std::string name;
    std::string type;
};

// The field table as --fields prints it: index, name, type name, (code).
std::vector<Row> Table(const char* module) {
    const HostRun run = HostWith(module, {"--fields"});
    EXPECT_EQ(run.code, 0) << run.err;
    std::vector<Row> rows;
    for (const std::string& line : Lines(run.out)) {
        std::istringstream in(line);
        int index = -1;
        Row row;
        in >> index >> row.name >> row.type;
        EXPECT_EQ(index, static_cast<int>(rows.size())) << line;
        rows.push_back(row);
    }
    return rows;
}

// The JSON output flattened by Python's own parser; empty when it does not parse.
std::vector<std::string> FlattenedJson(const std::vector<std::string>& args) {
    const HostRun run = RunShell(HostCommand(args) + " | " + ShellQuote(QUILLET_PYTHON) + " " +
                                 ShellQuote(QUILLET_FLATTEN_JSON));
    EXPECT_EQ(run.code, 0) << run.err;
    return Lines(run.out);
}

// A ZIP package whose members are stored, enough for the module to read.
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& members) {
    std::string local;
    std::string central;
    const auto put16 = [](std::string& out, unsigned value) {
        out += static_cast<char>(value & 0xFF);
        out += static_cast<char>((value >> 8) & 0xFF);
    };
    const auto put32 = [&put16](std::string& out, uint32_t value) {
        put16(out, value & 0xFFFF);
        put16(out, value >> 16);
    };
    for (const auto& [name, data] : members) {
        const auto crc = static_cast<uint32_t>(::crc32(
            0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
        const auto offset = static_cast<uint32_t>(local.size());
        const auto size = static_cast<uint32_t>(data.size());
        const auto nameSize = static_cast<unsigned>(name.size());
        put32(local, 0x04034b50);
        for (const unsigned word : {20u, 0u, 0u, 0u, 0x21u})
            put16(local, word);
        put32(local, crc);
        put32(local, size);
        put32(local, size);
        put16(local, nameSize);
        put16(local, 0);
        local += name + data;

        put32(central, 0x02014b50);
        for (const unsigned word : {20u, 20u, 0u, 0u, 0u, 0x21u})
            put16(central, word);
        put32(central, crc);
        put32(central, size);
        put32(central, size);
        for (const unsigned word : {nameSize, 0u, 0u, 0u, 0u})
            put16(central, word);
        put32(central, 0);
        put32(central, offset);
        central += name;
    }
    std::string end;
    put32(end, 0x06054b50);
    const auto count = static_cast<unsigned>(members.size());
    for (const unsigned word : {0u, 0u, count, count})
        put16(end, word);
    put32(end, static_cast<uint32_t>(central.size()));
    put32(end, static_cast<uint32_t>(local.size()));
    put16(end, 0);
    return local + central + end;
}

// A package with an empty properties part and no other: every answer of the module is empty.
std::string EmptyDocument() {
    return StoredZip({{"docProps/core.xml", "<cp:coreProperties/>"}});
}

// A package whose text, for the stand-in module, is `text`: its first member's data.
std::string FakeDocument(const std::string& text) {
    return StoredZip({{"word/document.xml", text}});
}

const char* const Expression =
    "EXT=\"DOCX\" | EXT=\"XLSX\" | EXT=\"PPTX\" | EXT=\"PPSX\" | EXT=\"DOCM\" | EXT=\"DOTX\" | "
    "EXT=\"DOTM\" | EXT=\"XLSM\" | EXT=\"XLTX\" | EXT=\"XLTM\" | EXT=\"PPTM\" | EXT=\"POTX\" | "
    "EXT=\"POTM\" | EXT=\"PPSM\"";

TEST(Host, DetectPrintsTheModulesExpression) {
    HostRun run = HostWith(QUILLET_MODULE_PATH, {"--detect"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, std::string(Expression) + "\n");

    run = HostWith(QUILLET_FAKE_MODULE, {"--detect"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "EXT=\"FAKE\"\n");
}

TEST(Host, FindsTheModuleBuiltBesideItFromAnyFolder) {
    const HostRun run = RunShell("cd / && " + HostCommand({"--detect"}));
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, std::string(Expression) + "\n");
}

TEST(Host, FieldsListsTheWholeTable) {
    const std::vector<Row> rows = Table(QUILLET_MODULE_PATH);
    ASSERT_EQ(rows.size(), 46u);
    EXPECT_EQ(rows[0].name, "Category");
    EXPECT_EQ(rows[0].type, "string");
    EXPECT_EQ(rows[3].type, "datetime");
    EXPECT_EQ(rows[18].type, "int32");
    EXPECT_EQ(rows[21].type, "boolean");
    EXPECT_EQ(rows[40].type, "time");
    EXPECT_EQ(rows[44].name, "Content");
    EXPECT_EQ(rows[44].type, "fulltext");

    const HostRun fake = HostWith(QUILLET_FAKE_MODULE, {"--fields"});
    EXPECT_EQ(Lines(fake.out).size(), 16u);
    EXPECT_NE(fake.out.find("Pages"), std::string::npos);
    EXPECT_NE(fake.out.find("units: pages|sheets"), std::string::npos);
}

TEST(Host, MissingFileExitsOneAndStillPrintsTheOthers) {
    const TempFile text(EmptyDocument(), ".docx");
    const std::string missing = MissingPath();
    const HostRun run = HostWith(QUILLET_MODULE_PATH, {missing, text.path()});
    EXPECT_EQ(run.code, 1);
    // Plain words only: no protocol number.
    EXPECT_EQ(run.err, "quillet-host: " + missing + ": no such file\n");
    EXPECT_EQ(run.out.find(missing), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(text.path()), std::string::npos) << run.out;
    EXPECT_EQ(PlainValue(run.out, "Title"), "\"\"");

    const HostRun json = HostWith(QUILLET_FAKE_MODULE, {"--json", missing});
    EXPECT_EQ(json.code, 1);
    EXPECT_NE(json.out.find("\"error\":\"no such file\""), std::string::npos) << json.out;
}

TEST(Host, BadOptionsExitTwo) {
    const TempFile text(EmptyDocument(), ".docx");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--bogus", text.path()},
        {"-x", text.path()},
        {"--buffer", "1", text.path()},
        {"--buffer", "abc", text.path()},
        {"--buffer=-4", text.path()},
        {"--buffer", "99999999999", text.path()},
        {text.path(), "--buffer"},
        {"--field", "NoSuchField", text.path()},
        {"--field", "46", text.path()},
        {"--field", "Title"},
        {"--json=yes", text.path()},
        {"--module"},
    };
    for (const std::vector<std::string>& args : cases) {
        std::string shown;
        for (const std::string& arg : args)
            shown += arg + " ";
        SCOPED_TRACE(shown);
        const HostRun run = HostWith(QUILLET_MODULE_PATH, args);
        EXPECT_EQ(run.code, 2);
        EXPECT_NE(run.err.find("quillet-host: "), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const HostRun help = Host({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("--buffer N"), std::string::npos);
}

TEST(Host, UnloadableModuleExitsThree) {
    const std::string missing = MissingPath() + ".so";
    HostRun run = HostWith(missing.c_str(), {"--detect"});
    EXPECT_EQ(run.code, 3);
    EXPECT_NE(run.err.find(missing), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");

    const TempFile notALibrary("not a library", ".so");
    run = HostWith(notALibrary.path().c_str(), {"--fields"});
    EXPECT_EQ(run.code, 3);

    run = HostWith(QUILLET_FAKE_WITHOUT_VALUE_MODULE, {"--detect"});
    EXPECT_EQ(run.code, 3);
    EXPECT_NE(run.err.find("lacks ContentGetValue"), std::string::npos) << run.err;
}

TEST(Host, EmptyDocumentAnswersEmptyValuesOfEveryForm) {
    const TempFile text(EmptyDocument(), ".docx");
    const HostRun run = HostWith(QUILLET_MODULE_PATH, {text.path()});
    EXPECT_EQ(run.code, 0) << run.err;
    const std::vector<Row> rows = Table(QUILLET_MODULE_PATH);
    ASSERT_EQ(rows.size(), 46u);
    EXPECT_EQ(Lines(run.out).size(), 47u);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string value = PlainValue(run.out, row.name);
        if (row.type == "string" || row.type == "fulltext")
            EXPECT_EQ(value, "\"\"");
        else if (row.type == "boolean")
            EXPECT_EQ(value, "false");
        else
            EXPECT_EQ(value, "(empty)");
    }
}

TEST(Host, ShowsEveryValueFormAsAUserReadsIt) {
    const TempFile file(FakeDocument("anything"), ".fake");
    const HostRun run = HostWith(QUILLET_FAKE_MODULE, {file.path()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(PlainValue(run.out, "Title"), "\"Annual \\\"report\\\" \\\\ \xE9t\xE9\"");
    EXPECT_EQ(PlainValue(run.out, "Created"), "2013-04-26T19:52:25Z");
    EXPECT_EQ(PlainValue(run.out, "Epoch"), "1601-01-01T00:00:00Z");
    EXPECT_EQ(PlainValue(run.out, "Leap"), "2024-02-29T23:59:59Z");
    EXPECT_EQ(PlainValue(run.out, "TotalTime"), "25:07:03");
    EXPECT_EQ(PlainValue(run.out, "Shared"), "true");
    EXPECT_EQ(PlainValue(run.out, "Linked"), "false");
    EXPECT_EQ(PlainValue(run.out, "Pages"), "-7");
    EXPECT_EQ(PlainValue(run.out, "Words"), "(empty)");
    EXPECT_EQ(PlainValue(run.out, "Silent"), "\"\"");
    EXPECT_EQ(PlainValue(run.out, "Body"), "\"line one\\tcol\\nline two\\x01 end\"");
    EXPECT_EQ(PlainValue(run.out, "Notes"), "\"second text\"");
    EXPECT_EQ(PlainValue(run.out, "Endless").rfind("\"x\" (cut short", 0), 0u);
    EXPECT_EQ(PlainValue(run.out, "Odd"), "(unexpected answer 42)");
    EXPECT_EQ(PlainValue(run.out, "Titles"), "\"Sheet1 Summary\"");
    EXPECT_EQ(PlainValue(run.out, "Content"), "\"anything\"");
    // One line per field and one for the file: no text broke a line.
    EXPECT_EQ(Lines(run.out).size(), 17u);
}

TEST(Host, ChosenFieldsByNameAndIndexInTheGivenOrder) {
    const TempFile text(EmptyDocument(), ".docx");
    HostRun run = HostWith(QUILLET_MODULE_PATH, {"--field", "Title", "--field", "44", text.path()});
    EXPECT_EQ(run.code, 0) << run.err;
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out;
    EXPECT_EQ(lines[0], text.path());
    EXPECT_EQ(lines[1].rfind("  Title ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind("  Content ", 0), 0u) << lines[2];

    const TempFile file(FakeDocument("anything"), ".fake");
    run = HostWith(QUILLET_FAKE_MODULE, {"--field=10", "--field", "Pages", file.path()});
    lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out;
    EXPECT_EQ(PlainValue(lines[1] + "\n", "Body"), "\"line one\\tcol\\nline two\\x01 end\"");
    EXPECT_EQ(PlainValue(lines[2] + "\n", "Pages"), "-7");
}

TEST(Host, PagesTheSameTextWithAnyBuffer) {
    const TempFile file(FakeDocument("anything"), ".fake");
    for (const char* buffer : {"2", "3", "4", "7", "2048"}) {
        SCOPED_TRACE(buffer);
        const HostRun run = HostWith(QUILLET_FAKE_MODULE, {"--buffer", buffer, file.path()});
        EXPECT_EQ(run.code, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(PlainValue(run.out, "Body"), "\"line one\\tcol\\nline two\\x01 end\"");
        EXPECT_EQ(PlainValue(run.out, "Notes"), "\"second text\"");
    }

    // The real module: packages made here, and the samples when there are any.
    std::vector<std::unique_ptr<TempFile>> packages;
    const std::string core =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><cp:coreProperties "
        "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>Paged</dc:title>"
        "</cp:coreProperties>";
    const std::string document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document "
        "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
        "<w:p><w:r><w:t>First paragraph of some length</w:t><w:tab/><w:t>after a tab</w:t>"
        "</w:r></w:p><w:p><w:r><w:t>Second paragraph</w:t></w:r></w:p></w:body></w:document>";
    packages.push_back(std::make_unique<TempFile>(
        StoredZip({{"docProps/core.xml", core}, {"word/document.xml", document}}), ".docx"));
    std::vector<std::string> files = {packages.back()->path()};
    const std::filesystem::path samples(QUILLET_SAMPLES_DIR);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(samples, error)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".docx" || extension == ".xlsx" ||
                                        extension == ".pptx" || extension == ".ppsx"))
            files.push_back(entry.path().string());
    }
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        const HostRun wide = HostWith(QUILLET_MODULE_PATH, {"--buffer", "2048", path});
        EXPECT_EQ(wide.code, 0) << wide.err;
        for (const char* buffer : {"2", "4"}) {
            const HostRun narrow = HostWith(QUILLET_MODULE_PATH, {"--buffer", buffer, path});
            EXPECT_EQ(narrow.code, 0) << narrow.err;
            EXPECT_EQ(narrow.out, wide.out);
        }
    }
}

TEST(Host, JsonParsesWithTheRightStructureAndTypes) {
    const TempFile text(EmptyDocument(), ".docx");
    const std::string missing = MissingPath();
    std::vector<std::string> lines =
        FlattenedJson({"--module", QUILLET_MODULE_PATH, "--json", text.path(), missing});
    ASSERT_EQ(lines.size(), 47u);
    const std::vector<Row> rows = Table(QUILLET_MODULE_PATH);
    ASSERT_EQ(rows.size(), 46u);
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string expectedKind = rows[i].type == "string" || rows[i].type == "fulltext"
                                             ? "str\t''"
                                         : rows[i].type == "boolean" ? "bool\tFalse"
                                                                     : "NoneType\tNone";
        EXPECT_EQ(lines[i], text.path() + "\t" + std::to_string(i) + "\t" + rows[i].name + "\t" +
                                rows[i].type + "\t" + expectedKind);
    }
    EXPECT_EQ(lines[46], "error\t" + missing + "\tno such file");

    lines = FlattenedJson({"--module", QUILLET_MODULE_PATH, "--json", "--detect", "--fields"});
    ASSERT_EQ(lines.size(), 47u);
    EXPECT_EQ(lines[0], std::string("detect\t'") + Expression + "'");
    EXPECT_EQ(lines[45], "row\t44\tContent\tfulltext\t9\t''");
    EXPECT_EQ(lines[46], "row\t45\tText\tfulltext\t9\t''");

    const TempFile file(FakeDocument("anything"), ".fake");
    lines =
        FlattenedJson({"--module", QUILLET_FAKE_MODULE, "--json", "--buffer", "3", file.path()});
    ASSERT_EQ(lines.size(), 16u);
    const std::string prefix = file.path() + "\t";
    // The title's bytes are Latin-1: U+FFFD in the text, the bytes themselves in base64.
    EXPECT_EQ(lines[0], prefix +
                            "0\tTitle\tstring\tstr\t'Annual \"report\" \\\\ \\ufffdt\\ufffd'"
                            "\tvalueBytes=QW5udWFsICJyZXBvcnQiIFwg6XTp");
    EXPECT_EQ(lines[1], prefix + "1\tCreated\tdatetime\tstr\t'2013-04-26T19:52:25Z'");
    EXPECT_EQ(lines[4], prefix + "4\tTotalTime\ttime\tstr\t'25:07:03'");
    EXPECT_EQ(lines[5], prefix + "5\tShared\tboolean\tbool\tTrue");
    EXPECT_EQ(lines[7], prefix + "7\tPages\tint32\tint\t-7");
    EXPECT_EQ(lines[8], prefix + "8\tWords\tint32\tNoneType\tNone");
    EXPECT_EQ(lines[10], prefix + "10\tBody\tfulltext\tstr\t'line one\\tcol\\nline two\\x01 end'");
    EXPECT_EQ(lines[12], prefix + "12\tEndless\tfulltext\tstr\t'x'\tcut=True");
    EXPECT_EQ(lines[13], prefix + "13\tOdd\tstring\tNoneType\tNone\tanswer=42");

    // Control characters escaped as \uXXXX, UTF-8 passed through.
    const HostRun raw =
        HostWith(QUILLET_FAKE_MODULE, {"--json", "--field", "Body", "--field", "0", file.path()});
    EXPECT_NE(raw.out.find("\"line one\\u0009col\\u000aline two\\u0001 end\""), std::string::npos)
        << raw.out;
    EXPECT_NE(raw.out.find("\"Annual \\\"report\\\" \\\\ \xEF\xBF\xBDt\xEF\xBF\xBD\""),
              std::string::npos)
        << raw.out;
}

// A folder in the temporary folder, removed with all it holds when the object goes.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quillet-host-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            ADD_FAILURE() << "cannot make a folder from " << pattern;
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, error))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes a file at a path relative to the folder, making the folders on the way.
    std::string Add(const std::string& relative, const std::string& bytes = EmptyDocument()) const {
        const std::filesystem::path path = path_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    std::string Folder(const std::string& relative) const {
        std::filesystem::create_directories(path_ / relative);
        return (path_ / relative).string();
    }
    std::string path() const { return path_.string(); }

  private:
    std::filesystem::path path_;
};

// The command line of the host with environment variables set for it.
std::string WithEnvironment(const std::vector<std::pair<std::string, std::string>>& variables,
                            const std::vector<std::string>& args) {
    std::string command;
    for (const auto& [name, value] : variables)
        command += name + "=" + ShellQuote(value) + " ";
    return command + HostCommand(args);
}

// The file names of plain output: the lines that are not field lines.
std::vector<std::string> FileLines(const std::string& out) {
    std::vector<std::string> files;
    for (const std::string& line : Lines(out))
        if (line.rfind("  ", 0) != 0)
            files.push_back(line);
    return files;
}

std::vector<std::string> Prefixed(const std::string& folder, std::vector<std::string> names) {
    for (std::string& name : names)
        name = folder + "/" + name;
    return names;
}

TEST(HostFolders, ChooseTheDetectedFilesInPathOrder) {
    const TempFolder folder;
    for (const char* name : {"b.docx", "A.XLSX", "c.txt", "d.pptx.bak", "z.ppsx", "docx",
                             "sub/e.pptx", "sub/deeper/f.PPSX", "sub/g.doc", "h.docx/i.docx"})
        folder.Add(name);
    HostRun run = HostWith(QUILLET_MODULE_PATH, {"--field", "Title", folder.path()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(FileLines(run.out), Prefixed(folder.path(), {"A.XLSX", "b.docx", "z.ppsx"}));

    for (const char* recursive : {"-r", "--recursive"}) {
        run = HostWith(QUILLET_MODULE_PATH, {recursive, "--field", "Title", folder.path()});
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(FileLines(run.out),
                  Prefixed(folder.path(), {"A.XLSX", "b.docx", "h.docx/i.docx", "sub/deeper/f.PPSX",
                                           "sub/e.pptx", "z.ppsx"}));
    }

    // The fake module's own expression chooses, not a list the host knows.
    const HostRun fake = RunShell(WithEnvironment(
        {{"QUILLET_FAKE_DETECT", "EXT=\"TXT\" | EXT=\"DOC\""}},
        {"--module", QUILLET_FAKE_MODULE, "-r", "--field", "Title", folder.path()}));
    EXPECT_EQ(fake.code, 0) << fake.err;
    EXPECT_EQ(FileLines(fake.out), Prefixed(folder.path(), {"c.txt", "sub/g.doc"}));
}

TEST(HostFolders, UnreadableSubfolderIsReportedAndSkipped) {
    const TempFolder folder;
    folder.Add("a.docx");
    folder.Add("locked/b.docx");
    const std::string locked = folder.path() + "/locked";
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    std::string command =
        HostCommand({"--module", QUILLET_MODULE_PATH, "-r", "--field", "Title", folder.path()});
    // The superuser reads any folder: run the host as nobody instead.
    if (::geteuid() == 0) {
        std::filesystem::permissions(folder.path(), std::filesystem::perms::all,
                                     std::filesystem::perm_options::add);
        command = "setpriv --reuid=65534 --regid=65534 --clear-groups " + command;
    }
    const HostRun run = RunShell(command);
    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_EQ(FileLines(run.out), Prefixed(folder.path(), {"a.docx"}));
    EXPECT_NE(run.err.find(locked + ": cannot read this folder"), std::string::npos) << run.err;
}

struct ExpressionCase {
    const char* expression;
    const char* file;
    bool chosen;
};

TEST(HostFolders, DetectionExpressionChoosesAsAFileManagerDoes) {
    const ExpressionCase cases[] = {
        {"EXT=\"DOCX\" | EXT=\"XLSX\"", "a.docx", true},
        {"EXT=\"DOCX\" | EXT=\"XLSX\"", "dir/a.Docx", true},
        {"EXT=\"DOCX\" | EXT=\"XLSX\"", "B.XLSX", true},
        {"EXT=\"DOCX\" | EXT=\"XLSX\"", "a.pptx", false},
        {"EXT=\"DOCX\" | EXT=\"XLSX\"", "docx", false},
        {"EXT=\"DOCX\" | EXT=\"XLSX\"", "a.docx.bak", false},
        {"EXT=\"DOCX\" | EXT=\"XLSX\"", "dir.docx/notes", false},
        {"EXT=\"DOCX\"|EXT=\"XLSX\"", "a.xlsx", true},
        {"ext=\"docx\"", "a.DOCX", true},
        {"EXT=\"\"", "README", true},
        {"EXT=\"\"", "a.txt", false},
        {"!EXT=\"TXT\"", "a.txt", false},
        {"!EXT=\"TXT\"", "a.doc", true},
        // & binds tighter than |: A | (B & C).
        {"EXT=\"A\" | EXT=\"B\" & EXT=\"C\"", "x.a", true},
        {"EXT=\"A\" | EXT=\"B\" & EXT=\"C\"", "x.b", false},
        {"EXT=\"B\" & EXT=\"C\" | EXT=\"A\"", "x.a", true},
        // ! binds tighter than &: (!A) & B.
        {"!EXT=\"A\" & EXT=\"B\"", "x.b", true},
        {"!EXT=\"A\" & EXT=\"B\"", "x.c", false},
        {"!(EXT=\"A\" | EXT=\"B\")", "x.c", true},
        {"!(EXT=\"A\" | EXT=\"B\")", "x.b", false},
        {"(EXT=\"A\" | EXT=\"B\") & !EXT=\"B\"", "x.a", true},
        {"(EXT=\"A\" | EXT=\"B\") & !EXT=\"B\"", "x.b", false},
        {"!!EXT=\"A\"", "x.a", true},
    };
    for (const ExpressionCase& test : cases) {
        SCOPED_TRACE(std::string(test.expression) + " / " + test.file);
        std::string error;
        const std::optional<host::DetectExpression> expression =
            host::DetectExpression::Parse(test.expression, error);
        ASSERT_TRUE(expression.has_value()) << error;
        EXPECT_EQ(expression->Chooses(test.file), test.chosen);
    }
}

TEST(HostFolders, MalformedExpressionIsAnErrorNotACrash) {
    const std::string deep = std::string(100000, '(') + "EXT=\"A\"" + std::string(100000, ')');
    for (const std::string& text :
         {std::string("EXT=\"DOCX\" |"), std::string("EXT=\"DOCX"), std::string("(EXT=\"A\""),
          std::string("EXT=DOCX"), std::string("SIZE>0"), std::string(""),
          std::string("EXT=\"A\" EXT=\"B\""), std::string("!"), std::string("EXT=\"A\")"),
          std::string("EXT=\"A\" && EXT=\"B\""), std::string(100000, '!'), deep}) {
        SCOPED_TRACE(text.substr(0, 40));
        std::string error;
        EXPECT_FALSE(host::DetectExpression::Parse(text, error).has_value());
        EXPECT_FALSE(error.empty());
    }

    const TempFolder folder;
    folder.Add("a.fake");
    const HostRun run = RunShell(WithEnvironment({{"QUILLET_FAKE_DETECT", "EXT=\"FAKE\" |"}},
                                                 {"--module", QUILLET_FAKE_MODULE, folder.path()}));
    EXPECT_EQ(run.code, 3);
    EXPECT_NE(run.err.find("detection string cannot be read"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST(HostOperands, NonDocumentAndMissingFileSayWhyAndExitDistinctly) {
    const TempFile text("plain words", ".txt");
    const TempFile document(EmptyDocument(), ".docx");
    HostRun run = HostWith(QUILLET_MODULE_PATH, {text.path(), document.path()});
    EXPECT_EQ(run.code, 4);
    EXPECT_EQ(run.err, "quillet-host: " + text.path() + ": not a document the module reads\n");
    EXPECT_EQ(FileLines(run.out), std::vector<std::string>{document.path()});

    const std::string missing = MissingPath();
    run = HostWith(QUILLET_MODULE_PATH, {text.path(), missing});
    EXPECT_EQ(run.code, 1) << "a missing file weighs more than a non-document";
    EXPECT_NE(run.err.find(missing + ": no such file\n"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");

    const std::vector<std::string> json =
        FlattenedJson({"--module", QUILLET_MODULE_PATH, "--json", text.path()});
    EXPECT_EQ(json, std::vector<std::string>{"error\t" + text.path() +
                                             "\tnot a document the module reads"});

    // --raw reads one document: a folder is not scanned for it.
    const TempFolder folder;
    folder.Add("a.docx");
    run = HostWith(QUILLET_MODULE_PATH, {"--raw=Content", folder.path()});
    EXPECT_EQ(run.code, 4);
    EXPECT_EQ(run.err, "quillet-host: " + folder.path() + ": a folder, not a document\n");
    EXPECT_EQ(run.out, "");
}

// The text in which the fake module's "Content" is searched: the match spans piece boundaries.
const size_t NeedleAt = 2045;
std::string TextWithNeedle(const std::string& needle) {
    return std::string(NeedleAt, '.') + needle + std::string(100, '.');
}

// The unit indexes of the value requests for one field, in the order made.
std::vector<int> UnitsAsked(const std::string& log, int field) {
    std::vector<int> units;
    for (const std::string& line : Lines(log)) {
        std::istringstream in(line);
        int asked = 0;
        int unit = 0;
        if (in >> asked >> unit && asked == field)
            units.push_back(unit);
    }
    return units;
}

constexpr int FakeTitles = 14;
constexpr int FakeContent = 15;

TEST(HostGrep, FindsAMatchAcrossPiecesAndEndsTheTransferAtOnce) {
    const TempFolder folder;
    const std::string matching = folder.Add("b.fake", FakeDocument(TextWithNeedle("needle")));
    folder.Add("a.fake", FakeDocument(TextWithNeedle("needl")));
    folder.Add("c.fake", FakeDocument(TextWithNeedle("NEEDLE")));
    for (const int buffer : {2, 3, 2048}) {
        SCOPED_TRACE(buffer);
        const TempFile log("", ".log");
        const HostRun run =
            RunShell(WithEnvironment({{"QUILLET_FAKE_CALLS", log.path()}},
                                     {"--module", QUILLET_FAKE_MODULE, "--buffer",
                                      std::to_string(buffer), "--grep", "needle", folder.path()}));
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, matching + "\n");

        // The piece that holds the needle's last byte is the last one asked for.
        const size_t step = static_cast<size_t>(buffer - 1);
        const int lastUnit = static_cast<int>((NeedleAt + 5) / step);
        ASSERT_GT(lastUnit, 0) << "the needle must span a piece boundary";
        std::vector<int> expected;
        for (int unit = 0; unit <= lastUnit; ++unit)
            expected.push_back(unit);
        expected.push_back(-1);
        std::vector<std::string> matchingLog;
        for (const std::string& line : Lines(ReadFile(log.path())))
            if (line.size() > matching.size() &&
                line.compare(line.size() - matching.size(), matching.size(), matching) == 0)
                matchingLog.push_back(line);
        std::string matchingCalls;
        for (const std::string& line : matchingLog)
            matchingCalls += line + "\n";
        EXPECT_EQ(UnitsAsked(matchingCalls, FakeContent), expected);
        // Titles was read whole before: first, next until empty, end.
        const std::vector<int> titles = UnitsAsked(matchingCalls, FakeTitles);
        ASSERT_FALSE(titles.empty());
        EXPECT_EQ(titles.front(), 0);
        EXPECT_EQ(titles.back(), -1);
    }
}

TEST(HostGrep, IgnoresCaseOnRequestAndSaysWhenNothingMatches) {
    const TempFolder folder;
    const std::string upper = folder.Add("a.fake", FakeDocument(TextWithNeedle("NeEdLe")));
    const std::string accented = folder.Add("b.fake", FakeDocument("caf\xC9 au lait"));
    const std::vector<std::string> base = {"--module", QUILLET_FAKE_MODULE, "--buffer", "3"};
    const auto grep = [&base, &folder](std::vector<std::string> args) {
        args.insert(args.begin(), base.begin(), base.end());
        args.push_back(folder.path());
        return Host(args);
    };

    HostRun run = grep({"--grep", "needle"});
    EXPECT_EQ(run.code, 5);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");

    for (const char* flag : {"-i", "--ignore-case"}) {
        run = grep({flag, "--grep", "needle"});
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, upper + "\n");
    }
    // Bytes that are not UTF-8 (this text is Latin-1) match only themselves.
    run = grep({"-i", "--grep", "CAF\xE9"});
    EXPECT_EQ(run.code, 5);
    run = grep({"-i", "--grep", "CAF\xC9"});
    EXPECT_EQ(run.out, accented + "\n");

    // "Titles" is searched too: every file's titles hold "Summary".
    run = grep({"--grep", "Summary"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, upper + "\n" + accented + "\n");

    // The real module, over a package made here.
    const std::string document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document "
        "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
        "<w:p><w:r><w:t>Invoice 2026-114</w:t></w:r></w:p></w:body></w:document>";
    const std::string package =
        folder.Add("sub/report.docx", StoredZip({{"word/document.xml", document}}));
    run =
        HostWith(QUILLET_MODULE_PATH, {"-ri", "--grep", "INVOICE", "--buffer", "4", folder.path()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, package + "\n");
}

// Splits CSV text after RFC 4180 into rows of fields; empty when it is not well formed.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    for (size_t i = 0; i < text.size(); ++i) {
        std::string& field = rows.back().back();
        if (text[i] == '"' && field.empty()) {
            for (++i; i < text.size(); ++i) {
                if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"')
                    field += text[++i];
                else if (text[i] == '"')
                    break;
                else
                    field += text[i];
            }
        } else if (text[i] == ',') {
            rows.back().emplace_back();
        } else if (text.compare(i, 2, "\r\n") == 0) {
            ++i;
            rows.emplace_back(1);
        } else {
            field += text[i];
        }
    }
    if (rows.back() != std::vector<std::string>(1))
        return {};
    rows.pop_back();
    return rows;
}

TEST(HostOutput, CsvQuotesCommasQuotesAndLineBreaks) {
    const TempFolder folder;
    const std::string content = "a,b \"q\"\r\nnext\nline";
    const std::string file = folder.Add("x,y.fake", FakeDocument(content));
    const std::string plain = folder.Add("z.fake", FakeDocument("plain"));
    const HostRun run =
        HostWith(QUILLET_FAKE_MODULE, {"--csv", "--field", "Title", "--field", "content", "--field",
                                       "Pages", "--field", "Words", folder.path()});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find("\r\n") + 2), "file,Title,Content,Pages,Words\r\n");
    EXPECT_NE(run.out.find("\"" + folder.path() +
                           "/x,y.fake\",\"Annual \"\"report\"\" \\ \xE9t\xE9\","
                           "\"a,b \"\"q\"\"\r\nnext\nline\",-7,\r\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(
        run.out.find("\r\n" + plain + ",\"Annual \"\"report\"\" \\ \xE9t\xE9\",plain,-7,\r\n"),
        std::string::npos)
        << run.out;
    const std::vector<std::vector<std::string>> rows = ParseCsv(run.out);
    ASSERT_EQ(rows.size(), 3u) << run.out;
    EXPECT_EQ(rows[1], (std::vector<std::string>{file, "Annual \"report\" \\ \xE9t\xE9", content,
                                                 "-7", ""}));
    EXPECT_EQ(rows[2][2], "plain");
}

TEST(HostOutput, RawPrintsTheModulesBytesExactly) {
    const std::string content = "tab\there \"quoted\" back\\slash\r\nnew\nline \x01\xE9\xFF end";
    const TempFile file(FakeDocument(content), ".fake");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--raw=Content"},
                                                 {"--raw=content"},
                                                 {"--raw", "--field", "CONTENT"},
                                                 {"--buffer", "2", "--raw=Content"}}) {
        std::vector<std::string> withFile = args;
        withFile.push_back(file.path());
        const HostRun run = HostWith(QUILLET_FAKE_MODULE, withFile);
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, content);
    }
    HostRun run = HostWith(QUILLET_FAKE_MODULE, {"--raw=Title", file.path()});
    EXPECT_EQ(run.out, "Annual \"report\" \\ \xE9t\xE9");

    run = HostWith(QUILLET_FAKE_MODULE, {"--raw=Pages", file.path()});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("Pages is int32"), std::string::npos) << run.err;
    // A bare --raw takes no value: the field comes from --field, never from the next argument.
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--raw", "Content"},
                                                 {"--raw=Content", "--field", "Title"},
                                                 {"--raw=Content", "--csv"},
                                                 {"--raw=Content", file.path()}}) {
        std::vector<std::string> withFile = args;
        withFile.push_back(file.path());
        EXPECT_EQ(HostWith(QUILLET_FAKE_MODULE, withFile).code, 2);
    }
}

TEST(HostOutput, VersionNamesTheHostAndTheModule) {
    HostRun run = Host({"--version"});
    EXPECT_EQ(run.code, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u) << run.out;
    EXPECT_EQ(lines[0], std::string("quillet-host ") + QUILLET_VERSION);
    ASSERT_EQ(lines[1].rfind("module: ", 0), 0u) << lines[1];
    EXPECT_TRUE(std::filesystem::equivalent(lines[1].substr(8), QUILLET_MODULE_PATH)) << lines[1];

    run = HostWith(QUILLET_FAKE_MODULE, {"--version"});
    EXPECT_EQ(Lines(run.out).at(1), std::string("module: ") + QUILLET_FAKE_MODULE);
}

TEST(HostFields, NamesMatchWithoutLetterCaseAndSlipsGetASuggestion) {
    const TempFile text(EmptyDocument(), ".docx");
    HostRun run =
        HostWith(QUILLET_MODULE_PATH, {"--field", "title", "--field", "CONTENT", text.path()});
    EXPECT_EQ(run.code, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out;
    EXPECT_EQ(lines[1].rfind("  Title ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind("  Content ", 0), 0u) << lines[2];

    const std::pair<const char*, const char*> slips[] = {{"titel", "Title"},
                                                         {"Contnet", "Content"},
                                                         {"lastmodifed", "LastModifiedBy"},
                                                         {"sheet", "Sheets"}};
    for (const auto& [slip, nearest] : slips) {
        run = HostWith(QUILLET_MODULE_PATH, {"--field", slip, text.path()});
        EXPECT_EQ(run.code, 2);
        EXPECT_NE(
            run.err.find("no field '" + std::string(slip) + "'; did you mean '" + nearest + "'?"),
            std::string::npos)
            << run.err;
    }
}

// A copy of the host laid out as the Linux package installs it: bin/ and lib/quillet/.
TEST(HostModule, FoundBesideTheHostOrInTheLibraryFolder) {
    const TempFolder root;
    const std::string host = root.Folder("bin") + "/quillet-host";
    const std::string library = root.Folder("lib/quillet") + "/Quillet.wdx";
    std::filesystem::copy_file(QUILLET_HOST_PATH, host);
    std::filesystem::copy_file(QUILLET_MODULE_PATH, library);

    HostRun run = RunShell("cd / && " + ShellQuote(host) + " --detect");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, std::string(Expression) + "\n");
    run = RunShell(ShellQuote(host) + " --version");
    EXPECT_EQ(Lines(run.out).at(1), "module: " + library);

    // One beside the host comes first.
    std::filesystem::copy_file(QUILLET_FAKE_MODULE, root.path() + "/bin/Quillet.wdx");
    run = RunShell(ShellQuote(host) + " --detect");
    EXPECT_EQ(run.out, "EXT=\"FAKE\"\n");

    std::filesystem::remove(root.path() + "/bin/Quillet.wdx");
    std::filesystem::remove(library);
    run = RunShell(ShellQuote(host) + " --detect");
    EXPECT_EQ(run.code, 3);
    EXPECT_NE(run.err.find("no module found"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(library), std::string::npos) << run.err;
}

TEST(HostProgress, UpdatesOneLineOnATerminalForManyFiles) {
    const TempFolder folder;
    for (int i = 0; i < 51; ++i)
        folder.Add("f" + std::to_string(100 + i) + ".fake");
    // script(1) gives the host a terminal for standard error; its output is what the terminal got.
    const std::string host =
        HostCommand({"--module", QUILLET_FAKE_MODULE, "--field", "Title", folder.path()});
    HostRun run = RunShell("script -qec " + ShellQuote(host + " >/dev/null") + " /dev/null");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("\r[1/51] "), std::string::npos) << run.out;
    const size_t last = run.out.find("\r[51/51] ");
    ASSERT_NE(last, std::string::npos) << run.out;
    // Cleared at the end: blanks over the line, and the cursor back at its start.
    const size_t clear = run.out.find('\r', last + 1);
    ASSERT_NE(clear, std::string::npos);
    EXPECT_EQ(run.out.find_first_not_of(' ', clear + 1), run.out.size() - 1);
    EXPECT_EQ(run.out.back(), '\r');

    // Not for 50 files, nor when standard error is not a terminal.
    std::filesystem::remove(folder.path() + "/f150.fake");
    run = RunShell("script -qec " + ShellQuote(host + " >/dev/null") + " /dev/null");
    EXPECT_EQ(run.out.find("[1/"), std::string::npos) << run.out;
    run = RunShell(host);
    EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace quillet::test

namespace quillet::test {
namespace {

// A document whose title and body are `utf8`.
std::string ScriptDocument(const std::string& utf8) {
    return StoredZip({{"docProps/core.xml",
                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><cp:coreProperties>"
                       "<dc:title>" +
                           utf8 + "</dc:title></cp:coreProperties>"},
                      {"word/document.xml",
                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document><w:body>"
                       "<w:p><w:r><w:t>" +
                           utf8 + "</w:t></w:r></w:p></w:body></w:document>"}});
}

// The host asks through ContentGetValueW and prints UTF-8 whatever the locale; --ansi asks
// through ContentGetValue, whose texts are in the locale's character set.
TEST(HostUnicode, PrintsEveryCharacterUnlessAskedForTheAnsiEntryPoint) {
    const std::string title = u8"Отчёт 销售 😀";
    const TempFile file(ScriptDocument(title), ".docx");
    for (const char* locale : {"C", "C.UTF-8"}) {
        SCOPED_TRACE(locale);
        HostRun run = RunShell(WithEnvironment({{"LC_ALL", locale}}, {"--raw=Title", file.path()}));
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, title);
        run = RunShell(
            WithEnvironment({{"LC_ALL", locale}}, {"--raw=Content", "--buffer", "7", file.path()}));
        EXPECT_EQ(run.out, title + "\t\n");
    }
    HostRun run =
        RunShell(WithEnvironment({{"LC_ALL", "C"}}, {"--ansi", "--raw=Title", file.path()}));
    EXPECT_EQ(run.out, "????? ?? ?");
    run =
        RunShell(WithEnvironment({{"LC_ALL", "C.UTF-8"}}, {"--ansi", "--raw=Title", file.path()}));
    EXPECT_EQ(run.out, title);
    // A module without the W entry point is asked through ContentGetValue.
    const TempFile fake(FakeDocument("text"), ".fake");
    run = HostWith(QUILLET_FAKE_MODULE, {"--raw=Title", fake.path()});
    EXPECT_EQ(run.out, "Annual \"report\" \\ \xE9t\xE9");
}

}  // namespace
}  // namespace quillet::test

namespace quillet::test {
namespace {

struct FoldCase {
    char32_t letter;
    char32_t folded;
};

// Simple case folding as CaseFolding.txt gives it (status C and S), across the table's runs.
TEST(HostCaseFolding, FoldsAsUnicodeSimpleCaseFolding) {
    const FoldCase cases[] = {
        {U'A', U'a'},       {U'Z', U'z'},         {U'a', U'a'},   {U'1', U'1'}, {0xC9, 0xE9},  // É
        {0xB5, 0x3BC},                                             // micro sign to Greek mu
        {0x100, 0x101},     {0x12E, 0x12F},       {0x101, 0x101},  // a run two apart
        {0x130, 0x130},  // I with dot: only full and Turkic foldings, none simple
        {0x1E9E, 0xDF},  // capital sharp s
        {0x212A, U'k'},  // Kelvin sign
        {0x3A3, 0x3C3},     {0x3C2, 0x3C3},  // sigma and final sigma
        {0x416, 0x436},                      // Cyrillic Zhe
        {0x10A0, 0x2D00},                    // Georgian
        {0xAB70, 0x13A0},                    // Cherokee small letters fold to the capitals
        {0x10400, 0x10428},                  // Deseret, four bytes of UTF-8
        {0x1E921, 0x1E943},                  // Adlam, the last run
        {0x1F600, 0x1F600}, {0x10FFFF, 0x10FFFF},
    };
    for (const FoldCase& test : cases)
        EXPECT_EQ(static_cast<uint32_t>(host::FoldCase(test.letter)),
                  static_cast<uint32_t>(test.folded))
            << std::hex << static_cast<uint32_t>(test.letter);

    EXPECT_EQ(host::FoldUtf8(u8"MONTRÉAL Ωμέγα ǅ"), u8"montréal ωμέγα ǆ");
    EXPECT_EQ(host::FoldUtf8("CAF\xC9 \xFF"), "caf\xC9 \xFF") << "bytes that are not UTF-8 stay";
    const std::pair<const char*, size_t> tails[] = {
        {"ab", 0},           {"ab\xC3", 1}, {"ab\xE2\x82", 2}, {"ab\xE2\x82\xAC", 0},
        {"\xF0\x9F\x98", 3}, {"ab\x80", 0}, {"ab\xFF", 0},
    };
    for (const auto& [text, unfinished] : tails)
        EXPECT_EQ(host::UnfinishedUtf8Tail(text), unfinished) << text;
}

// A package whose body is one paragraph of `text`, for the real module.
std::string WordDocument(const std::string& text) {
    return StoredZip({{"word/document.xml",
                       "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/"
                       "2006/main\"><w:body><w:p><w:r><w:t>" +
                           text + "</w:t></w:r></w:p></w:body></w:document>"}});
}

// One command line and what the host must answer, run in the corpus folder below.
struct Behaviour {
    const char* what;
    std::vector<std::string> args;
    int code;
    std::string out;
    std::string err;
    std::string input = std::string();        // a corpus file for standard input
    std::string environment = std::string();  // assignments before the command
    bool terminal = false;                    // stdout (and stderr) a terminal, via script(1)
};

// Damaged and odd files beside real ones, each behaviour one example. Each row was checked
// against what exiftool 12.57 and ripgrep 13 do with the same files.
TEST(HostBehaviour, AsGrepAndExiftoolUsersExpect) {
    const TempFolder corpus;
    const std::string report = WordDocument(u8"Quarterly report: new office in Montréal");
    corpus.Add("damaged/text.docx", "hello\n");
    corpus.Add("damaged/empty.docx", "");
    corpus.Add("damaged/truncated.docx", report.substr(0, report.size() / 2));
    corpus.Add("damaged/other.docx", StoredZip({{"readme.txt", "not a document"}}));
    corpus.Add("docs/report.docx", report);
    corpus.Add("docs/.draft.docx", WordDocument("draft of the report"));
    corpus.Add("docs/.old/old.docx", WordDocument("old report"));
    corpus.Add("notes/readme.txt", "text");
    corpus.Add("notes/sub/deep.docx");
    corpus.Add("caf\xE9.docx");
    std::string longText;
    for (int i = 0; i < 30; ++i)
        longText += "0123456789";
    corpus.Add("long.docx", WordDocument(longText));
    corpus.Add("t.fake", FakeDocument("the content|the rest of the text"));
    const std::string fake = QUILLET_FAKE_MODULE;
    const std::string fakeWithText = QUILLET_FAKE_WITH_TEXT_MODULE;
    const std::string damaged =
        "quillet-host: damaged/empty.docx: not a readable package\n"
        "quillet-host: damaged/other.docx: not a readable package\n"
        "quillet-host: damaged/text.docx: not a readable package\n"
        "quillet-host: damaged/truncated.docx: not a readable package\n";
    const std::string longContent = longText + "\\t\\n";

    const Behaviour behaviours[] = {
        {"damaged files, the table", {"damaged"}, 4, "", damaged},
        {"damaged files, CSV",
         {"--csv", "--field", "Title", "damaged"},
         4,
         "file,Title\r\n",
         damaged},
        {"damaged file, JSON",
         {"--json", "damaged/text.docx"},
         4,
         "{\"file\":\"damaged/text.docx\",\"error\":\"not a readable package\"}\n",
         "quillet-host: damaged/text.docx: not a readable package\n"},
        {"damaged file, raw",
         {"--raw=Content", "damaged/truncated.docx"},
         4,
         "",
         "quillet-host: damaged/truncated.docx: not a readable package\n"},
        {"damaged file, grep: 4 weighs more than no match",
         {"--grep", "x", "damaged/other.docx"},
         4,
         "",
         "quillet-host: damaged/other.docx: not a readable package\n"},
        {"a folder without documents is said",
         {"notes"},
         0,
         "",
         "quillet-host: notes: no document the module reads in this folder; -r reads its 1 "
         "subfolder\n"},
        {"-r passes over hidden files and folders",
         {"-r", "--grep", "report", "docs"},
         0,
         "docs/report.docx\n",
         ""},
        {"--hidden takes them",
         {"-r", "--hidden", "--grep", "report", "docs"},
         0,
         "docs/.draft.docx\ndocs/.old/old.docx\ndocs/report.docx\n",
         ""},
        {"-i folds every letter",
         {"-ri", "--grep", u8"MONTRÉAL", "docs"},
         0,
         "docs/report.docx\n",
         ""},
        {"-i over pieces that cut a character (ANSI, 2 bytes a piece)",
         {"-i", "--ansi", "--buffer", "3", "--grep", u8"MONTRÉAL", "docs/report.docx"},
         0,
         "docs/report.docx\n",
         "",
         "",
         "LC_ALL=C.UTF-8"},
        {"several --grep: any of them",
         {"--grep", "zzz", "-e", "office", "docs/report.docx"},
         0,
         "docs/report.docx\n",
         ""},
        {"--grep reads \"Text\" where the module lists it",
         {"--module", fakeWithText, "--grep", "rest", "t.fake"},
         0,
         "t.fake\n",
         ""},
        {"--grep reads \"Content\" where it has no \"Text\"",
         {"--module", fake, "--grep", "content", "t.fake"},
         0,
         "t.fake\n",
         ""},
        {"a full text cut to the terminal's line",
         {"--field", "Content", "long.docx"},
         0,
         "long.docx\n  Content               fulltext  \"" + longText.substr(0, 40) +
             u8"…\" (302 chars; all: --raw=Content)\n",
         "",
         "",
         "COLUMNS=110",
         true},
        {"a pipe gets it whole",
         {"--field", "Content", "long.docx"},
         0,
         "long.docx\n  Content               fulltext  \"" + longContent + "\"\n",
         ""},
        {"JSON of a name that is not UTF-8",
         {"--json", "--field", "Title", "caf\xE9.docx"},
         0,
         "{\"file\":\"caf\xEF\xBF\xBD.docx\",\"fileBytes\":\"Y2Fm6S5kb2N4\",\"fields\":[{\"index\":"
         "14,\"name\":\"Title\",\"type\":\"string\",\"value\":\"\"}]}\n",
         ""},
        {"- reads standard input", {"--grep", "office", "-"}, 0, "-\n", "", "docs/report.docx"},
        {"- that is not a package",
         {"--field", "Title", "-"},
         4,
         "",
         "quillet-host: -: not a readable package\n",
         "damaged/text.docx"},
        {"--raw takes no separate value",
         {"--raw", "docs/report.docx"},
         2,
         "",
         "quillet-host: --raw prints one field: give it as --raw=FIELD or --raw --field FIELD\n"
         "Try 'quillet-host --help'.\n"},
    };
    for (const Behaviour& behaviour : behaviours) {
        SCOPED_TRACE(behaviour.what);
        std::string command = "cd " + ShellQuote(corpus.path()) + " && " + behaviour.environment +
                              " " + HostCommand(behaviour.args);
        if (!behaviour.input.empty())
            command += " <" + ShellQuote(behaviour.input);
        if (behaviour.terminal)
            command = "script -qec " + ShellQuote(command) + " /dev/null";
        HostRun run = RunShell(command);
        // A terminal ends its lines with CR LF.
        if (behaviour.terminal)
            run.out.erase(std::remove(run.out.begin(), run.out.end(), '\r'), run.out.end());
        EXPECT_EQ(run.code, behaviour.code);
        EXPECT_EQ(run.out, behaviour.out);
        EXPECT_EQ(run.err, behaviour.err);
    }
    const std::string help = Host({"--help"}).out;
    EXPECT_NE(
        help.find("\"Text\" field where it\n                       has one, else \"Content\""),
        std::string::npos)
        << help;
}

}  // namespace
}  // namespace quillet::test
