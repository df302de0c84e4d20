// Element lookups over part texts, without a package around them.
#include <gtest/gtest.h>

#include "props/AppProperties.h"
#include "props/CoreProperties.h"
#include "props/ParseCount.h"

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

TEST(ReadCoreElement, TakesTheFirstChildTextOfTheNamedElement) {
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
        EXPECT_EQ(ReadCoreElement(CorePart(c.children), c.element), c.expected);
    }
}

TEST(ReadCoreElement, PartsThatDoNotServeGiveEmptyTexts) {
    const std::string title = "<dc:title>T</dc:title>";
    EXPECT_EQ(ReadCoreElement(CorePart(title), "dc:title"), "T");
    EXPECT_EQ(ReadCoreElement(CorePart(title, "core:coreProperties"), "dc:title"), "");
    EXPECT_EQ(ReadCoreElement("", "dc:title"), "");
    EXPECT_EQ(ReadCoreElement("<cp:coreProperties><dc:title>T</dc:title>", "dc:title"), "");
    // A UTF-16 part reaches the parser cut at its first zero byte.
    const std::string utf16("\xFF\xFE<\0c\0p\0", 8);
    EXPECT_EQ(ReadCoreElement(utf16, "dc:title"), "");
}

TEST(ReadAppElement, TakesAnyRootAndExactNames) {
    EXPECT_EQ(ReadAppElement(AppPart("<Pages> 12 </Pages>"), "Pages"), "12");
    EXPECT_EQ(ReadAppElement(AppPart("<Pages>12</Pages>", "Other"), "Pages"), "12");
    EXPECT_EQ(ReadAppElement(AppPart("<pages>12</pages>"), "Pages"), "");
    EXPECT_EQ(ReadAppElement(AppPart("<DigSig><blob/></DigSig>"), "DigSig"), "");
    EXPECT_EQ(ReadAppElement(AppPart("<Company>R&amp;D</Company>"), "Company"), "R&D");
    EXPECT_EQ(ReadAppElement("<!-- only a comment -->", "Pages"), "");
}

TEST(ReadTitlesOfPartsSize, ReadsTheVectorSizeAttribute) {
    const std::string vector =
        "<TitlesOfParts><vt:vector size=\"3\" baseType=\"lpstr\"><vt:lpstr>A</vt:lpstr>"
        "</vt:vector></TitlesOfParts>";
    EXPECT_EQ(ReadTitlesOfPartsSize(AppPart(vector)), "3");
    EXPECT_EQ(ReadTitlesOfPartsSize(AppPart("<TitlesOfParts><vt:vector/></TitlesOfParts>")), "");
    EXPECT_EQ(ReadTitlesOfPartsSize(AppPart("<vt:vector size=\"3\"/>")), "");
    EXPECT_EQ(ReadTitlesOfPartsSize("not xml"), "");
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

TEST(ParseFlag, OnlyTheExactWordTrue) {
    EXPECT_TRUE(ParseFlag("true"));
    for (const char* text : {"True", "TRUE", "1", "", "true ", "yes"}) {
        EXPECT_FALSE(ParseFlag(text)) << text;
    }
}

}  // namespace
}  // namespace quillet
