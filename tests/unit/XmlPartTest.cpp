#include "xml/XmlPart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

// An element carrying `count` attributes with distinct names.
std::string WithAttributes(int count) {
    std::string text = "<r";
    for (int i = 0; i < count; ++i)
        text += " a" + std::to_string(i) + "=\"\"";
    return text + "/>";
}

// The depth of the deepest element of a parsed tree, the root being 1, walked without recursion.
int DeepestElement(const TiXmlDocument& document) {
    int deepest = 0;
    int depth = 0;
    const TiXmlNode* node = document.RootElement();
    while (node != nullptr) {
        deepest = std::max(deepest, ++depth);
        const TiXmlElement* child = node->FirstChildElement();
        if (child != nullptr) {
            node = child;
            continue;
        }
        while (node != nullptr && node->NextSiblingElement() == nullptr) {
            node = node->Parent()->ToElement();
            --depth;
        }
        if (node != nullptr) {
            node = node->NextSiblingElement();
            --depth;
        }
    }
    return deepest;
}

// The parser itself refuses what is too deep or carries too many attributes, whatever way it is
// called: the guards are compiled into TinyXML, not only declared in its header.
TEST(TinyXmlGuards, AreInTheParserItself) {
    struct Case {
        std::string text;
        bool parses;
    };
    const Case cases[] = {
        {Nested(TIXML_MAX_ELEMENT_DEPTH), true},
        {Nested(TIXML_MAX_ELEMENT_DEPTH + 1), false},
        {WithAttributes(TIXML_MAX_ATTRIBUTES), true},
        {WithAttributes(TIXML_MAX_ATTRIBUTES + 1), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        TiXmlDocument document;
        document.Parse(c.text.c_str());
        EXPECT_EQ(!document.Error(), c.parses);
        if (!c.parses) {
            EXPECT_EQ(document.ErrorId(), TiXmlBase::TIXML_ERROR_PARSING_ELEMENT);
        }
    }
}

// Recent Word writes up to about 45 namespace declarations on its root; the attribute limit must
// leave ample room above that.
TEST(ParseXmlPart, LeavesRoomForTheAttributesOfRealRoots) {
    EXPECT_GE(MaxXmlAttributes, 128);
    std::string root = "<w:document";
    for (int i = 0; i < 45; ++i)
        root +=
            " xmlns:ns" + std::to_string(i) + "=\"http://example.com/" + std::to_string(i) + "\"";
    root += " mc:Ignorable=\"w14 w15\"><w:body/></w:document>";
    TiXmlDocument document;
    ASSERT_TRUE(ParseXmlPart(document, root));
    EXPECT_STREQ(document.RootElement()->Attribute("xmlns:ns44"), "http://example.com/44");
}

TEST(ParseXmlPart, RefusesPartsNestedTooDeep) {
    TiXmlDocument allowed;
    ASSERT_TRUE(ParseXmlPart(allowed, Nested(MaxXmlNesting)));
    EXPECT_EQ(DeepestElement(allowed), MaxXmlNesting);
    TiXmlDocument refused;
    EXPECT_FALSE(ParseXmlPart(refused, Nested(MaxXmlNesting + 1)));
    TiXmlDocument deep;
    EXPECT_FALSE(ParseXmlPart(deep, Nested(100000)));
}

// Every kind of node TinyXML reads outside elements, before the nesting or around it: the limit
// holds whatever the parser takes for the end of such a node.
TEST(ParseXmlPart, RefusesDeepNestingAfterAnyKindOfNode) {
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"", ""},
        {"<?xml version=\"1.0\"?>", ""},
        {"<?x>", ""},
        {"<?x > ", " ?>"},
        {"<!DOCTYPE x \"> ", " \">"},
        {"<!DOCTYPE x '> ", " '>"},
        {"<!-- <a><a> -->", ""},
        {"<![CDATA[<a><a>]]>", ""},
        {"<!ELEMENT a ANY>", ""},
        {"<!x>", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.before) + "..." + c.after);
        TiXmlDocument allowed;
        ASSERT_TRUE(ParseXmlPart(allowed, c.before + Nested(MaxXmlNesting) + c.after));
        EXPECT_EQ(DeepestElement(allowed), MaxXmlNesting);
        TiXmlDocument refused;
        EXPECT_FALSE(ParseXmlPart(refused, c.before + Nested(MaxXmlNesting + 1) + c.after));
        TiXmlDocument deep;
        EXPECT_FALSE(ParseXmlPart(deep, c.before + Nested(60000) + c.after));
    }
}

// The limit counts ancestors, not elements: siblings at the deepest level and text next to them
// do not add to it.
TEST(ParseXmlPart, CountsAncestorsOnly) {
    std::string text = Nested(MaxXmlNesting - 1);
    text.insert(text.find('t'), "<b/><b>x</b><!-- c --><b/>");
    TiXmlDocument document;
    ASSERT_TRUE(ParseXmlPart(document, text));
    EXPECT_EQ(DeepestElement(document), MaxXmlNesting);
}

TEST(ParseXmlPart, BoundsTheAttributesOfEachElement) {
    TiXmlDocument atLimit;
    ASSERT_TRUE(ParseXmlPart(atLimit, WithAttributes(MaxXmlAttributes)));
    const std::string last = "a" + std::to_string(MaxXmlAttributes - 1);
    EXPECT_NE(atLimit.RootElement()->Attribute(last.c_str()), nullptr);
    TiXmlDocument above;
    EXPECT_FALSE(ParseXmlPart(above, WithAttributes(MaxXmlAttributes + 1)));
    TiXmlDocument many;
    EXPECT_FALSE(ParseXmlPart(many, WithAttributes(40000)));
    // The limit is per element: every element of a part may carry that many.
    const std::string child = WithAttributes(MaxXmlAttributes).replace(1, 1, "c");
    TiXmlDocument each;
    EXPECT_TRUE(ParseXmlPart(each, "<p>" + child + child + child + "</p>"));
}

TEST(ParseXmlPart, RefusesDuplicateAttributes) {
    struct Case {
        const char* text;
        bool parses;
    };
    const Case cases[] = {
        {"<r a=\"1\" b=\"2\"/>", true},
        {"<r a=\"1\" b=\"2\" a=\"3\"/>", false},
        {"<r a=\"1\" a=\"1\"/>", false},
        {"<r a=\"1\" A=\"1\"/>", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TiXmlDocument document;
        EXPECT_EQ(ParseXmlPart(document, c.text), c.parses);
    }
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
