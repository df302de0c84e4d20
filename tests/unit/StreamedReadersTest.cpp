// The streamed readers against the whole-tree readers they replace: equal texts and tables for
// every part, however its bytes arrive in pieces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "oracle/WholeTreeReaders.h"
#include "support/StringSource.h"
#include "text/StreamedReaders.h"

namespace quillet::test {
namespace {

// Piece sizes that put a piece's end at every kind of place: after each byte, inside tags,
// inside UTF-8 sequences, and whole pieces.
const std::vector<std::vector<size_t>> PiecePatterns = {
    {}, {1}, {2}, {3}, {5}, {7}, {1, 9, 2, 31}, {4096},
};

std::string CutAtNul(const std::string& bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

std::string WholeTreeText(const char* kind, const std::string& bytes) {
    BoundedText text;
    const SharedStringTable table = SheetTestTable();
    if (std::string(kind) == "body") {
        WholeTreeWordBody(CutAtNul(bytes), text);
    } else if (std::string(kind) == "slide") {
        WholeTreeSlide(CutAtNul(bytes), text);
    } else {
        WholeTreeSheetRows(CutAtNul(bytes), &table, text);
    }
    return text.TakeOrSpace();
}

std::string StreamedText(const char* kind, const std::string& bytes,
                         const std::vector<size_t>& pieces) {
    BoundedText text;
    const SharedStringTable table = SheetTestTable();
    StringSource source(bytes, pieces);
    if (std::string(kind) == "body") {
        AppendWordBody(source, text);
    } else if (std::string(kind) == "slide") {
        AppendSlide(source, text);
    } else {
        AppendSheetRows(source, &table, text);
    }
    return text.TakeOrSpace();
}

void ExpectSameReading(const char* kind, const std::string& bytes) {
    for (const auto& pieces : PiecePatterns) {
        SCOPED_TRACE("pieces of " +
                     (pieces.empty() ? std::string("64 KiB") : std::to_string(pieces.front())));
        if (std::string(kind) == "sst") {
            SharedStringTable whole;
            SharedStringTable streamed;
            const bool wholeLoaded = WholeTreeSharedStrings(CutAtNul(bytes), whole);
            StringSource source(bytes, pieces);
            const bool streamedLoaded = ReadSharedStringTable(source, streamed);
            EXPECT_EQ(DescribeTable(streamedLoaded, streamed), DescribeTable(wholeLoaded, whole));
        } else {
            EXPECT_EQ(StreamedText(kind, bytes, pieces), WholeTreeText(kind, bytes));
        }
    }
}

struct Case {
    const char* name;
    const char* kind;  // "body", "sheet", "sst" or "slide"
    std::string text;
};

const std::string Body =
    "<w:document><w:body><w:p><w:r><w:t>One</w:t></w:r></w:p>"
    "<w:p><w:r><w:t>Two</w:t><w:t/></w:r></w:p></w:body></w:document>";
const std::string Sheet =
    "<worksheet><sheetData><row><c t=\"s\"><v>1</v></c><c><v>2</v></c>"
    "</row><row><c t=\"inlineStr\"><is><t>x</t></is></c></row>"
    "</sheetData></worksheet>";
const std::string Slide =
    "<p:sld><p:cSld><p:spTree><p:nvGrpSpPr/><p:sp><p:nvSpPr><p:cNvPr id=\"2\" name=\"T\"/>"
    "</p:nvSpPr><p:txBody><a:bodyPr/><a:p><a:r><a:t>R&amp;D &lt;x&gt;</a:t></a:r><a:br/><a:r>"
    "<a:t>\"two\" &#x41; it's</a:t></a:r></a:p><a:p><a:r><a:t>  b  </a:t><a:t/></a:r></a:p>"
    "</p:txBody></p:sp></p:spTree></p:cSld></p:sld>";
const std::string Sst =
    "<sst uniqueCount=\"3\"><si><t>a</t></si><si><r><t>b</t></r></si>"
    "<si><t/></si><si><t>d</t></si></sst>";

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        // Byte-order marks and declared encodings.
        {"BomAndDeclaration", "body", "\xEF\xBB\xBF<?xml version=\"1.0\"?>" + Body},
        {"BomsBetweenNodes", "sheet", "\xEF\xBB\xBF\xEF\xBB\xBF <a/>\xEF\xBF\xBE" + Sheet},
        {"BomInsideTheFrameTag", "sheet",
         "<worksheet><\xEF\xBB\xBFsheetData><row><c><v>1</v></c></row></sheetData></worksheet>"},
        {"Latin1Declared", "body",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><w:document><w:body><w:p><w:r>"
         "<w:t>caf\xE9 &#233;</w:t></w:r></w:p></w:body></w:document>"},
        {"Utf8DeclaredInCapitals", "body", "<?XML version='1.0' encoding='utf-8'?>" + Body},
        {"CharacterReferencesWithoutDeclaration", "sst",
         "<sst uniqueCount=\"1\"><si><t>&#233;&#x4E2D;&lt;&amp;</t></si></sst>"},
        // What can stand between the blocks.
        {"CommentsAndInstructions", "body",
         "<!-- c --><?pi x?><w:document><!-- a --><w:body><!--b--><?x y?><w:p><w:r><w:t>A"
         "</w:t></w:r></w:p><!DOCTYPE q><![CDATA[<w:p>]]>text &amp; more<w:p><w:r><w:t>B"
         "</w:t></w:r></w:p></w:body><!-- after --></w:document><!-- end -->"},
        {"TextAfterTheRoot", "body", Body + "trailing text"},
        {"TextBeforeTheRoot", "body", "lead " + Body},
        {"TwoRoots", "sheet", Sheet + Sheet},
        {"SecondRootOfTheSameName", "body", "<w:x/>" + Body + Body},
        {"ElementsAroundSheetData", "sheet",
         "<worksheet><dimension ref=\"A1\"/><sheetViews><sheetView/></sheetViews><sheetData>"
         "<row><c><v>1</v></c></row></sheetData><sheetData><row><c><v>9</v></c></row>"
         "</sheetData><mergeCells count=\"1\"/></worksheet>"},
        {"EmptyFrame", "sheet", "<worksheet><sheetData/><sheetData><row/></sheetData></worksheet>"},
        {"FrameWithAttributes", "sheet",
         "<worksheet xmlns=\"u\" a = 'b'><sheetData x=1 y=\"&quot;\"><row><c><v>1</v></c></row>"
         "</sheetData></worksheet>"},
        {"DuplicateFrameAttribute", "sheet",
         "<worksheet><sheetData x=\"1\" x=\"2\"><row><c><v>1</v></c></row></sheetData>"
         "</worksheet>"},
        {"FrameAttributeWithoutValue", "sst", "<sst uniqueCount><si><t>a</t></si></sst>"},
        {"EndTagWithSpace", "body",
         "<w:document><w:body><w:p><w:r><w:t>A</w:t></w:r></w:p></w:body   ></w:document >"},
        {"EndTagOfAnotherName", "body",
         "<w:document><w:body><w:p><w:r><w:t>A</w:t></w:r></w:p></w:bodyx></w:document>"},
        {"UnclosedFrame", "sheet", "<worksheet><sheetData><row><c><v>1</v></c></row>"},
        {"UnterminatedCommentAtTheEnd", "body", Body + "<!-- open"},
        {"UnterminatedDeclaration", "body", "<?xml version=\"1.0\" " + Body},
        {"UnterminatedCdataInTheFrame", "body",
         "<w:document><w:body><w:p><w:r><w:t>A</w:t></w:r></w:p><![CDATA[x</w:body>"
         "</w:document>"},
        {"ReferenceRunningAcrossBlocks", "body",
         "<w:document><w:body><w:p><w:r><w:t>&#x</w:t></w:r></w:p><w:p><w:r><w:t>x41;</w:t>"
         "</w:r></w:p></w:body></w:document>"},
        {"ReferenceWithoutEnd", "body",
         "<w:document><w:body><w:p><w:r><w:t>&#12</w:t></w:r></w:p></w:body></w:document>"},
        {"NulEndsThePart", "sheet", Sheet.substr(0, 60) + std::string(1, '\0') + Sheet.substr(60)},
        {"NulAfterThePart", "sst", Sst + std::string(1, '\0') + "<garbage"},
        {"CutInsideUtf8", "sst", "<sst uniqueCount=\"1\"><si><t>\xE4\xB8"},
        {"Utf8LeadAtTheEnd", "body", Body + "<!--\xF0"},
        {"Empty", "body", ""},
        {"OnlySpace", "sheet", " \r\n\t "},
        {"UniqueCountZero", "sst", "<sst uniqueCount=\"0\"><si><t>a</t></si></sst>"},
        {"NoUniqueCount", "sst", "<sst count=\"2\"><si><t>a</t></si></sst>"},
        {"FewerItemsThanCounted", "sst", "<sst uniqueCount=\"9\"><si><t>a</t></si></sst>"},
        {"MoreItemsThanCounted", "sst", Sst},
        {"SstAfterAnotherRoot", "sst", "<x/><sst uniqueCount=\"1\"><si><t>a</t></si></sst>"},
        {"BrokenItemAfterTheCount", "sst",
         "<sst uniqueCount=\"1\"><si><t>a</t></si><si><t>b</si></sst>"},
        // Slides: what the printer made of every kind of node.
        {"SlideShapes", "slide", Slide},
        {"SlideNodesOfEveryKind", "slide",
         "<p:sld><p:cSld><p:spTree><p:sp><p:txBody><a:p><!-- note > after --><![CDATA[x > y &amp;]]>"
         "<?pi a>b?><!DOCTYPE d [<!ENTITY e 'v'>]><a:t>&#x1;&#9;\xC3</a:t><a:t>\xA9</a:t></a:p>"
         "<a:p>only</a:p><a:p><![CDATA[cdata alone]]></a:p><?xml version=\"1\" encoding=\"a>b\"?>"
         "</p:txBody></p:sp></p:spTree></p:cSld></p:sld>"},
        {"SlideEscapesAcrossNodes", "slide",
         "<p:sld><p:cSld><p:spTree><p:sp><p:txBody><a:p><!-- x>&am--><a:t>p;</a:t><!--y>&#x4--><a:t>"
         "1;</a:t><!--z>&--><a:t>lt;</a:t></a:p></p:txBody></p:sp></p:spTree></p:cSld></p:sld>"},
        {"SlideGroupsAndSecondTrees", "slide",
         "<p:sld><p:cSld><p:spTree><p:grpSp><p:sp><p:txBody><a:p><a:r><a:t>deep</a:t></a:r></a:p>"
         "</p:txBody></p:sp></p:grpSp></p:spTree><p:spTree><p:sp><p:txBody><a:p>no</a:p>"
         "</p:txBody></p:sp></p:spTree></p:cSld></p:sld>"},
        {"BrokenRowAfterTheLast", "sheet",
         "<worksheet><sheetData><row><c><v>1</v></c></row></sheetData></worksheet><bad"},
    };
    return cases;
}

TEST(StreamedReaders, EqualTheWholeTreeReaders) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        ExpectSameReading(c.kind, c.text);
    }
}

