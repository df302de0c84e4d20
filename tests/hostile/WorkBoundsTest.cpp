// Packages of a few KiB to a few MiB that make a request do far more work than their bytes
// suggest: huge trees in one element, deep nesting, cheap nodes by the million, white space,
// large shared strings, large property texts, long control-character runs. Each gives its exact
// "Content", and "Text" reads the same parts, each request within its processor time (see
// ExpectWithinBounds) and 64 MiB beyond the text it hands over.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "hostile/HostileRun.h"
#include "hostile/Streams.h"
#include "package/RequestBudget.h"
#include "support/Repeat.h"
#include "support/SoundPackage.h"
#include "text/SharedStringTable.h"

namespace quillet::test {
namespace {

// A sound package of the kind `marker` names with one part given as a deflate stream.
std::string WithStreamedPart(const char* marker, const char* partName, const RepeatedStream& part,
                             const std::map<std::string, std::string>& changes = {}) {
    auto parts = SoundParts(marker);
    parts.erase(partName);
    for (const auto& [name, text] : changes)
        parts[name] = text;
    return PackageOf(ReadByText(parts, marker)).Add(part.Member(partName)).Build();
}

std::string Body(const RepeatedStream& body) {
    return WithStreamedPart(WordMarker, WordMarker, body);
}

const std::string BodyStart = Declared(WordMarker, "<w:document><w:body>");
const std::string BodyEnd = "</w:body></w:document>";
const std::string ParagraphA = "<w:p><w:r><w:t>a</w:t></w:r>";

// A paragraph holding a text and then `count` empty elements, and a second paragraph.
std::string ParagraphOfEmptyElements(uint64_t count) {
    return Body(RepeatedStream()
                    .Add(BodyStart + ParagraphA)
                    .Repeat("<a/>", count)
                    .Add("</w:p><w:p><w:r><w:t>b</w:t></w:r></w:p>" + BodyEnd));
}

// Paragraphs whose first run holds "t", and whose last child is nested 250 levels down.
const std::string DeepParagraph =
    "<w:p><w:r><w:t>t</w:t></w:r>" + Repeat("<x>", 250) + Repeat("</x>", 250) + "</w:p>";
constexpr size_t DeepParagraphs = (16u << 20) / 2600;

// 70 distinct shared strings of 1 MiB each, hardly compressible (more than the full text's bound),
// and a sheet that refers to the second and the last.
constexpr size_t ItemBytes = 1u << 20;
constexpr size_t Items = 70;

std::string Item(size_t index) {
    std::string text(ItemBytes, 'a');
    uint32_t value = static_cast<uint32_t>(index) * 2654435761u + 1;
    for (char& c : text) {
        value = value * 1103515245u + 12345u;
        c = static_cast<char>('a' + (value >> 16) % 26);
    }
    return text;
}

std::string DistinctMebibyteStrings() {
    std::string shared = "<sst uniqueCount=\"" + std::to_string(Items) + "\">";
    for (size_t i = 0; i < Items; ++i)
        shared += "<si><t>" + Item(i) + "</t></si>";
    auto parts = SoundParts(WorkbookMarker);
    parts["xl/sharedStrings.xml"] = shared + "</sst>";
    parts["xl/worksheets/sheet1.xml"] =
        "<worksheet><sheetData><row><c t=\"s\"><v>1</v></c><c t=\"s\"><v>69</v></c></row>"
        "</sheetData></worksheet>";
    return PackageOf(ReadByText(parts, WorkbookMarker)).Build();
}

// The table keeps the items that fit the full text's bound; the text made of them has what is
// left: the first item it names, cut there.
std::string DistinctMebibyteStringsText() {
    const size_t perItem = ItemBytes + SharedStringTable::BytesPerItem;
    const size_t kept = RequestBudget::MaxFullTextBytes / perItem;
    const size_t left = RequestBudget::MaxFullTextBytes - kept * perItem;
    return Item(1).substr(0, left);
}

std::string ControlCharacterSlide() {
    const RepeatedStream slide = RepeatedStream()
                                     .Add(Declared("ppt/slides/slide1.xml",
                                                   "<p:sld><p:cSld><p:spTree><p:sp><p:txBody>"
                                                   "<a:p><a:r><a:t>"))
                                     .Repeat("\x01", 31u << 20)
                                     .Add(
                                         "</a:t></a:r></a:p></p:txBody></p:sp></p:spTree>"
                                         "</p:cSld></p:sld>");
    return WithStreamedPart(PresentationMarker, "ppt/slides/slide1.xml", slide);
}

// 711 slides of 90,000 empty elements each, beside the shape's text body: no text, and more
// nodes than a request may build.
std::string SlidesOfManyElements() {
    constexpr int Slides = 711;
    auto parts = SoundParts(PresentationMarker);
    parts["docProps/app.xml"] =
        "<Properties><Slides>" + std::to_string(Slides) + "</Slides></Properties>";
    parts.erase("ppt/slides/slide1.xml");
    PackageBuilder package = PackageOf(ReadByText(parts, PresentationMarker, Slides));
    const RepeatedStream slide =
        RepeatedStream()
            .Add(Declared("ppt/slides/slide1.xml", "<p:sld><p:cSld><p:spTree><p:sp>"))
            .Repeat("<a:x/>", 90000)
            .Add("</p:sp></p:spTree></p:cSld></p:sld>");
    for (int i = 1; i <= Slides; ++i)
        package.Add(slide.Member("ppt/slides/slide" + std::to_string(i) + ".xml"));
    return package.Build();
}

// Pieces of text, 70 MiB in all, each `open`, 48 KiB of letters and `close`. The first KiB of
// each is random, and the same piece before it lies beyond deflate's window: the stream
// inflates about 70 times, as text does, not a thousand times as a bomb does.
RepeatedStream& Pieces(RepeatedStream& stream, const std::string& open, const std::string& close) {
    constexpr size_t PieceBytes = 48u << 10;
    constexpr uint64_t Count = (70u << 20) / PieceBytes;
    const std::string piece = Item(7).substr(0, 1024) + std::string(PieceBytes - 1024, 'a');
    return stream.Repeat(open + piece + close, Count);
}

// What the full text's bound keeps of a cell or a text element of many pieces; an item that
// does not fit the shared-string table is written into the table's own pages and let go, so
// little more than those pages is held.
constexpr int64_t PiecesKeptBytes = static_cast<int64_t>(RequestBudget::MaxFullTextBytes);
constexpr int64_t ItemKeptBytes = int64_t{8} << 20;

const std::vector<HostileCase>& Cases() {
    static const std::vector<HostileCase> cases{
        // One element's tree was held whole: 222 MiB for a million empty elements.
        {"ParagraphOfAMillionEmptyElements", [] { return ParagraphOfEmptyElements(1000000); },
         "a\t\nb\t\n"},
        // More nodes than a request builds: the reading ends inside the paragraph, and nothing
        // of it is kept.
        {"ParagraphOfFifteenMillionEmptyElements",
         [] { return ParagraphOfEmptyElements(15000000); }, " "},
        // One text larger than the window ends the reading there.
        {"RunOfTextLongerThanTheWindow",
         [] {
             return Body(
                 RepeatedStream()
                     .Add(BodyStart + "<w:p><w:r><w:t>before</w:t></w:r></w:p>" + "<w:p><w:r><w:t>")
                     .Repeat("x", 20u << 20)
                     .Add("</w:t></w:r></w:p>" + BodyEnd));
         },
         "before\t\n"},
        // White space between the children is let go as it is read.
        {"WhiteSpaceOf70MiBBetweenParagraphs",
         [] {
             return Body(RepeatedStream()
                             .Add(BodyStart + "<w:p><w:r><w:t>one</w:t></w:r></w:p>")
                             .Repeat(" ", 70u << 20)
                             .Add("<w:p><w:r><w:t>two</w:t></w:r></w:p>" + BodyEnd));
         },
         "one\t\ntwo\t\n"},
        // A node costs as much 250 levels down as at the top.
        {"ParagraphsNestedTwoHundredFiftyDeep",
         [] {
             return Body(RepeatedStream()
                             .Add(BodyStart)
                             .Repeat(DeepParagraph, DeepParagraphs)
                             .Add(BodyEnd));
         },
         Repeat("t\t\n", DeepParagraphs)},
        // The cheapest nodes there are: the request's budget of work ends them.
        {"EmptyParagraphsOf256MiB",
         [] {
             return Body(
                 RepeatedStream().Add(BodyStart).Repeat("<w:p/>", (256u << 20) / 6).Add(BodyEnd));
         },
         " "},
        // A part that fails near its start does so at once, however much follows.
        {"PartFailingNearItsStartFollowedBy70MiB",
         [] {
             return Body(RepeatedStream()
                             .Add(BodyStart + "<w:p><w:r><w:t>a</w:t></w:r></w:q>")
                             .Repeat("<w:p><w:r><w:t>b</w:t></w:r></w:p>", (70u << 20) / 34)
                             .Add(BodyEnd));
         },
         " "},
        // A node that fails on the most a node may take fails the part, whatever follows: an
        // attribute whose quote never closes it, a CDATA section that never ends.
        {"UnclosedAttributeFollowedBy20MiB",
         [] {
             return Body(RepeatedStream()
                             .Add(BodyStart + "<w:p><w:r><w:t>a</w:t></w:r></w:p><w:p w:x=\"1>")
                             .Repeat("<w:r><w:t>b</w:t></w:r>", (20u << 20) / 23)
                             .Add("</w:p>" + BodyEnd));
         },
         " "},
        {"UnclosedCdataFollowedBy20MiB",
         [] {
             return Body(RepeatedStream()
                             .Add(BodyStart + "<w:p><w:r><w:t>a</w:t></w:r></w:p><w:p><![CDATA[")
                             .Repeat("<w:r><w:t>b</w:t></w:r>", (20u << 20) / 23)
                             .Add("</w:p>" + BodyEnd));
         },
         " "},
        // The shared strings count against the full text: the table keeps what fits.
        {"SharedStringsOf70DistinctMebibytes", DistinctMebibyteStrings,
         std::function<std::string()>(DistinctMebibyteStringsText), 0, 1, false,
         static_cast<int64_t>(RequestBudget::MaxFullTextBytes)},
        {"SharedStringTableOf16MillionEmptyItems",
         [] {
             const RepeatedStream shared =
                 RepeatedStream()
                     .Add(Declared("xl/sharedStrings.xml", "<sst uniqueCount=\"16777216\">"))
                     .Repeat("<si/>", 1u << 24)
                     .Add("</sst>");
             return WithStreamedPart(WorkbookMarker, "xl/sharedStrings.xml", shared,
                                     {{"xl/worksheets/sheet1.xml",
                                       "<worksheet><sheetData><row><c t=\"s\"><v>0</v></c></row>"
                                       "</sheetData></worksheet>"}});
         },
         "\t\n\n\n"},
        // Large property records are kept: the 46 fields read the parts once.
        {"TitleOf4MiB",
         [] {
             auto parts = SoundParts(WordMarker);
             parts["docProps/core.xml"] = "<cp:coreProperties><dc:title>" +
                                          std::string(4u << 20, 'T') +
                                          "</dc:title></cp:coreProperties>";
             return PackageOf(ReadByText(parts, WordMarker)).Build();
         },
         "Hello\t\n"},
        // A slide's text is made without printing it: 31 MiB of one control character is one
        // text larger than the window.
        {"SlideOf31MiBOfControlCharacters", ControlCharacterSlide, " "},
        {"SlidesOfManyElements", SlidesOfManyElements, " "},
        // Texts made of many pieces, past the full text's bound: "Text" holds no more of them
        // than it keeps, whether they make one item, one cell or one text element.
        {"SharedStringOfRunsPastTheTextBound",
         [] {
             RepeatedStream shared;
             shared.Add(Declared("xl/sharedStrings.xml", "<sst><si>"));
             Pieces(shared, "<r><t>", "</t></r>").Add("</si><si><t>after</t></si></sst>");
             return WithStreamedPart(WorkbookMarker, "xl/sharedStrings.xml", shared,
                                     {{"xl/worksheets/sheet1.xml",
                                       "<worksheet><sheetData><row><c t=\"s\"><v>1</v></c></row>"
                                       "</sheetData></worksheet>"}});
         },
         std::nullopt, 0, 1, false, ItemKeptBytes},
        {"InlineStringOfRunsPastTheTextBound",
         [] {
             RepeatedStream sheet;
             sheet.Add(Declared("xl/worksheets/sheet1.xml",
                                "<worksheet><sheetData><row><c t=\"inlineStr\"><is>"));
             Pieces(sheet, "<r><t>", "</t></r>").Add("</is></c></row></sheetData></worksheet>");
             return WithStreamedPart(WorkbookMarker, "xl/worksheets/sheet1.xml", sheet);
         },
         std::nullopt, 0, 1, false, PiecesKeptBytes},
        {"RunOfTextPiecesPastTheTextBound",
         [] {
             RepeatedStream body;
             body.Add(BodyStart + "<w:p><w:r><w:t>");
             Pieces(body, "<!---->", "").Add("</w:t></w:r></w:p>" + BodyEnd);
             return Body(body);
         },
         std::nullopt, 0, 1, false, PiecesKeptBytes},
        // The UTF-16 call keeps the UTF-8 text and converts it piece by piece.
        {"SharedStringOf1MiBIn20000CellsThroughTheUtf16Call",
         [] {
             const std::string row = "<row>" + Repeat("<c t=\"s\"><v>0</v></c>", 100) + "</row>";
             auto parts = SoundParts(WorkbookMarker);
             parts["xl/sharedStrings.xml"] =
                 "<sst uniqueCount=\"1\"><si><t>" + std::string(1u << 20, 'S') + "</t></si></sst>";
             parts["xl/worksheets/sheet1.xml"] =
                 "<worksheet><sheetData>" + Repeat(row, 200) + "</sheetData></worksheet>";
             return PackageOf(ReadByText(parts, WorkbookMarker)).Build();
         },
         std::string(1u << 20, 'S'),
         static_cast<int64_t>(RequestBudget::MaxFullTextBytes - (1u << 20) -
                              SharedStringTable::BytesPerItem),
         1, true},
    };
    return cases;
}

class WorkBound : public testing::TestWithParam<HostileCase> {};

TEST_P(WorkBound, AnswersExactlyInTimeAndMemory) {
    ExpectWithinBounds(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Shapes, WorkBound, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<HostileCase>& param) {
                             return std::string(param.param.name);
                         });

}  // namespace
}  // namespace quillet::test
