// Broken and hostile packages, each answered through the exported functions for every field
// within a second and within 64 MiB of extra memory.
#include <gtest/gtest.h>

#include <zlib.h>

#include <chrono>
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
#include "support/PackageBuilder.h"
#include "support/SoundPackage.h"
#include "support/TempFile.h"

namespace quillet::test {
namespace {

// A second per file. The sanitizer build runs under ASan and UBSan at -O1, several times slower:
// it checks memory safety and the memory budget, the optimised builds check the time. Wine
// emulates every file call of the Windows build, which costs some more besides.
double MostSeconds() {
#if defined(__SANITIZE_ADDRESS__)
    return 10.0;
#else
    return RunningUnderWine() ? 5.0 : 1.0;
#endif
}

// Wine's file calls make each file cost milliseconds: there every 13th prefix is asked.
size_t TruncationStep() {
    return RunningUnderWine() ? 13 : 1;
}
constexpr int64_t MostExtraBytes = 64ll << 20;
// The limits the README names: part size and element nesting.
constexpr uint32_t MaxPartSizeBytes = 64u << 20;
constexpr int MaxNesting = 1000;

// Raw deflate of `size` zero bytes, made of one compressed mebibyte repeated.
std::string ZeroStream(uint64_t size) {
    const auto flushed = [](size_t bytes) {
        z_stream stream{};
        deflateInit2(&stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
        std::string in(bytes, '\0');
        std::string out(deflateBound(&stream, static_cast<uLong>(bytes)) + 16, '\0');
        stream.next_in = reinterpret_cast<Bytef*>(in.data());
        stream.avail_in = static_cast<uInt>(bytes);
        stream.next_out = reinterpret_cast<Bytef*>(out.data());
        stream.avail_out = static_cast<uInt>(out.size());
        deflate(&stream, Z_FULL_FLUSH);  // byte-aligned and not final: blocks can follow
        out.resize(stream.total_out);
        deflateEnd(&stream);
        return out;
    };
    const std::string mebibyte = flushed(1u << 20);
    std::string stream;
    for (uint64_t i = 0; i < size >> 20; ++i)
        stream += mebibyte;
    if (size % (1u << 20) != 0)
        stream += flushed(static_cast<size_t>(size % (1u << 20)));
    return stream + std::string("\x03\x00", 2);  // an empty final block
}

std::string Nested(const std::string& name, int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<" + name + ">";
    for (int i = 0; i < depth; ++i)
        text += "</" + name + ">";
    return text;
}

// A sound package of the kind with some parts replaced.
PackageBuilder Sound(const char* marker, const std::map<std::string, std::string>& changes = {}) {
    auto parts = SoundParts(marker);
    for (const auto& [name, text] : changes)
        parts[name] = text;
    return PackageOf(parts);
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
    return PackageOf(parts).Add(body).Build();
}

std::string WithEndRecord(PackageBuilder package,
                          const std::function<void(ArchiveOptions&, uint32_t)>& change) {
    const auto size = static_cast<uint32_t>(package.Build().size());
    change(package.archive(), size - 22);  // the end record's offset
    return package.Build();
}

struct HostileCase {
    const char* name;
    std::function<std::string()> bytes;
    std::optional<std::string> content;  // the "Content" text it must give, where it is known
    // The bytes of text handed over, which the memory budget does not count: the module keeps
    // the text of a transfer.
    int64_t textBytes = 0;
};

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
    };
    return cases;
}

class HostileFile : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileFile, AnswersEveryFieldInTimeAndMemory) {
    const HostileCase& hostile = GetParam();
    const TempFile file(hostile.bytes(), ".docx");
    const Cost cost = RunMeasured([&](std::string& problems) {
        const auto start = std::chrono::steady_clock::now();
        ContentSeen content;
        problems += AskFields(file.path(), AllFields(), &content);
        const double seconds = Since(start);
        if (hostile.content && content.start != *hostile.content)
            problems += "content was \"" + content.start.substr(0, 100) + "\"";
        if (content.bytes > FullTextLimit)
            problems += "content of " + std::to_string(content.bytes) + " bytes";
        return seconds;
    });
    EXPECT_EQ(cost.problems, "");
    EXPECT_LT(cost.slowestSeconds, MostSeconds());
    // Beyond the budget: the text handed over, which the module keeps for the transfer.
    EXPECT_LT(cost.extraBytes, MostExtraBytes + hostile.textBytes);
    RecordProperty("seconds", std::to_string(cost.slowestSeconds));
    RecordProperty("extraBytes", std::to_string(cost.extraBytes));
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
                                               : std::vector<int>{3, 14, 37, 44});
                slowest = std::max(slowest, Since(start));
                if (!found.empty())
                    problems += "at " + std::to_string(length) + ": " + found;
            }
            return slowest;
        });
        EXPECT_EQ(cost.problems, "");
        EXPECT_LT(cost.slowestSeconds, MostSeconds());
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
        EXPECT_LT(cost.slowestSeconds, MostSeconds());
    }
#ifndef _WIN32
    std::filesystem::remove(fifo);
#endif
    std::filesystem::remove(folder);
}

// TinyXML parses, prints and frees a slide recursively: 1000 levels, the most a part may nest,
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
    RunOnStack(1u << 20, [&] { problems = AskFields(file.path(), {44}, &content); });
    EXPECT_EQ(problems, "");
    EXPECT_NE(content.start.find("deep"), std::string::npos) << content.start.substr(0, 200);
}

}  // namespace
}  // namespace quillet::test
