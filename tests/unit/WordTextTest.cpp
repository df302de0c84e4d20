#include <gtest/gtest.h>

#include "unit/TextFixtures.h"

namespace quillet::test {
namespace {

std::string WordContent(const std::string& bodyChildren) {
    PackageBuilder package;
    package.AddDeflated("word/document.xml", WordDocument(bodyChildren));
    return ContentOf(package);
}

TEST(WordText, TakesRunTextsWithTabsAndEndsBlocksWithLineFeeds) {
    struct Case {
        const char* name;
        std::string body;
        std::string expected;
    };
    const Case cases[] = {
        {"two paragraphs",
         "<w:p><w:r><w:t>Hello</w:t></w:r><w:r><w:t>World</w:t></w:r></w:p>"
         "<w:p><w:r><w:t>Next</w:t></w:r></w:p>",
         "Hello\tWorld\t\nNext\t\n"},
        {"properties only", "<w:p><w:pPr><w:pStyle w:val=\"Title\"/></w:pPr></w:p>", "\n"},
        {"empty paragraph", "<w:p/><w:p></w:p><w:p><w:r><w:t>x</w:t></w:r></w:p>", "x\t\n"},
        {"single space", "<w:p><w:r><w:t xml:space=\"preserve\"> </w:t></w:r></w:p>", " \t\n"},
        {"condensed", "<w:p><w:r><w:t>  two   words  </w:t></w:r></w:p>", "two words\t\n"},
        {"table", "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>Cell</w:t></w:r></w:p></w:tc></w:tr></w:tbl>",
         "\n"},
        {"hyperlink",
         "<w:p><w:hyperlink><w:r><w:t>Link</w:t></w:r></w:hyperlink><w:r><w:t>after</w:t></w:r>"
         "</w:p>",
         "after\t\n"},
        {"other names", "<w:p><w:r><t>a</t><w:T>b</w:T><x:t>c</x:t><w:tab/></w:r></w:p>", "\n"},
        {"entities", "<w:p><w:r><w:t>R&amp;D &lt;ok&gt;</w:t></w:r></w:p>", "R&D <ok>\t\n"},
        {"text not first", "<w:p><w:r><w:t><!--c-->x</w:t></w:r></w:p>", " \t\n"},
        {"nothing", "", " "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WordContent(c.body), c.expected);
    }
}

TEST(WordText, UnreadableDocumentsGiveOneSpace) {
    PackageBuilder broken;
    broken.AddStored("word/document.xml", "<w:document><w:body><w:p></w:body>");
    EXPECT_EQ(ContentOf(broken), " ");
    PackageBuilder noBody;
    noBody.AddStored("word/document.xml",
                     "<w:document><body><w:p><w:r><w:t>x</w:t></w:r></w:p>"
                     "</body></w:document>");
    EXPECT_EQ(ContentOf(noBody), " ");
    PackageBuilder empty;
    empty.AddStored("word/document.xml", "");
    EXPECT_EQ(ContentOf(empty), " ");
}

TEST(ContentDispatch, FirstMarkerDecidesTheKind) {
    PackageBuilder both;
    both.AddStored("xl/workbook.xml", "<workbook/>")
        .AddStored("Word/Document.XML", WordDocument("<w:p><w:r><w:t>doc</w:t></w:r></w:p>"));
    EXPECT_EQ(ContentOf(both), "doc\t\n");

    PackageBuilder none;
    none.AddStored("docProps/app.xml", ExtendedProperties("<Pages>1</Pages>"));
    EXPECT_EQ(ContentOf(none), "");
}

}  // namespace
}  // namespace quillet::test