TEST(StreamedReaders, EqualTheWholeTreeReadersOnEveryPrefix) {
    for (const auto& [kind, text] :
         {std::pair<const char*, std::string>{"body", Body},
          {"sheet", Sheet},
          {"sst", Sst},
          {"slide", Slide}}) {
        for (size_t length = 0; length <= text.size(); ++length) {
            SCOPED_TRACE(std::string(kind) + " cut at " + std::to_string(length));
            ExpectSameReading(kind, text.substr(0, length));
        }
    }
}

std::string Nested(int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) {
        text += "<n>";
    }
    for (int i = 0; i < depth; ++i) {
        text += "</n>";
    }
    return text;
}

TEST(StreamedReaders, KeepTheNestingAndAttributeLimits) {
    // A row is the third level: 253 more levels reach the limit, 254 pass it.
    for (const int depth : {253, 254}) {
        SCOPED_TRACE(depth);
        ExpectSameReading("sheet", "<worksheet><sheetData><row><c><v>1</v></c>" + Nested(depth) +
                                       "</row></sheetData></worksheet>");
    }
    for (const int count : {256, 257}) {
        SCOPED_TRACE(count);
        std::string attributes;
        for (int i = 0; i < count; ++i) {
            attributes += " a" + std::to_string(i) + "=\"\"";
        }
        ExpectSameReading("sheet", "<worksheet><sheetData" + attributes +
                                       "><row><c><v>1</v></c></row></sheetData></worksheet>");
        ExpectSameReading("sheet", "<worksheet><sheetData><row" + attributes +
                                       "><c><v>1</v></c></row></sheetData></worksheet>");
    }
}

