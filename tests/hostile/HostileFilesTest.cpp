// Broken and hostile packages, each answered through the exported functions for every field,
// "Text" among them, within the processor time of ExpectWithinBounds and 64 MiB of extra memory.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cctype>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "hostile/HostileRun.h"
#include "hostile/Streams.h"
#include "support/PackageBuilder.h"
#include "support/PluginModule.h"
#include "support/SoundPackage.h"
#include "support/TempFile.h"

namespace quillet::test {
namespace {

// Wine's file calls make each file cost milliseconds: there every 13th prefix is asked.
size_t TruncationStep() {
    return RunningUnderWine() ? 13 : 1;
}
// The limits the README names: part size, element nesting and attributes of one element.
constexpr uint32_t MaxPartSizeBytes = 64u << 20;
constexpr int MaxNesting = 256;
constexpr int MaxAttributes = 256;

std::string Nested(const std::string& name, int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<" + name + ">";
    for (int i = 0; i < depth; ++i)
        text += "</" + name + ">";
    return text;
}

// A document whose first paragraph holds, after its text "Hello", elements nested so that the
// deepest is `depth` levels down from the root.
std::string WordNestedTo(int depth) {
    const int levels = depth - 3;  // w:document, w:body, w:p
    return "<w:document><w:body><w:p><w:r><w:t>Hello</w:t></w:r>" + Nested("w:x", levels) +
           "</w:p></w:body></w:document>";
}

// An element carrying `count` attributes with distinct names as short as TinyXML reads them.
std::string WithShortestAttributes(const std::string& name, int count) {
    std::string first;  // what may start a name: letters, '_' and any byte above 126
    std::string next;   // what may follow: those, digits, '-', '.' and ':'
    for (int c = 1; c < 256; ++c) {
        const bool letter = c > 126 || std::isalpha(c) != 0 || c == '_';
        if (letter)
            first += static_cast<char>(c);
        if (letter || std::isdigit(c) != 0 || c == '-' || c == '.' || c == ':')
            next += static_cast<char>(c);
    }
    std::string text = "<" + name + " ";
    for (int i = 0; i < count; ++i) {
        const auto index = static_cast<size_t>(i);
        if (index < first.size()) {
            text += first[index];
        } else {
            const size_t rest = index - first.size();
            text += first[rest / next.size() % first.size()];
            text += next[rest % next.size()];
            if (rest >= first.size() * next.size())
                text += next[rest / (first.size() * next.size()) % next.size()];
        }
        text += "=\"\"";
    }
    return text + "/>";
}

// Each kind of node that TinyXML ends elsewhere than a scan for its closing characters would,
// around a nesting far beyond the limit.
std::string NestedAfter(const std::string& before, const std::string& name,
                        const std::string& after) {
    return before + Nested(name, 60000) + after;
}

// A sound package of the kind with some parts replaced, read by "Text" too. A workbook or a
// presentation part given among the changes lists its sheets or slides itself.
PackageBuilder Sound(const char* marker, const std::map<std::string, std::string>& changes = {}) {
    auto parts = SoundParts(marker);
    for (const auto& [name, text] : changes)
        parts[name] = text;
    return PackageOf(ReadByText(parts, marker, changes.count(marker) != 0 ? 0 : 1));
}

// A document whose body member holds `stream` and declares `size` bytes.
std::string WordWithBody(const std::string& stream, uint32_t size) {
    MemberOptions body;
    body.name = "word/document.xml";
    body.method = 8;
    body.rawData = stream;
    body.centralUncompressedSize = size;
    body.localUncompressedSize = size;
    auto parts = SoundParts(WordMarker);
    parts.erase(body.name);
    return PackageOf(ReadByText(parts, WordMarker)).Add(body).Build();
}

std::string WithEndRecord(PackageBuilder package,
                          const std::function<void(ArchiveOptions&, uint32_t)>& change) {
    const auto size = static_cast<uint32_t>(package.Build().size());
    change(package.archive(), size - 22);  // the end record's offset
    return package.Build();
}

// Sheet part names padded with NUL bytes to one length: a name is compared up to its first NUL,
// and entries that share one local header must have names as long as the one it holds.
std::string PaddedSheetName(int number) {
    std::string name = "xl/worksheets/sheet" + std::to_string(number) + ".xml";
    name.resize(std::string("xl/worksheets/sheet1000.xml").size(), '\0');
    return name;
}

// A workbook whose `sheets` sheet entries all point at the local header and data of the first:
// one deflate stream of `size` bytes behind every sheet.
std::string SheetsSharingOneMember(int sheets, const std::string& stream, uint32_t size) {
    auto parts = SoundParts(WorkbookMarker);
    parts.erase("xl/worksheets/sheet1.xml");
    parts["docProps/app.xml"] =
        "<Properties xmlns:vt=\"v\"><TitlesOfParts><vt:vector size=\"" + std::to_string(sheets) +
        "\"><vt:lpstr>S</vt:lpstr></vt:vector></TitlesOfParts></Properties>";
    parts = ReadByText(parts, WorkbookMarker, sheets);
    PackageBuilder package = PackageOf(parts);
    MemberOptions sheet;
    sheet.method = 8;
    sheet.rawData = stream;
    sheet.centralUncompressedSize = size;
    sheet.localUncompressedSize = size;
    sheet.name = PaddedSheetName(1);
    package.Add(sheet);
    const uint32_t shared = package.LocalHeaderOffset(parts.size());
    sheet.rawData = "";
    sheet.localHeaderOffset = shared;
    sheet.centralCompressedSize = static_cast<uint32_t>(stream.size());
    for (int number = 2; number <= sheets; ++number) {
        sheet.name = PaddedSheetName(number);
        package.Add(sheet);
    }
    return package.Build();
}

// A sheet of about `size` bytes of inline strings.
std::string LargeSheet(size_t size) {
    const std::string row =
        "<row><c t=\"inlineStr\"><is><t>" + std::string(200, 'w') + "</t></is></c></row>";
    std::string sheet = "<worksheet><sheetData>";
    while (sheet.size() < size)
        sheet += row;
    return sheet + "</sheetData></worksheet>";
}

// The hash of the name index that kept names in an open-addressed table (folded name, eight bytes
// a step), kept here to choose names that all fall into one quarter of that table: more names
// than the quarter has slots make one run, and each insertion walked it to its end.
uint32_t FormerNameHash(const std::string& folded) {
    constexpr uint64_t Multiplier = 0x9E3779B97F4A7C15u;
    uint64_t hash = folded.size();
    size_t at = 0;
    for (; at + 8 <= folded.size(); at += 8) {
        uint64_t word = 0;
        std::memcpy(&word, folded.data() + at, 8);
        hash = ((hash ^ word) * Multiplier);
        hash ^= hash >> 29;
    }
    uint64_t tail = 0;
    std::memcpy(&tail, folded.data() + at, folded.size() - at);
    hash = (hash ^ tail) * Multiplier;
    return static_cast<uint32_t>(hash ^ (hash >> 32));
}

// A document with `count` more members whose names all land in the first quarter of the former
// table of 131072 slots (the size it took for more than 32768 names).
std::string DocumentWithCrowdingNames(int count) {
    constexpr uint32_t FormerSlots = 131072;
    PackageBuilder package = Sound(WordMarker);
    int added = 0;
    for (uint32_t candidate = 0; added < count; ++candidate) {
        const std::string name = "0/" + std::to_string(candidate);  // no letters: folded alike
        if ((FormerNameHash(name) & (FormerSlots - 1)) < FormerSlots / 4) {
            package.AddStored(name, "");
            ++added;
        }
    }
    return package.Build();
}

// A core properties part with a title and `filler` between the title and the root's end.
std::string CoreWith(const std::string& filler) {
    return "<?xml version=\"1.0\"?><cp:coreProperties xmlns:cp=\"c\" xmlns:dc=\"d\">"
           "<dc:title>Title</dc:title>" +
           filler + "</cp:coreProperties>";
}

std::string Repeated(const std::string& unit, size_t times) {
    std::string text;
    text.reserve(unit.size() * times);
    for (size_t i = 0; i < times; ++i)
        text += unit;
    return text;
}

const std::string Relationships =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
const std::string RelationshipType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string Relationship(const std::string& id, const std::string& type,
                         const std::string& target) {
    return "<Relationship Id=\"" + id + "\" Type=\"" + RelationshipType + type + "\" Target=\"" +
           target + "\"/>";
}

// A workbook whose 100,000 sheets all name its one sheet: read once, its name given each time.
std::string SheetsNamingOnePart() {
    return Sound(WorkbookMarker,
                 {{WorkbookMarker,
                   Declared(WorkbookMarker,
                            "<workbook><sheets>" +
                                Repeated("<sheet name=\"S\" r:id=\"rId1\"/>", 100000) +
                                "</sheets></workbook>")},
                  {"xl/_rels/workbook.xml.rels",
                   Relationships + Relationship("rId1", "worksheet", "worksheets/sheet1.xml") +
                       "</Relationships>"}})
        .Build();
}

// A presentation of 100,000 slides, each its own relationship, one of them there.
std::string SlidesOfTheirOwn() {
    std::string list = "<p:presentation><p:sldIdLst>";
    std::string related = Relationships;
    for (int i = 1; i <= 100000; ++i) {
        const std::string n = std::to_string(i);
        list += "<p:sldId id=\"" + std::to_string(255 + i) + "\" r:id=\"s" + n + "\"/>";
        related += Relationship("s" + n, "slide", "slides/slide" + n + ".xml");
    }
    return Sound(PresentationMarker,
                 {{PresentationMarker,
                   Declared(PresentationMarker, list + "</p:sldIdLst></p:presentation>")},
                  {"ppt/_rels/presentation.xml.rels", related + "</Relationships>"}})
        .Build();
}

// Relationships that lead back to the part they start from, or to one read already.
std::string RelationshipCycles() {
    return Sound(
               WordMarker,
               {{"word/_rels/document.xml.rels",
                 Relationships + Relationship("h", "header", "document.xml") +
                     Relationship("f", "footer", "../word/document.xml") +
                     Relationship("n", "footnotes", "/word/document.xml") +
                     Relationship("e", "endnotes", "header1.xml") +
                     Relationship("c", "comments", "./header1.xml") + "</Relationships>"},
                {"word/header1.xml", "<w:hdr><w:p><w:r><w:t>Once</w:t></w:r></w:p></w:hdr>"},
                {"word/_rels/header1.xml.rels",
                 Relationships + Relationship("b", "header", "document.xml") + "</Relationships>"}})
        .Build();
}

// A workbook whose relationships part inflates to `size` bytes of zeros, declaring `declared`.
std::string WorkbookRelationshipsBomb(uint64_t size, uint32_t declared) {
    MemberOptions rels;
    rels.name = "xl/_rels/workbook.xml.rels";
    rels.method = 8;
    rels.rawData = ZeroStream(size);
    rels.centralUncompressedSize = declared;
    rels.localUncompressedSize = declared;
    auto parts = ReadByText(SoundParts(WorkbookMarker), WorkbookMarker);
    parts.erase(rels.name);
    return PackageOf(parts).Add(rels).Build();
}

// The full text ends at this many bytes, however often the package repeats what it holds.
constexpr size_t FullTextLimit = size_t{64} << 20;

// A workbook whose one shared string of 1 MiB is referenced by 20000 cells.
std::string SharedStringInEveryCell() {
    const std::string row = "<row>" + Repeated("<c t=\"s\"><v>0</v></c>", 100) + "</row>";
    return Sound(WorkbookMarker,
                 {{"xl/sharedStrings.xml", "<sst uniqueCount=\"1\"><si><t>" +
                                               std::string(1u << 20, 'S') + "</t></si></sst>"},
                  {"xl/worksheets/sheet1.xml",
                   "<worksheet><sheetData>" + Repeated(row, 200) + "</sheetData></worksheet>"}})
        .Build();
}

// A cycle of 20 rows of five numbers below 100, and the text each row gives.
struct NumberRows {
    std::vector<std::string> rows;
    std::vector<std::string> texts;

