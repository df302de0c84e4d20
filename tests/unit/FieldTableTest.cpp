#include "plugin/FieldTable.h"

#include <gtest/gtest.h>

#include <cstring>

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
};

TEST(FieldTable, HoldsEveryFieldWithItsNameTypeAndNoUnits) {
    for (int32_t i = 0; i < FieldCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(FieldTable[i].name, Expected[i].name);
        EXPECT_EQ(FieldTable[i].type, Expected[i].type);
        EXPECT_STREQ(FieldTable[i].units, "");
    }
}

TEST(FieldTable, IndexNamesMatchTheRows) {
    EXPECT_STREQ(FieldTable[ModifiedField].name, "Modified");
    EXPECT_STREQ(FieldTable[DocSecurityLevelField].name, "DocSecurityLevel");
    EXPECT_STREQ(FieldTable[WordsField].name, "Words");
    EXPECT_STREQ(FieldTable[ContentField].name, "Content");
}

TEST(FieldTable, DetectionExpressionIsTheFourExtensions) {
    EXPECT_STREQ(DetectionExpression, "EXT=\"DOCX\" | EXT=\"XLSX\" | EXT=\"PPTX\" | EXT=\"PPSX\"");
    EXPECT_EQ(std::strlen(DetectionExpression), 49u);
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
