#include "xml/XmlPart.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

std::string Nested(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a x=\"1\">";
    text += "t";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}

TEST(MeasureXmlNesting, CountsOpenElementsOnly) {
    struct Case {
        std::string text;
        int expected;
    };
    const Case cases[] = {
        {"", 0},
        {"<?xml version=\"1.0\"?><r/>", 0},
        {"<r><a/><b></b></r>", 2},
        {"<r><!-- <a><b><c> --></r>", 1},
        {"<r><![CDATA[<a><b><c>]]></r>", 1},
        {"<r a=\"x>y\" b='/'><c/></r>", 1},
        {"<!DOCTYPE r><r><s><t/></s></r>", 2},
        {Nested(5), 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(MeasureXmlNesting(c.text, 100), c.expected);
    }
    EXPECT_EQ(MeasureXmlNesting(Nested(100000), 1000), 1001);
}

TEST(ParseXmlPart, RefusesPartsNestedTooDeep) {
    TiXmlDocument allowed;
    EXPECT_TRUE(ParseXmlPart(allowed, Nested(MaxXmlNesting)));
    TiXmlDocument refused;
    EXPECT_FALSE(ParseXmlPart(refused, Nested(MaxXmlNesting + 1)));
    TiXmlDocument deep;
    EXPECT_FALSE(ParseXmlPart(deep, Nested(100000)));
}

TEST(ParseXmlPart, ReportsParseErrors) {
    TiXmlDocument document;
    EXPECT_FALSE(ParseXmlPart(document, ""));
    TiXmlDocument broken;
    EXPECT_FALSE(ParseXmlPart(broken, "<a><b></a>"));
    TiXmlDocument good;
    EXPECT_TRUE(ParseXmlPart(good, "\xEF\xBB\xBF<a>caf\xC3\xA9</a>"));
    EXPECT_STREQ(FirstChildText(*good.FirstChildElement("a")), "caf\xC3\xA9");
}

// TinyXML steps over a UTF-8 sequence by its lead byte's length, so a text that ends inside one
// would be read past its terminating NUL: here into stale bytes that would close the element.
TEST(ParseXmlPart, StopsAtTheEndOfATextCutInsideAUtf8Sequence) {
    struct Case {
        const char* opening;  // an element's text, an attribute's value
        const char* closing;
    };
    for (const Case& c : {Case{"<a>", "</a>"}, Case{"<a b=\"", "\"/>"}}) {
        for (const char* lead : {"\xDB", "\xE9", "\xF0"}) {
            SCOPED_TRACE(std::string(c.opening) + lead);
            std::string text = c.opening + std::string(lead) + "..." + c.closing;
            const size_t end = text.find('.');
            text.resize(end);  // keeps "..." and the closing behind the NUL in the same buffer
            ASSERT_EQ(text.c_str()[end + 2], '.');
            TiXmlDocument document;
            EXPECT_FALSE(ParseXmlPart(document, text));
        }
    }
}

TEST(ParseXmlPart, PartsWithoutDeclarationAreUtf8) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"<a>caf&#233;</a>", "caf\xC3\xA9"},
        {"\n <a>caf&#xE9;</a>", "caf\xC3\xA9"},
        {"<?xml version=\"1.0\"?><a>caf&#233;</a>", "caf\xC3\xA9"},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>caf&#233;</a>", "caf\xC3\xA9"},
        // A part that names another encoding is read as TinyXML reads such parts.
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>caf&#233;</a>", "caf\xE9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TiXmlDocument document;
        ASSERT_TRUE(ParseXmlPart(document, c.text));
        EXPECT_STREQ(document.FirstChildElement("a")->GetText(), c.expected);
    }
}

}  // namespace
}  // namespace quillet
