// "Text" through the exports: one small package for each rule of what it reads, and the same
// through ContentGetValueW and under the bounds of a request.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/PackageBuilder.h"
#include "support/PluginModule.h"
#include "support/TempFile.h"

namespace quillet::test {
namespace {

constexpr int TextField = 45;
constexpr int ContentField = 44;

using Parts = std::vector<std::pair<std::string, std::string>>;

const std::string RelationshipBase =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

// A relationships part: each entry an id, a type's last word and a target.
std::string Rels(const std::vector<std::vector<std::string>>& entries) {
    std::string xml =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (const auto& e : entries) {
        xml += "<Relationship Id=\"" + e[0] + "\" Type=\"" + RelationshipBase + e[1] +
               "\" Target=\"" + e[2] + "\"/>";
    }
    return xml + "</Relationships>";
}

std::string Package(const Parts& parts) {
    PackageBuilder builder;
    for (const auto& [name, data] : parts) {
        builder.AddDeflated(name, data);
    }
    return builder.Build();
}

const std::string WordNamespaces =
    " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
    " xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\""
    " xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
    " xmlns:m=\"http://schemas.openxmlformats.org/officeDocument/2006/math\""
    " xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\""
    " xmlns:v=\"urn:schemas-microsoft-com:vml\"";

std::string Words(const std::string& text) {
    return "<w:p><w:r><w:t>" + text + "</w:t></w:r></w:p>";
}

// A document whose body holds `body`, with `extra` parts beside it.
Parts WordParts(const std::string& body, Parts extra = {}) {
    extra.emplace_back("word/document.xml", "<w:document" + WordNamespaces + "><w:body>" + body +
                                                "</w:body></w:document>");
    return extra;
}

// A part of the body's relationships, its root `root` holding `inner`.
Parts WithRelated(const std::string& body, const std::string& type, const std::string& root,
                  const std::string& inner) {
    return WordParts(body, {{"word/_rels/document.xml.rels", Rels({{"rId9", type, "extra.xml"}})},
                            {"word/extra.xml",
                             "<w:" + root + WordNamespaces + ">" + inner + "</w:" + root + ">"}});
}

const std::string SheetNamespace =
    " xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

// A workbook: its sheets' names and targets in workbook order, and the parts beside them.
Parts WorkbookParts(const std::vector<std::pair<std::string, std::string>>& sheets, Parts extra,
                    const std::string& prefix = "") {
    const std::string p = prefix.empty() ? "" : prefix + ":";
    const std::string declaration =
        prefix.empty() ? SheetNamespace
                       : " xmlns:" + prefix +
                             "=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\""
                             " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                             "relationships\"";
    std::string workbook = "<" + p + "workbook" + declaration + "><" + p + "sheets>";
    std::vector<std::vector<std::string>> rels = {{"rS", "sharedStrings", "sharedStrings.xml"}};
    for (size_t i = 0; i < sheets.size(); ++i) {
        const std::string id = "rId" + std::to_string(i + 1);
        workbook += "<" + p + "sheet name=\"" + sheets[i].first + "\" sheetId=\"" +
                    std::to_string(i + 1) + "\" r:id=\"" + id + "\"/>";
        const bool chart = sheets[i].second.find("chartsheets/") != std::string::npos;
        rels.push_back({id, chart ? "chartsheet" : "worksheet", sheets[i].second});
    }
    extra.emplace_back("xl/workbook.xml", workbook + "</" + p + "sheets></" + p + "workbook>");
    extra.emplace_back("xl/_rels/workbook.xml.rels", Rels(rels));
    return extra;
}

std::string Sheet(const std::string& rows) {
    return "<worksheet" + SheetNamespace + "><sheetData>" + rows + "</sheetData></worksheet>";
}

const std::string SlideNamespaces =
    " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
    " xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

std::string Slide(const std::string& tree) {
    return "<p:sld" + SlideNamespaces + "><p:cSld><p:spTree>" + tree +
           "</p:spTree></p:cSld></p:sld>";
}

std::string Shape(const std::string& paragraphs, const std::string& placeholder = "") {
    return "<p:sp><p:nvSpPr><p:cNvPr id=\"2\" name=\"s\"/><p:cNvSpPr/><p:nvPr>" + placeholder +
           "</p:nvPr></p:nvSpPr><p:txBody><a:bodyPr/>" + paragraphs + "</p:txBody></p:sp>";
}

std::string Para(const std::string& text) {
    return "<a:p><a:r><a:t>" + text + "</a:t></a:r></a:p>";
}

// A presentation listing `slides` (targets under ppt/) in this order, and the parts beside them.
Parts PresentationParts(const std::vector<std::string>& slides, Parts extra) {
    std::string list;
    std::vector<std::vector<std::string>> rels;
    for (size_t i = 0; i < slides.size(); ++i) {
        const std::string id = "rId" + std::to_string(i + 1);
        list += "<p:sldId id=\"" + std::to_string(256 + i) + "\" r:id=\"" + id + "\"/>";
        rels.push_back({id, "slide", slides[i]});
    }
    extra.emplace_back("ppt/presentation.xml", "<p:presentation" + SlideNamespaces +
                                                   "><p:sldIdLst>" + list +
                                                   "</p:sldIdLst></p:presentation>");
    extra.emplace_back("ppt/_rels/presentation.xml.rels", Rels(rels));
    return extra;
}

struct Case {
    const char* rule;
    Parts parts;
    std::string expected;
};

std::vector<Case> Cases() {
    const std::string sharedStrings =
        "<sst" + SheetNamespace +
        "><si><t>Plain</t></si><si><r><t>Hel</t></r><r><rPr><b/></rPr><t>lo</t></r>"
        "<rPh sb=\"0\" eb=\"1\"><t>ignored</t></rPh></si><si><t>a_x005F_x0041_ _x0041_</t></si>"
        "</sst>";
    return {
        {"a word split over two runs",
         WordParts("<w:p><w:r><w:t>Hel</w:t></w:r><w:r><w:rPr><w:b/>"
                   "</w:rPr><w:t>lo</w:t></w:r></w:p>"),
         "Hello\n"},
        {"a run of white space only is one space",
         WordParts("<w:p><w:r><w:t>a</w:t></w:r><w:r><w:t xml:space=\"preserve\"> </w:t></w:r>"
                   "<w:r><w:t>b</w:t></w:r></w:p>"),
         "a b\n"},
        {"a table: cells end with TAB, rows with LF",
         WordParts("<w:tbl><w:tblPr><w:tblCaption w:val=\"Sales\"/></w:tblPr><w:tr><w:tc>" +
                   Words("A") + Words("A2") + "</w:tc><w:tc>" + Words("B") +
                   "</w:tc></w:tr><w:tr><w:tc>" + Words("C") + "</w:tc></w:tr></w:tbl>"),
         "Sales\nA\nA2\tB\t\nC\t\n"},
        {"hyperlinks, content controls and smart tags",
         WordParts("<w:p><w:hyperlink r:id=\"rId5\"><w:r><w:t>link</w:t></w:r></w:hyperlink>"
                   "<w:smartTag><w:r><w:t>tag</w:t></w:r></w:smartTag></w:p><w:sdt><w:sdtPr>"
                   "<w:alias w:val=\"no\"/></w:sdtPr><w:sdtContent>" +
                   Words("control") + "</w:sdtContent></w:sdt>"),
         "linktag\ncontrol\n"},
        {"inserted text is text, deleted text and field codes are not",
         WordParts("<w:p><w:ins><w:r><w:t>new</w:t></w:r></w:ins><w:del><w:r><w:delText>old"
                   "</w:delText></w:r></w:del><w:r><w:instrText>PAGE</w:instrText></w:r></w:p>"),
         "new\n"},
        {"tabs, breaks, hyphens and equations; tab stops are no tabs",
         WordParts("<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr>"
                   "<w:r><w:t>a</w:t><w:tab/><w:t>b</w:t><w:br/><w:t>c</w:t><w:noBreakHyphen/>"
                   "<w:t>d</w:t><w:softHyphen/><w:t>e</w:t><w:cr/></w:r><m:oMath><m:r><m:t>x=1"
                   "</m:t></m:r></m:oMath></w:p>"),
         "a\tb\nc-de\nx=1\n"},
        {"a text box read once from mc:AlternateContent, with its picture's alternative text",
         WordParts("<w:p><w:r><w:t>Before</w:t></w:r><w:r><mc:AlternateContent><mc:Choice "
                   "Requires=\"wps\"><w:drawing><wp:anchor><wp:docPr id=\"1\" name=\"n\" "
                   "descr=\"A map\" title=\"Map\"/><wps:wsp><wps:txbx><w:txbxContent>" +
                   Words("Boxed") +
                   "</w:txbxContent></wps:txbx></wps:wsp></wp:anchor></w:drawing></mc:Choice>"
                   "<mc:Fallback><w:pict><v:textbox><w:txbxContent>" +
                   Words("Boxed") +
                   "</w:txbxContent></v:textbox></w:pict></mc:Fallback></mc:AlternateContent>"
                   "</w:r><w:r><w:t>After</w:t></w:r></w:p>"),
         "Before\nA map\nMap\nBoxed\nAfter\n"},
        {"a header", WithRelated(Words("Body"), "header", "hdr", Words("Head")), "Body\nHead\n"},
        {"a footnote",
         WithRelated(Words("Body"), "footnotes", "footnotes",
                     "<w:footnote w:id=\"1\">" + Words("Note") + "</w:footnote>"),
         "Body\nNote\n"},
        {"a comment",
         WithRelated(Words("Body"), "comments", "comments",
                     "<w:comment w:id=\"0\">" + Words("Remark") + "</w:comment>"),
         "Body\nRemark\n"},
        {"a prefix other than w:, and elements of other namespaces read into",
         {{"word/document.xml",
           "<q:document xmlns:q=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
           "<q:body><q:p><x:wrap xmlns:x=\"urn:other\"><q:r><q:t>in</q:t><x:t>out</x:t></q:r>"
           "</x:wrap></q:p></q:body></q:document>"}},
         "in\n"},
        {"the strict namespace",
         {{"word/document.xml",
           "<document xmlns=\"http://purl.oclc.org/ooxml/wordprocessingml/main\"><body><p><r><t>"
           "Strict</t></r></p></body></document>"}},
         "Strict\n"},
        {"a workbook: renamed sheets in workbook order, rich text, no app.xml",
         WorkbookParts(
             {{"Second", "worksheets/data.xml"}, {"First", "/xl/worksheets/other.xml"}},
             {{"xl/sharedStrings.xml", sharedStrings},
              {"xl/worksheets/data.xml",
               Sheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c><c r=\"B1\" t=\"s\"><v>2</v>"
                     "</c></row><row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><r><t>in</t></r><r>"
                     "<t>line</t></r></is></c><c r=\"B2\"><f>1+1</f><v>2</v></c><c r=\"C2\" "
                     "t=\"str\"><f>\"x\"</f><v>text</v></c><c t=\"b\"><v>1</v></c></row>")},
              {"xl/worksheets/_rels/data.xml.rels", Rels({{"rC", "comments", "../c1.xml"}})},
              {"xl/worksheets/other.xml", Sheet("<row><c t=\"s\"><v>0</v></c></row>")}}),
         "Second\nHello\ta_x0041_ A\t\ninline\t2\ttext\tTRUE\t\nFirst\nPlain\t\n"},
        {"x: prefixes, a chartsheet, cell comments",
         WorkbookParts(
             {{"Chart", "chartsheets/sheet1.xml"}, {"Data", "worksheets/sheet1.xml"}},
             {{"xl/worksheets/sheet1.xml",
               "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
               "main\"><x:sheetData><x:row><x:c><x:v>42</x:v></x:c></x:row></x:sheetData>"
               "</x:worksheet>"},
              {"xl/worksheets/_rels/sheet1.xml.rels", Rels({{"rC", "comments", "/xl/c1.xml"}})},
              {"xl/c1.xml", "<comments" + SheetNamespace +
                                "><authors><author>Ann</author></authors><commentList>"
                                "<comment ref=\"A1\" authorId=\"0\"><text><r><t>Check</t></r>"
                                "</text></comment></commentList></comments>"}},
             "x"),
         "Chart\nData\n42\t\nCheck\n"},
        {"a presentation: slides in list order, a table in a group, notes, a hidden slide",
         PresentationParts(
             {"slides/b.xml", "slides/a.xml"},
             {{"ppt/slides/a.xml",
               Slide(Shape(Para("Last") + "<a:p><a:r><a:t>one</a:t></a:r>"
                                          "<a:br/><a:r><a:t>two</a:t></a:r></a:p>"))},
              {"ppt/slides/b.xml",
               "<p:sld show=\"0\"" + SlideNamespaces +
                   "><p:cSld><p:spTree><p:grpSp><p:grpSp><p:graphicFrame><a:graphic>"
                   "<a:graphicData><a:tbl><a:tblPr><a:tableStyleId>{5C22544A}</a:tableStyleId>"
                   "</a:tblPr><a:tr><a:tc><a:txBody>" +
                   Para("Cell") +
                   "</a:txBody></a:tc></a:tr></a:tbl></a:graphicData></a:graphic>"
                   "</p:graphicFrame></p:grpSp></p:grpSp></p:spTree></p:cSld></p:sld>"},
              {"ppt/slides/_rels/b.xml.rels",
               Rels({{"rN", "notesSlide", "../notesSlides/notesSlide1.xml"}})},
              {"ppt/notesSlides/notesSlide1.xml",
               "<p:notes" + SlideNamespaces + "><p:cSld><p:spTree>" +
                   Shape(Para("Image"), "<p:ph type=\"sldImg\"/>") +
                   Shape(Para("Spoken"), "<p:ph type=\"body\" idx=\"1\"/>") +
                   "</p:spTree></p:cSld></p:notes>"}}),
         "Cell\nSpoken\nLast\none\ntwo\n"},
        {"a slide that does not parse gives nothing, the next one still does",
         PresentationParts(
             {"slides/slide1.xml", "slides/slide2.xml"},
             {{"ppt/slides/slide1.xml", "<p:sld" + SlideNamespaces + "><p:cSld><p:spTree>" +
                                            Shape(Para("Lost")) + "</p:cSld></p:sld>"},
              {"ppt/slides/slide2.xml", Slide(Shape(Para("Kept")))}}),
         "Kept\n"},
        {"a part named twice or outside the package is read at most once",
         WorkbookParts({{"A", "worksheets/s.xml"},
                        {"B", "worksheets/S.XML"},
                        {"C", "../../outside.xml"},
                        {"D", "worksheets/../worksheets/s.xml"}},
                       {{"xl/worksheets/s.xml", Sheet("<row><c><v>1</v></c></row>")},
                        {"outside.xml", Sheet("<row><c><v>2</v></c></row>")}}),
         "A\n1\t\nB\nC\nD\n"},
    };
}

class TextRule : public ::testing::TestWithParam<size_t> {};

TEST_P(TextRule, GivesTheWordsAsTheDocumentSpellsThem) {
    const Case c = Cases()[GetParam()];
    SCOPED_TRACE(c.rule);
    const TempFile file(Package(c.parts));
    const PluginModule& module = PluginModule::Get();
    EXPECT_EQ(module.FullText(file.path(), TextField), c.expected);
    // The same text through the UTF-16 interface, in pieces of another size.
    const std::u16string wide = module.FullTextW(Widen(file.path()), TextField, 6);
    EXPECT_EQ(std::string(wide.begin(), wide.end()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, TextRule, ::testing::Range(size_t{0}, Cases().size()));

// Of the same document, "Content" keeps its grammar: split runs TAB-separated, tables unread.
TEST(TextField, LeavesContentAsItWas) {
    const TempFile file(Package(WordParts(
        "<w:p><w:r><w:t>Hel</w:t></w:r><w:r><w:t>lo</w:t></w:r></w:p><w:tbl><w:tr><w:tc>" +
        Words("cell") + "</w:tc></w:tr></w:tbl>")));
    const PluginModule& module = PluginModule::Get();
    EXPECT_EQ(module.FullText(file.path(), ContentField), "Hel\tlo\t\n\n");
    EXPECT_EQ(module.FullText(file.path(), TextField), "Hello\ncell\t\n");
}

// A package that names one part over and over costs what it holds: thirty thousand slides that
// all name one part read it once.
TEST(TextField, ManySlidesNamingOnePartReadItOnce) {
    const TempFile file(
        Package(PresentationParts(std::vector<std::string>(30000, "slides/slide1.xml"),
                                  {{"ppt/slides/slide1.xml", Slide(Shape(Para("Once")))}})),
        ".pptx");
    EXPECT_EQ(PluginModule::Get().FullText(file.path(), TextField), "Once\n");
}

// The spaces a run holds at its ends stay, so words of neighbouring runs stay apart. These need
// TinyXML to parse a document without condensing white space (src/xml/KeptWhiteSpace.h).
TEST(TextField, KeepsTheSpacesAtTheEndsOfRuns) {
    const struct {
        const char* rule;
        Parts parts;
        std::string expected;
    } cases[] = {
        {"word-processing runs",
         WordParts("<w:p><w:r><w:t xml:space=\"preserve\">Hello </w:t></w:r><w:r><w:t>world"
                   "</w:t></w:r><w:r><w:t xml:space=\"preserve\"> again</w:t></w:r></w:p>"),
         "Hello world again\n"},
        {"rich shared strings",
         WorkbookParts({{"S", "worksheets/s.xml"}},
                       {{"xl/sharedStrings.xml",
                         "<sst" + SheetNamespace +
                             "><si><r><t xml:space=\"preserve\">two </t></r><r><t>words</t></r>"
                             "</si></sst>"},
                        {"xl/worksheets/s.xml", Sheet("<row><c t=\"s\"><v>0</v></c></row>")}}),
         "S\ntwo words\t\n"},
        {"slide runs",
         PresentationParts(
             {"slides/s.xml"},
             {{"ppt/slides/s.xml", Slide(Shape("<a:p><a:r><a:t>in </a:t></a:r><a:r><a:t>space</a:t>"
                                               "</a:r></a:p>"))}}),
         "in space\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        const TempFile file(Package(c.parts));
        EXPECT_EQ(PluginModule::Get().FullText(file.path(), TextField), c.expected);
    }
}

}  // namespace
}  // namespace quillet::test
