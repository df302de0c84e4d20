#include "oracle/WholeTreeReaders.h"

#include <gtest/gtest.h>

namespace quillet::test {
namespace {

TEST(StripMarkup, DropsTagsAndTurnsControlBytesIntoSpaces) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"a<b>c", "ac"},
        {"x>y", "xy"},
        {"a<b", "a"},
        {"<a><b/></a>", " "},
        {"", " "},
        {"a\nb\rc\td", "a b c d"},
        {"caf\xE9 \x80", "caf\xE9 \x80"},
        {"<a:p>\n<a:t>Hello</a:t>\n</a:p>\n", " Hello  "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StripMarkup(c.text), c.expected);
    }
}

TEST(DecodePrinterEscapes, DecodesOnceLeftToRight) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"R&amp;D", "R&D"},
        {"&amp;lt;", "&lt;"},
        {"&lt;&gt;&quot;&apos;", "<>\"'"},
        {"a&#x09;b", "a b"},
        {"&#x41;&#x7e;", "A~"},
        {"&#xZZ; &#x4; &#x41", "&#xZZ; &#x4; &#x41"},
        {"& &amp &AMP;", "& &amp &AMP;"},
        {"end&", "end&"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DecodePrinterEscapes(c.text), c.expected);
    }
}

}  // namespace
}  // namespace quillet::test