TEST(StreamedReaders, ABudgetCutKeepsTheRowsReadWhole) {
    std::string rows;
    for (int i = 0; i < 2000; ++i) {
        rows += "<row><c><v>" + std::to_string(i) + "</v></c></row>";
    }
    const std::string sheet = "<worksheet><sheetData>" + rows + "</sheetData></worksheet>";
    BoundedText whole;
    WholeTreeSheetRows(sheet, nullptr, whole);
    const std::string full = whole.TakeOrSpace();
    for (const size_t cut : {size_t{100}, size_t{20000}, sheet.size() - 30}) {
        SCOPED_TRACE(cut);
        BoundedText text;
        StringSource source(sheet, {}, cut);
        AppendSheetRows(source, nullptr, text);
        const std::string streamed = text.TakeOrSpace();
        // The rows that lay wholly before the cut, and nothing of the row it fell in.
        const size_t rowsBefore = (cut - 22) / 27;
        ASSERT_LT(streamed.size(), full.size());
        EXPECT_EQ(streamed, full.substr(0, streamed.size()));
        EXPECT_EQ(streamed.back(), streamed == " " ? ' ' : '\n');
        EXPECT_LE(std::count(streamed.begin(), streamed.end(), '\n'),
                  static_cast<long>(rowsBefore) + 1);
    }
}

}  // namespace
}  // namespace quillet::test
