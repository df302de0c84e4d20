// How the property readers take an element's text, read from a package as a request reads it.
#include <gtest/gtest.h>

#include "props/FieldRows.h"
#include "props/ParseCount.h"
#include "props/PropertyRecords.h"
#include "unit/ArchiveFixture.h"

namespace quillet {
namespace {

std::string CorePart(const std::string& children, const std::string& root = "cp:coreProperties") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<" + root +
           " xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\""
           " xmlns:dc=\"http://purl.org/dc/elements/1.1/\">" +
           children + "</" + root + ">";
}

std::string AppPart(const std::string& children, const std::string& root = "Properties") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><" + root + ">" + children + "</" + root +
           ">";
}

// The records of a package holding the given parts (none where the text is empty), and a
// workbook part when `workbook`.
PropertyRecords RecordsOf(const std::string& core, const std::string& app, bool workbook = false) {
    test::PackageBuilder package;
    if (!core.empty())
        package.AddDeflated("docProps/core.xml", core);
    if (!app.empty())
        package.AddDeflated("docProps/app.xml", app);
    if (workbook)
        package.AddStored("xl/workbook.xml", "<workbook/>");
    const test::TempFile file(package.Build());
    PropertyRecords records;
    const auto archive = OpenArchiveFile(file.path().c_str());
    records.Load(archive.get());
    return records;
}

// The core record's text read from the element of that name.
std::string CoreText(const PropertyRecords& records, const std::string& element) {
    for (const FieldRow& row : FieldRows) {
        if (row.coreText != nullptr && element == row.element)
            return records.core.*row.coreText;
    }
    ADD_FAILURE() << "no core field reads " << element;
    return {};
}

TEST(CoreElements, TakeTheFirstChildTextOfTheNamedElement) {
    struct Case {
        const char* children;
        const char* element;
        const char* expected;
    };
    const Case cases[] = {
        {"<dc:title>  Two   words\n here  </dc:title>", "dc:title", "Two words here"},
        {"<dc:title>Q &amp; A &#x41;</dc:title>", "dc:title", "Q & A A"},
        {"<cp:keywords>lead<b>x</b>tail</cp:keywords>", "cp:keywords", "lead"},
        {"<cp:keywords><b>x</b>tail</cp:keywords>", "cp:keywords", ""},
        {"<cp:keywords><!-- c -->text</cp:keywords>", "cp:keywords", ""},
        {"<dc:creator></dc:creator><dc:creator>Second</dc:creator>", "dc:creator", ""},
        {"<dcterms:created xsi:type=\"dcterms:W3CDTF\">2013-04-26T19:52:25Z</dcterms:created>",
         "dcterms:created", "2013-04-26T19:52:25Z"},
        {"<x><dc:title>nested</dc:title></x>", "dc:title", ""},
        {"<dc:Title>case</dc:Title>", "dc:title", ""},
        {"<title>no prefix</title>", "dc:title", ""},
        {"<dc:title><![CDATA[ raw  <b> ]]></dc:title>", "dc:title", " raw  <b> "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.children);
        EXPECT_EQ(CoreText(RecordsOf(CorePart(c.children), ""), c.element), c.expected);
    }
}

TEST(CoreElements, PartsThatDoNotServeGiveEmptyTexts) {
    const std::string title = "<dc:title>T</dc:title>";
    EXPECT_EQ(RecordsOf(CorePart(title), "").core.title, "T");
    EXPECT_EQ(RecordsOf(CorePart(title, "core:coreProperties"), "").core.title, "");
    EXPECT_EQ(RecordsOf("", "").core.title, "");
    EXPECT_EQ(RecordsOf("<cp:coreProperties><dc:title>T</dc:title>", "").core.title, "");
    // A UTF-16 part reaches the parser cut at its first zero byte.
    EXPECT_EQ(RecordsOf(std::string("\xFF\xFE<\0c\0p\0", 8), "").core.title, "");
}

TEST(AppElements, TakeAnyRootAndExactNames) {
    EXPECT_EQ(RecordsOf("", AppPart("<Pages> 12 </Pages>")).app.pages, 12);
    EXPECT_EQ(RecordsOf("", AppPart("<Pages>12</Pages>", "Other")).app.pages, 12);
    EXPECT_EQ(RecordsOf("", AppPart("<pages>12</pages>")).app.pages, -1);
    EXPECT_FALSE(RecordsOf("", AppPart("<DigSig><blob/></DigSig>")).app.digSig);
    EXPECT_TRUE(RecordsOf("", AppPart("<DigSig>x</DigSig>")).app.digSig);
    EXPECT_EQ(RecordsOf("", AppPart("<Company>R&amp;D</Company>")).app.company, "R&D");
    EXPECT_EQ(RecordsOf("", "<!-- only a comment -->").app.pages, -1);
}

TEST(AppElements, SheetsAreTheTitlesVectorSizeOfAWorkbook) {
    const std::string vector =
        "<TitlesOfParts><vt:vector size=\"3\" baseType=\"lpstr\"><vt:lpstr>A</vt:lpstr>"
        "</vt:vector></TitlesOfParts>";
    EXPECT_EQ(RecordsOf("", AppPart(vector), true).app.sheets, 3);
    EXPECT_EQ(RecordsOf("", AppPart(vector), false).app.sheets, -1);
    EXPECT_EQ(RecordsOf("", AppPart("<TitlesOfParts><vt:vector/></TitlesOfParts>"), true).app.sheets,
              -1);
    EXPECT_EQ(RecordsOf("", AppPart("<vt:vector size=\"3\"/>"), true).app.sheets, -1);
    EXPECT_EQ(RecordsOf("", "not xml", true).app.sheets, -1);
}

TEST(AppElements, AFlagIsOnlyTheExactWordTrue) {
    EXPECT_TRUE(RecordsOf("", AppPart("<SharedDoc>true</SharedDoc>")).app.sharedDoc);
    for (const char* text : {"True", "TRUE", "1", "", "yes"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(RecordsOf("", AppPart(std::string("<SharedDoc>") + text + "</SharedDoc>"))
                         .app.sharedDoc);
    }
}

TEST(ParseCount, ReadsALeadingDecimalNumber) {
    struct Case {
        const char* text;
        int32_t expected;
    };
    const Case cases[] = {
        {"12", 12},
        {"12 pages", 12},
        {"-7", -7},
        {"+5", 5},
        {"3.9", 3},
        {"  42", 42},
        {"", -1},
        {"   ", -1},
        {"many", -1},
        {"-1", -1},
        {"0", 0},
        {"2147483647", 2147483647},
        {"2147483648", -1},
        {"-2147483649", -1},
        {"99999999999999999999", -1},
        {"0x10", 0},
        {"2abc", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseCount(c.text), c.expected);
    }
}

}  // namespace
}  // namespace quillet
