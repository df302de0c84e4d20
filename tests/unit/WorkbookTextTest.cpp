#include <gtest/gtest.h>

#include "unit/TextFixtures.h"

namespace quillet::test {
namespace {

std::string SheetCount(int count) {
    return ExtendedProperties("<TitlesOfParts><vt:vector size=\"" + std::to_string(count) +
                              "\" baseType=\"lpstr\"></vt:vector></TitlesOfParts>");
}

PackageBuilder Workbook(const std::string& sheet1, int sheetCount = 1,
                        const std::string& shared = "") {
    PackageBuilder package;
    package.AddStored("xl/workbook.xml", "<workbook/>")
        .AddDeflated("docProps/app.xml", SheetCount(sheetCount))
        .AddDeflated("xl/worksheets/sheet1.xml", Worksheet(sheet1));
    if (!shared.empty())
        package.AddDeflated("xl/sharedStrings.xml", shared);
    return package;
}

TEST(WorkbookText, WritesCellsRowByRowAndSheetEnds) {
    const std::string rows =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\"><v>42</v></c></row>"
        "<row r=\"2\"><c t=\"inlineStr\"><is><t>X</t></is></c>"
        "<c><f>B1*2</f><v>84</v></c></row>";
    const std::string shared = SharedStrings("1", "<si><t>Name</t></si>");
    EXPECT_EQ(ContentOf(Workbook(rows, 1, shared)), "Name\t42\t\nX\t \t84\t\n\n\n");
}

TEST(WorkbookText, CellKinds) {
    struct Case {
        const char* name;
        std::string rows;
        std::string expected;
    };
    const Case cases[] = {
        {"boolean date error",
         "<row><c t=\"b\"><v>1</v></c><c><v>41390</v></c><c t=\"e\"><v>#DIV/0!</v></c></row>",
         "1\t41390\t#DIV/0!\t\n\n\n"},
        {"cell without children", "<row><c r=\"A1\"/></row>", "\n\n\n"},
        {"row without cells", "<row r=\"1\"/><row/>", "\n\n"},
        {"empty value", "<row><c><v/></c><c t=\"inlineStr\"><is><r><t>rich</t></r></is></c></row>",
         " \t \t\n\n\n"},
        {"is in a cell of another type", "<row><c t=\"str\"><is><t>x</t></is></c></row>",
         " \t\n\n\n"},
        {"shared without a table", "<row><c t=\"s\"><v>0</v></c><c><v>5</v></c></row>",
         "5\t\n\n\n"},
        {"entities and condensing",
         "<row><c t=\"inlineStr\"><is><t> R&amp;D  x </t></is></c></row>", "R&D x\t\n\n\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ContentOf(Workbook(c.rows)), c.expected);
    }
}

TEST(WorkbookText, SharedStringLookups) {
    const std::string shared =
        SharedStrings("4", "<si><r><t>rich</t></r></si><si><t>B</t></si><si><t>C</t></si>");
    struct Case {
        const char* index;
        std::string expected;
    };
    const Case cases[] = {
        {"0", "\t"},                                 // rich text keeps an empty entry
        {"1", "B\t"}, {"2abc", "C\t"}, {"3", "\t"},  // declared but no item: empty entry
        {"4", " \t"}, {"-1", " \t"},   {"x", " \t"}, {"2147483647", " \t"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        const std::string rows = std::string("<row><c t=\"s\"><v>") + c.index + "</v></c></row>";
        EXPECT_EQ(ContentOf(Workbook(rows, 1, shared)), c.expected + "\n\n\n");
    }
}

TEST(WorkbookText, TablesWithoutAUsablePositiveCountAreNotLoaded) {
    const std::string rows = "<row><c t=\"s\"><v>0</v></c><c><v>1</v></c></row>";
    for (const char* count : {"0", "many", "-3"}) {
        SCOPED_TRACE(count);
        EXPECT_EQ(ContentOf(Workbook(rows, 1, SharedStrings(count, "<si><t>A</t></si>"))),
                  "1\t\n\n\n");
    }
    // More items than the count: only the first are kept.
    const std::string two = "<row><c t=\"s\"><v>0</v></c><c t=\"s\"><v>1</v></c></row>";
    EXPECT_EQ(ContentOf(Workbook(two, 1, SharedStrings("1", "<si><t>A</t></si><si><t>B</t></si>"))),
              "A\t \t\n\n\n");
}

TEST(WorkbookText, SheetCountsAndNumbering) {
    // A declared count is used as it is: missing sheets still end with their two line feeds.
    EXPECT_EQ(ContentOf(Workbook("<row><c><v>1</v></c></row>", 3)), "1\t\n\n\n\n\n\n\n");

    PackageBuilder misnamed;
    misnamed.AddStored("xl/workbook.xml", "<workbook/>")
        .AddStored("docProps/app.xml", SheetCount(1))
        .AddStored("xl/worksheets/sheet01.xml", Worksheet("<row><c><v>1</v></c></row>"))
        .AddStored("xl/worksheets/data.xml", Worksheet("<row><c><v>2</v></c></row>"));
    EXPECT_EQ(ContentOf(misnamed), "\n\n");
}

TEST(WorkbookText, WithoutADeclaredCountTheConsecutiveSheetsAreRead) {
    PackageBuilder package;
    package.AddStored("xl/workbook.xml", "<workbook/>")
        .AddStored("docProps/app.xml", ExtendedProperties("<Application>x</Application>"))
        .AddStored("xl/worksheets/sheet1.xml", Worksheet("<row><c><v>1</v></c></row>"))
        .AddStored("xl/worksheets/sheet2.xml", Worksheet("<row><c><v>2</v></c></row>"))
        .AddStored("xl/worksheets/sheet4.xml", Worksheet("<row><c><v>4</v></c></row>"));
    EXPECT_EQ(ContentOf(package), "1\t\n\n\n2\t\n\n\n");

    PackageBuilder noSheets;
    noSheets.AddStored("xl/workbook.xml", "<workbook/>");
    EXPECT_EQ(ContentOf(noSheets), " ");
}

TEST(WorkbookText, HostileSheetCountsAreBounded) {
    PackageBuilder package;
    package.AddStored("xl/workbook.xml", "<workbook/>")
        .AddStored("docProps/app.xml", SheetCount(2147483647));
    EXPECT_EQ(ContentOf(package).size(), 2u * 65535u);
}

}  // namespace
}  // namespace quillet::test
