#include "plugin/FieldTable.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "plugin/HostBuffer.h"

namespace quillet {
namespace {

struct ExpectedField {
    const char* name;
    int32_t type;
};

// The host's view of the table: names, types and indexes are fixed forever.
constexpr ExpectedField Expected[FieldCount] = {
    {"Category", 8},
    {"ContentStatus", 8},
    {"ContentType", 8},
    {"Created", 10},
    {"Creator", 8},
    {"Description", 8},
    {"Identifier", 8},
    {"Keywords", 8},
    {"Language", 8},
    {"LastModifiedBy", 8},
    {"LastPrinted", 10},
    {"Modified", 10},
    {"Revision", 8},
    {"Subject", 8},
    {"Title", 8},
    {"Version", 8},
    {"AppVersion", 8},
    {"Application", 8},
    {"Characters", 1},
    {"CharactersWithSpaces", 1},
    {"Company", 8},
    {"DigitalSig", 6},
    {"DigitalSigExt", 6},
    {"DocSecurityLevel", 1},
    {"HiddenSlides", 1},
    {"HyperlinkBase", 8},
    {"HyperlinksChanged", 6},
    {"Lines", 1},
    {"LinksUpToDate", 6},
    {"MMClips", 1},
    {"Manager", 8},
    {"Notes", 1},
    {"Pages", 1},
    {"Paragraphs", 1},
    {"PresentationFormat", 8},
    {"ScaleCrop", 8},
    {"SharedDoc", 6},
    {"Sheets", 1},
    {"Slides", 1},
    {"Template", 8},
    {"TotalTime", 5},
    {"TotalTimeMin", 1},
    {"Words", 1},
    {"Titles", 9},
    {"Content", 9},
    {"Text", 9},
};

TEST(FieldTable, HoldsEveryFieldWithItsNameTypeAndNoUnits) {
    for (size_t i = 0; i < FieldTable.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(FieldTable[i].name, Expected[i].name);
        EXPECT_EQ(FieldTable[i].type, Expected[i].type);
        EXPECT_STREQ(FieldTable[i].units, "");
    }
}

// Every row reads a member of its own: two rows writing one member would answer one field with
// another's value. TotalTime and TotalTimeMin show the same minutes by design.
TEST(FieldRows, EachFieldHasItsSourceAndMember) {
    for (const FieldRow& row : FieldRows) {
        SCOPED_TRACE(row.name);
        const int members = (row.coreText != nullptr) + (row.appText != nullptr) +
                            (row.appCount != nullptr) + (row.appFlag != nullptr);
        switch (row.source) {
            case FieldSource::Core:
                EXPECT_NE(row.coreText, nullptr);
                EXPECT_EQ(members, 1);
                EXPECT_NE(row.element, nullptr);
                break;
            case FieldSource::App:
                EXPECT_EQ(row.coreText, nullptr);
                EXPECT_EQ(members, 1);
                break;
            case FieldSource::Titles:
            case FieldSource::Content:
            case FieldSource::Text:
                EXPECT_EQ(members, 0);
                EXPECT_EQ(row.type, FieldFullText);
                break;
        }
    }
    for (size_t i = 0; i < std::size(FieldRows); ++i) {
        for (size_t j = i + 1; j < std::size(FieldRows); ++j) {
            const FieldRow& a = FieldRows[i];
            const FieldRow& b = FieldRows[j];
            const bool shared = (a.coreText != nullptr && a.coreText == b.coreText) ||
                                (a.appText != nullptr && a.appText == b.appText) ||
                                (a.appCount != nullptr && a.appCount == b.appCount) ||
                                (a.appFlag != nullptr && a.appFlag == b.appFlag);
            const bool minutes =
                std::string(a.name) == "TotalTime" && std::string(b.name) == "TotalTimeMin";
            EXPECT_EQ(shared, minutes) << a.name << " and " << b.name;
        }
    }
}

// The cells of a Markdown table row, trimmed; none for another line.
std::vector<std::string> TableCells(const std::string& line) {
    std::vector<std::string> cells;
    if (line.size() < 2 || line.front() != '|' || line.back() != '|') {
        return cells;
    }
    size_t start = 1;
    for (size_t bar = line.find('|', start); bar != std::string::npos;
         bar = line.find('|', start)) {
        const std::string cell = line.substr(start, bar - start);
        const size_t first = cell.find_first_not_of(' ');
        const size_t last = cell.find_last_not_of(' ');
        cells.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
        start = bar + 1;
    }
    return cells;
}

// The README's table of fields is what the module answers: index, name, type and source.
TEST(FieldRows, MatchTheReadmeTable) {
    std::ifstream readme(std::string(QUILLET_SOURCE_DIR) + "/README.md");
    ASSERT_TRUE(readme) << "no README";
    std::string line;
    size_t found = 0;
    while (std::getline(readme, line)) {
        // | index | name | type code and word | source |
        const std::vector<std::string> cells = TableCells(line);
        if (cells.size() != 4 || cells[0].empty() ||
            cells[0].find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const auto index = static_cast<size_t>(std::stoi(cells[0]));
        ASSERT_LT(index, std::size(FieldRows)) << line;
        const FieldRow& field = FieldRows[index];
        EXPECT_EQ(cells[1], field.name) << line;
        EXPECT_EQ(std::stoi(cells[2]), field.type) << line;
        if (field.element != nullptr) {
            EXPECT_NE(cells[3].find("`" + std::string(field.element) + "`"), std::string::npos)
                << line;
        }
        EXPECT_EQ(index, found) << "rows out of order at " << line;
        ++found;
    }
    EXPECT_EQ(found, std::size(FieldRows));
}

// The four extensions hosts always had come first, so a short buffer still shows them; the
// whole expression fits the 256 bytes even the smallest host buffers hold.
TEST(FieldTable, DetectionExpressionStartsWithTheFourExtensions) {
    EXPECT_STREQ(DetectionExpression,
                 "EXT=\"DOCX\" | EXT=\"XLSX\" | EXT=\"PPTX\" | EXT=\"PPSX\" | EXT=\"DOCM\" | "
                 "EXT=\"DOTX\" | EXT=\"DOTM\" | EXT=\"XLSM\" | EXT=\"XLTX\" | EXT=\"XLTM\" | "
                 "EXT=\"PPTM\" | EXT=\"POTX\" | EXT=\"POTM\" | EXT=\"PPSM\"");
    EXPECT_LT(std::strlen(DetectionExpression), 256u);
}

TEST(CopyToHostBuffer, CutsAtTheLimitAndTerminates) {
    struct Case {
        const char* text;
        int64_t limit;
        const char* expected;
        size_t written;
    };
    const Case cases[] = {
        {"abc", 9, "abc", 4}, {"abcdef", 3, "abc", 4}, {"abc", 3, "abc", 4},
        {"abc", 0, "", 1},    {"", 5, "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        char buffer[16];
        std::memset(buffer, 'x', sizeof buffer);
        CopyToHostBuffer(buffer, c.text, c.limit);
        EXPECT_STREQ(buffer, c.expected);
        EXPECT_EQ(buffer[c.written], 'x') << "wrote past the terminator";
    }
}

TEST(CopyToHostBuffer, NegativeLimitWritesNothing) {
    char buffer[4] = {'x', 'x', 'x', 'x'};
    CopyToHostBuffer(buffer, "abc", -1);
    EXPECT_EQ(std::string(buffer, 4), "xxxx");
    CopyToHostBuffer(nullptr, "abc", 10);  // must not crash
}

}  // namespace
}  // namespace quillet