    NumberRows() {
        uint32_t value = 12345;
        for (int row = 0; row < 20; ++row) {
            std::string cells = "<row spans=\"1:5\">";
            std::string line;
            for (int column = 0; column < 5; ++column) {
                value = value * 1103515245u + 12345u;
                const std::string number = std::to_string((value >> 16) % 100);
                cells += "<c t=\"n\"><v>" + number + "</v></c>";
                line += number + "\t";
            }
            rows.push_back(cells + "</row>");
            texts.push_back(line + "\n");
        }
    }
};

constexpr int SheetRows = 472000;
constexpr int BodyParagraphs = 1100000;

// A sheet of 472,000 rows of that cycle: 60 MB of XML, deflated to a few hundred KiB. Read
// whole, its tree took about 2 GiB.
std::string NumberSheet() {
    const NumberRows cycle;
    std::string sheet = "<worksheet><dimension ref=\"A1\"/><sheetData>";
    for (int row = 0; row < SheetRows; ++row)
        sheet += cycle.rows[static_cast<size_t>(row) % cycle.rows.size()];
    return sheet + "</sheetData></worksheet>";
}

std::string NumberSheetText() {
    const NumberRows cycle;
    std::string text;
    for (int row = 0; row < SheetRows; ++row)
        text += cycle.texts[static_cast<size_t>(row) % cycle.texts.size()];
    return text + "\n\n";
}

int64_t NumberSheetTextBytes() {
    const NumberRows cycle;
    int64_t bytes = 2;
    for (int row = 0; row < SheetRows; ++row)
        bytes += static_cast<int64_t>(cycle.texts[static_cast<size_t>(row) % 20].size());
    return bytes;
}

// A body of 1,100,000 one-word paragraphs: 60 MB of XML.
std::string OneWordBody() {
    const std::string paragraph = "<w:p><w:pPr/><w:r><w:rPr/><w:t>word</w:t></w:r></w:p>";
    return "<w:document><w:body>" + Repeated(paragraph, static_cast<size_t>(BodyParagraphs)) +
           "<w:sectPr/></w:body></w:document>";
}

std::string OneWordBodyText() {
    return Repeated("word\t\n", BodyParagraphs);
}

const std::vector<HostileCase>& Cases() {
    static const std::vector<HostileCase> cases{
        {"SoundDocument", [] { return Sound(WordMarker).Build(); }, "Hello\t\n"},
        {"MemberDeclaring4GiB", [] { return WordWithBody(Deflate("<w:document/>"), 0xFFFFFFFF); },
         " "},
        {"DeflateBombOf1GiB", [] { return WordWithBody(ZeroStream(1u << 30), 1u << 30); }, " "},
        {"PartOneByteAboveTheLimit",
         [] { return WordWithBody(ZeroStream(MaxPartSizeBytes + 1), MaxPartSizeBytes + 1); }, " "},
        // Allowed, and costs its size once: the memory measure must see it, and stay below.
        {"PartOf24MiBOfZeros", [] { return WordWithBody(ZeroStream(24u << 20), 24u << 20); }, " "},
        {"BombBehindASmallDeclaration", [] { return WordWithBody(ZeroStream(256u << 20), 4096); },
         " "},
        {"CentralDirectoryOf65535Entries",
         [] {
             PackageBuilder package = Sound(WordMarker);
             for (int i = 3; i < 65535; ++i)
                 package.AddStored("f/" + std::to_string(i), "");
             return package.Build();
         },
         "Hello\t\n"},
        {"DirectoryOffsetOutsideTheFile",
         [] {
             PackageBuilder package = Sound(WordMarker);
             package.archive().directoryOffset = 0xFFFFFF00;
             return package.Build();
         },
         ""},
        {"DirectoryOffsetAtTheEndRecord",
         [] {
             return WithEndRecord(Sound(WordMarker),
                                  [](ArchiveOptions& a, uint32_t end) { a.directoryOffset = end; });
         },
         ""},
        {"DirectorySizeRunningPastTheFile",
         [] {
             return WithEndRecord(Sound(WordMarker), [](ArchiveOptions& a, uint32_t end) {
                 a.directoryOffset = end - 10;
                 a.directorySize = 0xFFFFFFF0;
             });
         },
         ""},
        {"LocalHeaderInsideTheDirectory",
         [] {
             PackageBuilder package = Sound(WordMarker);
             const auto size = static_cast<uint32_t>(package.Build().size());
             package.Last().localHeaderOffset = size - 22 - 46;
             return package.Build();
         },
         std::nullopt},
        {"LocalExtraLengthRunningPastTheFile",
         [] {
             PackageBuilder package = Sound(WordMarker);
             package.Last().localExtraLength = 0xFFFF;  // the body, the last member
             return package.Build();
         },
         ""},
        {"SlidesOf2147483647",
         [] {
             return Sound(PresentationMarker, {{"docProps/app.xml",
                                                "<Properties><Slides>2147483647</Slides>"
                                                "</Properties>"}})
                 .Build();
         },
         std::nullopt},
        {"TitlesOfPartsSizeOf2147483647",
         [] {
             return Sound(WorkbookMarker, {{"docProps/app.xml",
                                            "<Properties xmlns:vt=\"v\"><TitlesOfParts><vt:vector "
                                            "size=\"2147483647\"><vt:lpstr>A</vt:lpstr></vt:vector>"
                                            "</TitlesOfParts></Properties>"}})
                 .Build();
         },
         std::nullopt},
        {"SharedStringIndexOf2147483647",
         [] {
             return Sound(WorkbookMarker,
                          {{"xl/worksheets/sheet1.xml",
                            "<worksheet><sheetData><row><c t=\"s\"><v>2147483647</v></c></row>"
                            "</sheetData></worksheet>"}})
                 .Build();
         },
         " \t\n\n\n"},
        {"DocumentNested100000Deep",
         [] {
             return Sound(WordMarker, {{"word/document.xml", Nested("w:document", 100000)},
                                       {"docProps/core.xml", Nested("cp:coreProperties", 100000)},
                                       {"docProps/app.xml", Nested("Properties", 100000)}})
                 .Build();
         },
         " "},
        {"WorkbookNested100000Deep",
         [] {
             return Sound(WorkbookMarker,
                          {{"xl/sharedStrings.xml", Nested("sst", 100000)},
                           {"xl/worksheets/sheet1.xml", Nested("worksheet", 100000)}})
                 .Build();
         },
         "\n\n"},
        {"SlideNested100000Deep",
         [] {
             return Sound(PresentationMarker, {{"ppt/slides/slide1.xml", Nested("p:sld", 100000)}})
                 .Build();
         },
         " "},
        {"DocumentNestedToTheLimit",
         [] {
             return Sound(WordMarker, {{"word/document.xml", WordNestedTo(MaxNesting)}}).Build();
         },
         "Hello\t\n"},
        {"DocumentNestedOneBeyondTheLimit",
         [] {
             return Sound(WordMarker, {{"word/document.xml", WordNestedTo(MaxNesting + 1)}})
                 .Build();
         },
         " "},
        {"NestingAfterAProcessingInstruction",
         [] {
             return Sound(WordMarker,
                          {{"docProps/core.xml", NestedAfter("<?x>", "cp:coreProperties", "")},
                           {"word/document.xml", NestedAfter("<?x>", "w:document", "")}})
                 .Build();
         },
         " "},
        {"NestingInsideAProcessingInstruction",
         [] {
             return Sound(WordMarker,
                          {{"docProps/core.xml", NestedAfter("<?x > ", "cp:coreProperties", " ?>")},
                           {"word/document.xml", NestedAfter("<?x > ", "w:document", " ?>")}})
                 .Build();
         },
         " "},
        {"NestingInsideADoctypeString",
         [] {
             return Sound(
                        WordMarker,
                        {{"docProps/core.xml",
                          NestedAfter("<!DOCTYPE x \"> ", "cp:coreProperties", " \">")},
                         {"docProps/app.xml", NestedAfter("<!DOCTYPE x '> ", "Properties", " '>")},
                         {"word/document.xml",
                          NestedAfter("<!DOCTYPE x \"> ", "w:document", " \">")}})
                 .Build();
         },
         " "},
        {"NestingAfterCommentCdataAndUnknownNodes",
         [] {
             return Sound(WordMarker,
                          {{"docProps/core.xml", NestedAfter("<!-- <a> --><![CDATA[<a>]]><!x>",
                                                             "cp:coreProperties", "")},
                           {"docProps/app.xml", NestedAfter("<!ELEMENT a ANY>", "Properties", "")},
                           {"word/document.xml", NestedAfter("<![CDATA[<a>]]>", "w:document", "")}})
                 .Build();
         },
         " "},
        {"CorePropertiesRootCarrying40000Attributes",
         [] {
             return Sound(WordMarker, {{"docProps/core.xml",
                                        WithShortestAttributes("cp:coreProperties", 40000)}})
                 .Build();
         },
         "Hello\t\n"},
        {"AttributesAtTheLimitOnEveryElement",
         [] {
             std::string body;
             while (body.size() < (1u << 20))
                 body += WithShortestAttributes("w:p", MaxAttributes);
             return Sound(WordMarker, {{"word/document.xml",
                                        "<w:document><w:body>" + body + "</w:body></w:document>"}})
                 .Build();
         },
         std::nullopt},
        // The end record is looked for in the last 65535 bytes of the file only.
        {"ArchiveCommentOf65535Bytes",
         [] { return Sound(WordMarker).Comment(std::string(65535, 'P')).Build(); }, ""},
        {"ArchiveCommentOf65513Bytes",
         [] { return Sound(WordMarker).Comment(std::string(65513, 'P')).Build(); }, "Hello\t\n"},
        {"PartsThatAreNotUtf8",
         [] {
             return Sound(WordMarker,
                          {{"docProps/core.xml",
                            "<cp:coreProperties><dc:title>\xE9t\xE9 \xFF\xFE"
                            "\xC3</dc:title></cp:coreProperties>"},
                           {"docProps/app.xml", std::string("\xFF\xFE<\0P\0>\0", 8)},
                           {"word/document.xml",
                            "<w:document><w:body><w:p><w:r><w:t>\xC3\x28\xF8\x88\x80\x80\x80"
                            "</w:t></w:r></w:p></w:body></w:document>"}})
                 .Build();
         },
         std::nullopt},
        {"TextCutInsideAUtf8Sequence",
         [] {
             return Sound(WordMarker,
                          {{"word/document.xml", "<w:document><w:body><w:p><w:r><w:t>Hello\xDB"}})
                 .Build();
         },
         " "},
        {"EmptyFile", [] { return std::string(); }, ""},
        // Parts parsed into one tree are refused, unparsed, when their tree could be too large.
        {"CorePropertiesOf990NestedElementsAroundAMillionLeaves",
         [] {
             const std::string nested = Nested("a", 990);
             return Sound(WordMarker, {{"docProps/core.xml", CoreWith(nested.substr(0, 990 * 3) +
                                                                      Repeated("<b/>", 1000000) +
                                                                      nested.substr(990 * 3))}})
                 .Build();
         },
         "Hello\t\n"},
        {"CorePropertiesWith60MiBOfElementsAfterTheTitle",
         [] {
             return Sound(WordMarker,
                          {{"docProps/core.xml", CoreWith(Repeated("<a/>", 15u << 20))}})
                 .Build();
         },
         "Hello\t\n"},
        {"SharedStringOf1MiBIn20000Cells", SharedStringInEveryCell, std::nullopt,
         static_cast<int64_t>(FullTextLimit)},
        // Members that share their bytes are unreadable: each sheet would cost a whole inflate.
        {"SheetsSharingOneDeflateStreamOf64MiB",
         [] { return SheetsSharingOneMember(128, ZeroStream(64u << 20), 64u << 20); },
         std::string(2 * 128, '\n')},  // every sheet unreadable, each ends with an empty line
        {"SheetsSharingOneSheetOf1MB",
         [] {
             const std::string sheet = Declared("xl/worksheets/sheet1.xml", LargeSheet(1000000));
             return SheetsSharingOneMember(400, Deflate(sheet, 9),
                                           static_cast<uint32_t>(sheet.size()));
         },
         std::string(2 * 400, '\n')},
        // Read one row or paragraph at a time: seconds and gigabytes when they were read whole.
        {"SheetOf60MB",
         [] {
             return Sound(WorkbookMarker, {{"xl/worksheets/sheet1.xml", NumberSheet()}}).Build();
         },
         std::function<std::string()>(NumberSheetText), NumberSheetTextBytes(), 2.5},
        {"BodyOf60MB",
         [] {
             return Sound(WordMarker, {{"word/document.xml", OneWordBody()}}).Build();
         },
         std::function<std::string()>(OneWordBodyText), static_cast<int64_t>(BodyParagraphs) * 6,
         2.5},
        {"NamesCrowdingOneRunOfAHashTable", [] { return DocumentWithCrowdingNames(65530); },
         "Hello\t\n"},
        // What leads "Text" from part to part costs what the package holds, each part read once.
        {"HundredThousandSheetsNamingOnePart", SheetsNamingOnePart, "Name\t42\tX\t\n\n\n"},
        {"HundredThousandSlidesOfTheirOwn", SlidesOfTheirOwn, "  Hello    \n"},
        {"RelationshipCycles", RelationshipCycles, "Hello\t\n"},
        {"WorkbookRelationshipsOf1GiB",
         [] { return WorkbookRelationshipsBomb(1u << 30, 1u << 30); }, "Name\t42\tX\t\n\n\n"},
        {"WorkbookRelationshipsBombBehindASmallDeclaration",
         [] { return WorkbookRelationshipsBomb(256u << 20, 4096); }, "Name\t42\tX\t\n\n\n"},
        {"Zip64EndRecordsBeforeTheEndRecord",
         [] {
             PackageBuilder package = Sound(WordMarker);
             package.archive().zip64Record = true;
             package.archive().zip64Locator = true;
             return package.Build();
         },
         "Hello\t\n"},
    };
    return cases;
}

class HostileFile : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileFile, AnswersEveryFieldInTimeAndMemory) {
    ExpectWithinBounds(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostileFile, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<HostileCase>& param) {
                             return std::string(param.param.name);
                         });

std::string ReadTestDocument(const char* name) {
    std::ifstream in(std::string(QUILLET_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every prefix of a real document: a few fields for most, all of them for every 61st.
TEST(HostileFile, RealDocumentTruncatedAtEveryOffset) {
    for (const char* name : {"lo_writer.docx", "openpyxl.xlsx"}) {
        SCOPED_TRACE(name);
        const std::string whole = ReadTestDocument(name);
        ASSERT_GT(whole.size(), 1000u);
        const TempFile file("", ".docx");
        const Cost cost = RunMeasured([&](std::string& problems) {
            double slowest = 0;
            for (size_t length = 0; length < whole.size(); length += TruncationStep()) {
                file.Rewrite(whole.substr(0, length));
                const auto start = std::chrono::steady_clock::now();
                const std::string found =
                    AskFields(file.path(), (length / TruncationStep()) % 61 == 0
                                               ? AllFields()
                                               : std::vector<int>{3, 14, 37, 44, 45});
                slowest = std::max(slowest, Since(start));
                if (!found.empty())
                    problems += "at " + std::to_string(length) + ": " + found;
            }
            return slowest;
        });
        EXPECT_EQ(cost.problems, "");
        EXPECT_LT(cost.slowestSeconds, RequestSeconds());
        EXPECT_LT(cost.extraBytes, MostExtraBytes);
    }
}

TEST(HostileFile, DirectoriesAndFifosAreNoPackages) {
    const auto folder = std::filesystem::temp_directory_path() / "quillet-hostile-folder.docx";
    std::filesystem::create_directories(folder);
    std::vector<std::string> paths{folder.string()};
#ifndef _WIN32
    const std::string fifo = MissingPath();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    paths.push_back(fifo);
#endif
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const Cost cost = RunMeasured([&](std::string& problems) {
            const auto start = std::chrono::steady_clock::now();
            ContentSeen content;
            problems += AskFields(path, AllFields(), &content);
            if (content.bytes != 0)
                problems += "content \"" + content.start + "\"";
            return Since(start);
        });
        EXPECT_EQ(cost.problems, "");
        EXPECT_LT(cost.slowestSeconds, RequestSeconds());
    }
#ifndef _WIN32
    std::filesystem::remove(fifo);
#endif
    std::filesystem::remove(folder);
}

// TinyXML parses, prints and frees a slide recursively: 256 levels, the most a part may nest,
// must fit the 1 MiB stack of a Windows host thread.
TEST(HostileFile, SlideNestedToTheLimitFitsAOneMebibyteStack) {
    std::string inner = "<a:t>deep</a:t>";
    const int wrapperLevels = MaxNesting - 5;  // p:sld, p:cSld, p:spTree, p:sp, a:t
    const std::string slide = "<p:sld><p:cSld><p:spTree><p:sp>" +
                              Nested("a:g", wrapperLevels).insert(wrapperLevels * 5, inner) +
                              "</p:sp></p:spTree></p:cSld></p:sld>";
    const TempFile file(Sound(PresentationMarker, {{"ppt/slides/slide1.xml", slide}}).Build(),
                        ".pptx");
    ContentSeen content;
    std::string problems;
    RunOnStack(1u << 20, [&] { problems = AskFields(file.path(), {44, 45}, &content); });
    EXPECT_EQ(problems, "");
    EXPECT_NE(content.start.find("deep"), std::string::npos) << content.start.substr(0, 200);
    std::string text;
    RunOnStack(1u << 20, [&] { text = PluginModule::Get().FullText(file.path(), 45); });
    EXPECT_NE(text.find("deep"), std::string::npos) << text.substr(0, 200);
}

}  // namespace
}  // namespace quillet::test
