#include "xml/TextConversion.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/CodePage.h"
#include "support/ScopedCodePage.h"

namespace quillet {
namespace {

// The ANSI conversion as the host's code page makes it, page by page: Windows converts without
// flags, so a malformed sequence and a character the page lacks each become one default
// character.
TEST(Utf8ToProcessAnsi, ConvertsAsWindowsDoesWithoutFlags) {
    struct Case {
        const char* utf8;
        std::string expected;
    };
    const std::pair<const char*, std::vector<Case>> pages[] = {
        {"CP1252",
         {
             {"", ""},
             {"plain ASCII 123 <&>", "plain ASCII 123 <&>"},
             {"Caf\xC3\xA9", "Caf\xE9"},
             {"\xE2\x82\xAC", "\x80"},  // the euro sign
             {"\xE6\x97\xA5", "?"},     // a CJK character
             {"a\xFF"
              "b",
              "a?b"},            // malformed byte
             {"a\xC3", "a?"},  // truncated sequence
#if !defined(_WIN32)
             // Windows maps a missing character to a best fit where it has one; elsewhere it
             // becomes '?', and each maximal ill-formed subsequence one default character.
             {"\xED\xA0\x80", "???"},  // an encoded surrogate
             {"\xC4\x81", "?"},
#endif
         }},
        {"UTF-8",
         {
             {"Caf\xC3\xA9", "Caf\xC3\xA9"},
             {"a\xFF"
              "b",
              "a\xEF\xBF\xBD"
              "b"},
             {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
         }},
        {"ANSI_X3.4-1968",
         {
             {"Report 2013 & notes", "Report 2013 & notes"},
             {"Caf\xC3\xA9", "Caf?"},
         }},
    };
    for (const auto& [charset, cases] : pages) {
        const test::ScopedCodePage page(charset);
        if (!page.active()) {
            continue;  // not the system's code page here
        }
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(charset) + ": " + c.utf8);
            EXPECT_EQ(platform::Utf8ToProcessAnsi(c.utf8), c.expected);
        }
    }
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
