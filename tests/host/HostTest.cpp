// Runs the built quillet-host as a user would and checks what it prints and how it exits,
// against the real module and against a stand-in module with known answers.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

const char* const Expression = "EXT=\"DOCX\" | EXT=\"XLSX\" | EXT=\"PPTX\" | EXT=\"PPSX\"";

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
    ASSERT_EQ(rows.size(), 45u);
    EXPECT_EQ(rows[0].name, "Category");
    EXPECT_EQ(rows[0].type, "string");
    EXPECT_EQ(rows[3].type, "datetime");
    EXPECT_EQ(rows[18].type, "int32");
    EXPECT_EQ(rows[21].type, "boolean");
    EXPECT_EQ(rows[40].type, "time");
    EXPECT_EQ(rows[44].name, "Content");
    EXPECT_EQ(rows[44].type, "fulltext");

    const HostRun fake = HostWith(QUILLET_FAKE_MODULE, {"--fields"});
    EXPECT_EQ(Lines(fake.out).size(), 14u);
    EXPECT_NE(fake.out.find("Pages"), std::string::npos);
    EXPECT_NE(fake.out.find("units: pages|sheets"), std::string::npos);
}

TEST(Host, MissingFileExitsOneAndStillPrintsTheOthers) {
    const TempFile text("just text", ".docx");
    const std::string missing = MissingPath();
    const HostRun run = HostWith(QUILLET_MODULE_PATH, {missing, text.path()});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find(missing), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("not found"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find(missing), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(text.path()), std::string::npos) << run.out;
    EXPECT_EQ(PlainValue(run.out, "Title"), "\"\"");

    const HostRun json = HostWith(QUILLET_FAKE_MODULE, {"--json", missing});
    EXPECT_EQ(json.code, 1);
    EXPECT_NE(json.out.find("\"error\":\"file not found\""), std::string::npos) << json.out;
}

TEST(Host, BadOptionsExitTwo) {
    const TempFile text("just text", ".docx");
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
        {"--field", "45", text.path()},
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

TEST(Host, PlainTextFileAnswersEmptyValuesOfEveryForm) {
    const TempFile text("just text, no package\n", ".docx");
    const HostRun run = HostWith(QUILLET_MODULE_PATH, {text.path()});
    EXPECT_EQ(run.code, 0) << run.err;
    const std::vector<Row> rows = Table(QUILLET_MODULE_PATH);
    ASSERT_EQ(rows.size(), 45u);
    EXPECT_EQ(Lines(run.out).size(), 46u);
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
    const TempFile file("anything", ".fake");
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
    // One line per field and one for the file: no text broke a line.
    EXPECT_EQ(Lines(run.out).size(), 15u);
}

TEST(Host, ChosenFieldsByNameAndIndexInTheGivenOrder) {
    const TempFile text("just text", ".docx");
    HostRun run = HostWith(QUILLET_MODULE_PATH, {"--field", "Title", "--field", "44", text.path()});
    EXPECT_EQ(run.code, 0) << run.err;
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out;
    EXPECT_EQ(lines[0], text.path());
    EXPECT_EQ(lines[1].rfind("  Title ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2].rfind("  Content ", 0), 0u) << lines[2];

    const TempFile file("anything", ".fake");
    run = HostWith(QUILLET_FAKE_MODULE, {"--field=10", "--field", "Pages", file.path()});
    lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out;
    EXPECT_EQ(PlainValue(lines[1] + "\n", "Body"), "\"line one\\tcol\\nline two\\x01 end\"");
    EXPECT_EQ(PlainValue(lines[2] + "\n", "Pages"), "-7");
}

TEST(Host, PagesTheSameTextWithAnyBuffer) {
    const TempFile file("anything", ".fake");
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
    for (const auto& entry : std::filesystem::directory_iterator(samples, error))
        if (entry.is_regular_file())
            files.push_back(entry.path().string());
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
    const TempFile text("just text", ".docx");
    const std::string missing = MissingPath();
    std::vector<std::string> lines =
        FlattenedJson({"--module", QUILLET_MODULE_PATH, "--json", text.path(), missing});
    ASSERT_EQ(lines.size(), 46u);
    const std::vector<Row> rows = Table(QUILLET_MODULE_PATH);
    ASSERT_EQ(rows.size(), 45u);
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string expectedKind = rows[i].type == "string" || rows[i].type == "fulltext"
                                             ? "str\t''"
                                         : rows[i].type == "boolean" ? "bool\tFalse"
                                                                     : "NoneType\tNone";
        EXPECT_EQ(lines[i], text.path() + "\t" + std::to_string(i) + "\t" + rows[i].name + "\t" +
                                rows[i].type + "\t" + expectedKind);
    }
    EXPECT_EQ(lines[45], "error\t" + missing + "\tfile not found");

    lines = FlattenedJson({"--module", QUILLET_MODULE_PATH, "--json", "--detect", "--fields"});
    ASSERT_EQ(lines.size(), 46u);
    EXPECT_EQ(lines[0], std::string("detect\t'") + Expression + "'");
    EXPECT_EQ(lines[45], "row\t44\tContent\tfulltext\t9\t''");

    const TempFile file("anything", ".fake");
    lines =
        FlattenedJson({"--module", QUILLET_FAKE_MODULE, "--json", "--buffer", "3", file.path()});
    ASSERT_EQ(lines.size(), 14u);
    const std::string prefix = file.path() + "\t";
    EXPECT_EQ(lines[0], prefix + "0\tTitle\tstring\tstr\t'Annual \"report\" \\\\ \\xe9t\\xe9'");
    EXPECT_EQ(lines[1], prefix + "1\tCreated\tdatetime\tstr\t'2013-04-26T19:52:25Z'");
    EXPECT_EQ(lines[4], prefix + "4\tTotalTime\ttime\tstr\t'25:07:03'");
    EXPECT_EQ(lines[5], prefix + "5\tShared\tboolean\tbool\tTrue");
    EXPECT_EQ(lines[7], prefix + "7\tPages\tint32\tint\t-7");
    EXPECT_EQ(lines[8], prefix + "8\tWords\tint32\tNoneType\tNone");
    EXPECT_EQ(lines[10], prefix + "10\tBody\tfulltext\tstr\t'line one\\tcol\\nline two\\x01 end'");
    EXPECT_EQ(lines[12], prefix + "12\tEndless\tfulltext\tstr\t'x'\tcut=True");
    EXPECT_EQ(lines[13], prefix + "13\tOdd\tstring\tNoneType\tNone\tanswer=42");

    // Control characters escaped as \uXXXX, bytes from 0x80 on passed through.
    const HostRun raw =
        HostWith(QUILLET_FAKE_MODULE, {"--json", "--field", "Body", "--field", "0", file.path()});
    EXPECT_NE(raw.out.find("\"line one\\u0009col\\u000aline two\\u0001 end\""), std::string::npos)
        << raw.out;
    EXPECT_NE(raw.out.find("\"Annual \\\"report\\\" \\\\ \xE9t\xE9\""), std::string::npos)
        << raw.out;
}

}  // namespace
}  // namespace quillet::test
