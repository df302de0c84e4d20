#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "unit/TextFixtures.h"

namespace quillet::test {
namespace {

const char* const HelloShape =
    "<p:sp><p:nvSpPr><p:cNvPr id=\"2\" name=\"Title 1\"/><p:cNvSpPr/><p:nvPr/></p:nvSpPr>"
    "<p:spPr/><p:txBody><a:bodyPr/><a:p><a:r><a:rPr lang=\"en\"/><a:t>Hello</a:t></a:r></a:p>"
    "</p:txBody></p:sp>";

PackageBuilder Presentation(int slideCount, const std::vector<std::string>& slides) {
    PackageBuilder package;
    package.AddStored("ppt/presentation.xml", "<p:presentation/>");
    if (slideCount != 0) {
        package.AddDeflated(
            "docProps/app.xml",
            ExtendedProperties("<Slides>" + std::to_string(slideCount) + "</Slides>"));
    }
    for (size_t i = 0; i < slides.size(); ++i) {
        if (!slides[i].empty()) {
            package.AddDeflated("ppt/slides/slide" + std::to_string(i + 1) + ".xml", slides[i]);
        }
    }
    return package;
}

TEST(PresentationText, PrintsAndStripsTheThirdLevelBelowTheShapeTree) {
    // Each printed element ends with a line break, which becomes a space; each element is then
    // followed by one more. The three non-visual properties give six spaces and a line feed, the
    // empty shape properties nothing, the text body its body properties and the paragraph,
    // printed over several lines.
    EXPECT_EQ(ContentOf(Presentation(1, {Slide(HelloShape)})),
              "      \n"
              "  "
              "   Hello    "
              "\n");
}

TEST(PresentationText, SlideTextKeepsNoEntityReferences) {
    const std::string shape =
        "<p:sp><p:txBody><a:p><a:r><a:t>R&amp;D \"q\" it's &amp;lt;</a:t></a:r></a:p>"
        "</p:txBody></p:sp>";
    const std::string text = ContentOf(Presentation(1, {Slide(shape)}));
    EXPECT_NE(text.find("R&D \"q\" it's &lt;"), std::string::npos) << text;
}

TEST(PresentationText, SlidesJoinWithoutSeparator) {
    const std::string one = Slide("<p:sp><p:txBody><a:t>One</a:t></p:txBody></p:sp>");
    const std::string two = Slide("<p:sp><p:txBody><a:t>Two</a:t></p:txBody></p:sp>");
    EXPECT_EQ(ContentOf(Presentation(2, {one, two})), "One  \nTwo  \n");
    EXPECT_EQ(ContentOf(Presentation(3, {"", two})), "Two  \n");
    // Without a declared count the consecutive slides are read.
    EXPECT_EQ(ContentOf(Presentation(0, {one, two})), "One  \nTwo  \n");
    EXPECT_EQ(ContentOf(Presentation(0, {"", two})), " ");
}

TEST(PresentationText, EmptyAndBrokenSlides) {
    EXPECT_EQ(ContentOf(Presentation(1, {Slide("<p:sp><p:spPr/></p:sp>")})), " ");
    EXPECT_EQ(ContentOf(Presentation(1, {"<p:sld><p:cSld><p:spTree>"})), " ");
    EXPECT_EQ(ContentOf(Presentation(1, {"<p:sld><p:spTree><p:sp><p:txBody><a:t>x</a:t>"
                                         "</p:txBody></p:sp></p:spTree></p:sld>"})),
              " ");
}

TEST(PresentationText, HostileSlideCountsAreBounded) {
    const std::string one = Slide("<p:sp><p:txBody><a:t>One</a:t></p:txBody></p:sp>");
    EXPECT_EQ(ContentOf(Presentation(2147483647, {one})), "One  \n");
}

TEST(TitlesText, JoinsItemTextsEachAfterASpace) {
    struct Case {
        const char* name;
        std::string items;
        std::string expected;
    };
    const Case cases[] = {
        {"two sheets", "<vt:lpstr>Sheet1</vt:lpstr><vt:lpstr>Sheet2</vt:lpstr>", " Sheet1 Sheet2"},
        {"one", "<vt:lpstr>Report</vt:lpstr>", " Report"},
        {"empty item", "<vt:lpstr>A</vt:lpstr><vt:lpstr/><vt:lpstr>B</vt:lpstr>", " A B"},
        {"nested element", "<vt:variant><vt:lpstr>x</vt:lpstr></vt:variant><vt:lpstr>y</vt:lpstr>",
         " y"},
        {"entities decoded twice",
         "<vt:lpstr>Q&amp;A</vt:lpstr><vt:lpstr>x&amp;amp;lt;y</vt:lpstr>", " Q&A x<y"},
        {"none", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PackageBuilder package;
        package.AddDeflated("docProps/app.xml",
                            ExtendedProperties("<TitlesOfParts><vt:vector size=\"9\">" + c.items +
                                               "</vt:vector></TitlesOfParts>"));
        EXPECT_EQ(TitlesOf(package), c.expected);
    }
}

TEST(TitlesText, NeedsThePropertiesRootAndThePart) {
    PackageBuilder otherRoot;
    otherRoot.AddStored("docProps/app.xml",
                        "<Props><TitlesOfParts><vt:vector><vt:lpstr>A</vt:lpstr></vt:vector>"
                        "</TitlesOfParts></Props>");
    EXPECT_EQ(TitlesOf(otherRoot), "");
    PackageBuilder noPart;
    noPart.AddStored("word/document.xml", WordDocument(""));
    EXPECT_EQ(TitlesOf(noPart), "");
}

}  // namespace
}  // namespace quillet::test
