#include "xml/TextConversion.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"

namespace quillet {
namespace {

using platform::CodePageAscii;
using platform::CodePageUtf8;
using platform::CodePageWindows1252;
using platform::Utf8ToCodePage;

TEST(Utf8ToCodePage, ConvertsAsWindowsDoesWithoutFlags) {
    struct Case {
        const char* utf8;
        unsigned codePage;
        std::string expected;
    };
    const Case cases[] = {
        {"", CodePageWindows1252, ""},
        {"plain ASCII 123 <&>", CodePageWindows1252, "plain ASCII 123 <&>"},
        {"Caf\xC3\xA9", CodePageWindows1252, "Caf\xE9"},
        {"\xE2\x82\xAC", CodePageWindows1252, "\x80"},  // the euro sign
        {"\xE6\x97\xA5", CodePageWindows1252, "?"},     // a CJK character
        {"a\xFF"
         "b",
         CodePageWindows1252, "a?b"},          // malformed byte
        {"a\xC3", CodePageWindows1252, "a?"},  // truncated sequence
        {"Caf\xC3\xA9", CodePageUtf8, "Caf\xC3\xA9"},
        {"a\xFF"
         "b",
         CodePageUtf8,
         "a\xEF\xBF\xBD"
         "b"},
        {"\xF0\x9F\x98\x80", CodePageUtf8, "\xF0\x9F\x98\x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        SCOPED_TRACE(c.codePage);
        EXPECT_EQ(Utf8ToCodePage(c.utf8, c.codePage), c.expected);
    }
}

#if !defined(_WIN32)
// Windows maps a missing character to a best fit where it has one ("e" for "\xC3\xA9" in ASCII);
// elsewhere it becomes '?', and each maximal ill-formed subsequence one replacement character.
TEST(Utf8ToCodePage, MissingCharactersBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCodePage("Caf\xC3\xA9", CodePageAscii), "Caf?");
    EXPECT_EQ(Utf8ToCodePage("\xED\xA0\x80", CodePageWindows1252), "???");  // encoded surrogate
    EXPECT_EQ(Utf8ToCodePage("\xC4\x81", CodePageWindows1252), "?");
}
#endif

TEST(Utf8ToAnsi, PlainAsciiPassesInAnyCodePage) {
    EXPECT_EQ(Utf8ToAnsi(""), "");
    EXPECT_EQ(Utf8ToAnsi("Report 2013 & notes"), "Report 2013 & notes");
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutRescanning) {
    struct Case {
        const char* text;
        const char* search;
        const char* replacement;
        const char* expected;
    };
    const Case cases[] = {
        {"abc", "", "x", "abc"},        {"", "a", "x", ""},
        {"ab", "abc", "x", "ab"},       {"aaa", "aa", "b", "ba"},
        {"a&amp;", "&amp;", "&", "a&"}, {"xyx", "x", "xx", "xxyxx"},
        {"ABab", "ab", "", "AB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReplaceAll(c.text, c.search, c.replacement), c.expected);
    }
}

TEST(DecodeXmlEntities, DecodesTheFiveEntitiesInPassOrder) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"Tom &amp; Jerry", "Tom & Jerry"},
        {"&lt;&gt;", "<>"},
        {"&quot;x&quot;", "\"x\""},
        {"&apos;x&apos;", "'x'"},
        {"&amp;lt;", "<"},
        {"&amp;amp;", "&amp;"},
        {"&AMP;", "&AMP;"},
        {"&#39;", "&#39;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DecodeXmlEntities(c.text), c.expected);
    }
}

}  // namespace
}  // namespace quillet
