// The patched TinyXML against Debian's own, node for node, on the parts of the real documents,
// on hostile shapes and on every input the fuzzers kept; and the patches' own interface: the
// depth a node takes where it is linked, the per-document white-space setting, ParseAsChildOf.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "platform/Env.h"
#include "support/MemberNames.h"
#include "support/Repeat.h"
#include "tinyxml/TinyXmlDiff.h"

namespace quillet::test {
namespace {

namespace fs = std::filesystem;

std::string Nested(int depth, const std::string& inner = "t") {
    const auto times = static_cast<size_t>(depth);
    return Repeat("<a>", times) + inner + Repeat("</a>", times);
}

std::string WithAttributes(int count, const std::string& after = "/>") {
    std::string text = "<r";
    for (int i = 0; i < count; ++i) {
        text += " a" + std::to_string(i) + "='" + std::to_string(i) + "'";
    }
    return text + after;
}

struct Shape {
    const char* name;
    std::string text;
};

std::vector<Shape> HostileShapes() {
    const std::string bom = "\xEF\xBB\xBF";
    return {
        {"empty", ""},
        {"white space only", " \t\r\n"},
        {"nesting at the limit", Nested(256)},
        {"nesting one past the limit", Nested(257)},
        {"nesting far past the limit", Nested(2000)},
        {"nesting past the limit, unclosed", Repeat("<a>", 300)},
        {"nesting past the limit behind comments", Repeat("<a><!-- c -->", 300) + "x"},
        {"nesting past the limit below text and CDATA",
         Repeat("<a>t<![CDATA[c]]>", 270) + Repeat("</a>", 270)},
        {"nesting at the limit, bad name at the bottom", Repeat("<a>", 256) + "<1/>"},
        {"attributes at the limit", WithAttributes(256)},
        {"attributes one past the limit", WithAttributes(257)},
        {"attributes past the limit, then junk", WithAttributes(256, " junk>")},
        {"attributes past the limit, unclosed", WithAttributes(300, "")},
        {"attribute given twice", "<r a='1' a='2'/>"},
        {"attributes without quotes", "<r a=1 b=x/y c=\"q\"/>"},
        {"attribute with a trailing quote", "<r a=1'/>"},
        {"entities", "<r a='&lt;&amp;&gt;&quot;&apos;'>&lt;x&gt; &amp; &quot;&apos;&unknown;</r>"},
        {"character references",
         "<r>&#65;&#x42;&#x20AC;&#128512;&#0;&#x;&#12a;&#x110000;&#xFFFFFFFFF;</r>"},
        {"unterminated reference", "<r>&#x41</r>"},
        {"CDATA", "<r><![CDATA[ <not> &amp; ]]]]><![CDATA[>]]> tail </r>"},
        {"unterminated CDATA", "<r><![CDATA[ open"},
        {"comments", "<!-- top --><r><!-- a -- b --><!---->x<!-- <r/> --></r><!-- end"},
        {"declaration utf-8",
         "<?xml version='1.0' encoding='UTF-8' standalone='yes'?><r>\xC3\xA9</r>"},
        {"declaration utf8", "<?XML VERSION=\"1.0\" ENCODING=\"utf8\"?><r>\xE2\x82\xAC</r>"},
        {"declaration latin-1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r>\xE9\xA0</r>"},
        {"declaration windows-1252",
         "<?xml encoding='windows-1252'?>\n<r a='\x80\xA0'>\x93q\x94</r>"},
        {"declaration cut short", "<?xml version='1.0"},
        {"doctype and unknowns", "<!DOCTYPE r [<!ENTITY e 'x'>]><?pi data?><r><!x><?y?></r>"},
        {"byte-order mark", bom + "<r>x</r>"},
        {"byte-order marks in white space", bom + " " + bom + "<r> " + bom + "x</r>"},
        {"noncharacter marks", "\xEF\xBF\xBE<r>\xEF\xBF\xBF y \xEF\xBF\xBE</r>"},
        {"stray 0xA0 around names and text", "<r\xA0 a='1'\xA0>\xA0x\xA0\xA0y\xA0</r\xA0>\xA0"},
        {"stray 0xA0 as a name", "<\xA0\xA0 \xA0='\xA0'>\xA0</\xA0\xA0>"},
        {"high bytes everywhere", "<r\x85 \xFF='\xFE'>\x80\x81\x9F\xC0\xC1\xF5\xF8</r\x85>"},
        {"text cut inside a UTF-8 sequence", "<r>ab\xE2\x82"},
        {"attribute cut inside a UTF-8 sequence", "<r a='\xF0\x9F\x98"},
        {"lead bytes before the end tag", "<r>x\xE2</r><s>\xF0</s>"},
        {"white space kinds", "<r>\t a \v b \f c \r\n d \x1C e </r>"},
        {"leading and trailing spaces", "<r xml:space='preserve'>  two  spaces  </r>"},
        {"mixed content", "<r> a <b> c </b> d <e/> f </r>"},
        {"end tag with spaces", "<r>x</r  \n >"},
        {"end tag of another name", "<r>x</rr>"},
        {"end tag prefix", "<rr>x</r>"},
        {"empty element with space", "<r / >"},
        {"names", "<_a-b.c:d e_f.g-h:i='1'><A1/><\xC3\xA9l\xC3\xA9ment/></_a-b.c:d>"},
        {"bad names", "<1a/><-a/><.a/>"},
        {"text at the top", "x<r/>"},
        {"two roots and trailing text", "<r/><s/>tail"},
        {"embedded NUL cut", std::string("<r>a\0b</r>", 10)},
    };
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every member of the real documents, and of the samples.
std::vector<Shape> RealMembers() {
    std::vector<Shape> members;
    for (const char* folder : {QUILLET_TEST_DATA_DIR, QUILLET_SOURCE_DIR "/samples"}) {
        for (const auto& file : fs::directory_iterator(folder)) {
            const std::string extension = file.path().extension().string();
            if (extension != ".docx" && extension != ".xlsx" && extension != ".pptx") {
                continue;
            }
            const auto archive = ZipArchive::Open(
                platform::SystemEnv().OpenFile(platform::FilePath(file.path().string().c_str())));
            if (!archive) {
                continue;
            }
            for (const std::string& name : test::MemberNames(ReadFile(file.path()))) {
                const auto text = ReadPartText(*archive, name.c_str());
                if (text) {
                    members.push_back({"member", *text});
                }
            }
        }
    }
    return members;
}

TEST(TinyXmlDiff, HostileShapesParseAsDebiansTinyXmlParsesThem) {
    for (const Shape& shape : HostileShapes()) {
        EXPECT_EQ(TinyXmlDifference(shape.text), "") << shape.name;
    }
}

TEST(TinyXmlDiff, EveryMemberOfTheRealDocumentsParsesAlike) {
    const std::vector<Shape> members = RealMembers();
    EXPECT_GT(members.size(), 50u);
    for (const Shape& member : members) {
        EXPECT_EQ(TinyXmlDifference(member.text), "");
    }
}

// Every member cut short at a few places, as a broken package leaves it; the fuzz target cuts
// and changes the members everywhere.
TEST(TinyXmlDiff, MembersCutShortParseAlike) {
    for (const Shape& member : RealMembers()) {
        const size_t step = member.text.size() / 13 + 1;
        for (size_t length = 0; length < member.text.size(); length += step) {
            ASSERT_EQ(TinyXmlDifference(member.text.substr(0, length)), "") << length;
        }
    }
}

// Whatever the fuzzers kept in the build tree: their corpora and findings, when present.
TEST(TinyXmlDiff, EveryKeptFuzzInputParsesAlike) {
    size_t files = 0;
    for (const char* folder : {"found", "corpus"}) {
        const fs::path root = fs::path(QUILLET_SOURCE_DIR) / "build" / "fuzz" / folder;
        if (!fs::is_directory(root)) {
            continue;
        }
        for (const auto& file : fs::recursive_directory_iterator(root)) {
            if (file.is_regular_file()) {
                ++files;
                EXPECT_EQ(TinyXmlDifference(ReadFile(file.path())), "") << file.path();
            }
        }
    }
    std::printf("%zu fuzz inputs compared\n", files);
}

// The comparison itself finds what it is there to find.
TEST(TinyXmlDiff, TheLimitsAreTheOnlyExceptionAllowed) {
    // Debian's copy nests 257 deep where the patched one must refuse: an allowed difference.
    EXPECT_EQ(TinyXmlDifference(Nested(257)), "");
    TiXmlDocument deep;
    deep.Parse(Nested(257).c_str());
    EXPECT_EQ(deep.ErrorId(), TiXmlBase::TIXML_ERROR_PARSING_ELEMENT);
    TiXmlDocument many;
    many.Parse(WithAttributes(257).c_str());
    EXPECT_EQ(many.ErrorId(), TiXmlBase::TIXML_ERROR_PARSING_ELEMENT);
}

// A text that ends inside a UTF-8 sequence, with nothing after its terminator: the patched parser
// reads no byte past it (AddressSanitizer watches the exact heap block in the sanitizer suite).
TEST(TinyXmlBounds, ATextCutInsideASequenceIsNotReadPastItsEnd) {
    for (const char* text : {"<r>ab\xE2", "<r>\xF0\x9F", "<r a='\xE2", "<r>x \xC3", "<r>\xE2"}) {
        for (const bool condense : {true, false}) {
            const size_t size = std::strlen(text) + 1;
            const std::unique_ptr<char[]> exact(new char[size]);
            std::memcpy(exact.get(), text, size);
            TiXmlDocument document;
            document.SetParseWhiteSpaceCondensed(condense);
            EXPECT_EQ(document.Parse(exact.get(), nullptr, TIXML_ENCODING_UTF8), nullptr) << text;
            EXPECT_TRUE(document.Error()) << text;
        }
    }
}

// Debian's copy stepped over a NUL that cut a sequence short and parsed the bytes after it; the
// text ends at the NUL now, as every other parse of TinyXML's reads it.
TEST(TinyXmlBounds, ATextEndsAtANulInsideASequence) {
    const char buffer[] = "<r>\xF2\0xyz</r>";
    TiXmlDocument document;
    EXPECT_EQ(document.Parse(buffer, nullptr, TIXML_ENCODING_UTF8), nullptr);
    TiXmlDocument cut;
    cut.Parse("<r>\xF2", nullptr, TIXML_ENCODING_UTF8);
    EXPECT_EQ(document.ErrorId(), TiXmlBase::TIXML_ERROR_READING_ELEMENT_VALUE);
    EXPECT_EQ(document.ErrorId(), cut.ErrorId());
}

// Builds a chain of `depth` elements by hand under a document: the last one.
TiXmlElement* Chain(TiXmlDocument& document, int depth) {
    TiXmlNode* parent = &document;
    for (int i = 0; i < depth; ++i) {
        parent = parent->LinkEndChild(new TiXmlElement("a"));
    }
    return parent->ToElement();
}

struct LinkedCase {
    int depth;  // of the hand-built element the text is parsed under
    const char* text;
    bool parses;
};

// A node linked under a parent before it is parsed takes the parent's depth, as the element
// stream links its frames and parses their children.
TEST(TinyXmlDepth, ElementsParsedUnderLinkedParentsCountTheirDepth) {
    const LinkedCase cases[] = {
        {254, "<b><c/></b>", true}, {255, "<b/>", true},       {255, "<b><c/></b>", false},
        {256, "<b/>", false},       {256, "<!-- c -->", true}, {1, "<b>x</b>", true},
    };
    for (const LinkedCase& test : cases) {
        TiXmlDocument document;
        TiXmlElement* parent = Chain(document, test.depth);
        TiXmlNode* node = parent->Identify(test.text, TIXML_ENCODING_UTF8);
        ASSERT_NE(node, nullptr);
        const char* end = node->Parse(test.text, nullptr, TIXML_ENCODING_UTF8);
        EXPECT_EQ(end != nullptr && !document.Error(), test.parses) << test.depth << test.text;
        delete node;
    }
}

TEST(TinyXmlDepth, InsertedAndReplacedNodesTakeTheirNewParentsDepth) {
    TiXmlDocument document;
    TiXmlElement* parent = Chain(document, 255);
    TiXmlElement model("m");
    TiXmlNode* inserted = parent->InsertEndChild(model);
    TiXmlNode* before = parent->InsertBeforeChild(inserted, model);
    TiXmlNode* after = parent->InsertAfterChild(inserted, model);
    TiXmlNode* replaced = parent->ReplaceChild(after, model);
    for (TiXmlNode* node : {inserted, before, replaced}) {
        const char* text = "<x><y/></x>";
        TiXmlNode* child = node->Identify(text, TIXML_ENCODING_UTF8);
        EXPECT_EQ(child->Parse(text, nullptr, TIXML_ENCODING_UTF8), nullptr);
        delete child;
    }
    EXPECT_EQ(inserted->GetDocument(), &document);
}

TEST(TinyXmlDepth, GetDocumentStillWalksTreesMovedByHand) {
    auto* top = new TiXmlElement("top");
    TiXmlNode* child = top->LinkEndChild(new TiXmlElement("child"));
    EXPECT_EQ(child->GetDocument(), nullptr);
    TiXmlDocument document;
    document.LinkEndChild(top);
    EXPECT_EQ(child->GetDocument(), &document);
}

struct SpaceCase {
    bool condense;
    const char* text;
    const char* value;  // of the root element's first child
};

// Each document has its own setting; the process-wide one is never touched.
TEST(TinyXmlSpace, EachDocumentParsesWithItsOwnSetting) {
    const SpaceCase cases[] = {
        {true, "<r>  a \n b  </r>", "a b"},      {false, "<r>  a \n b  </r>", "  a \n b  "},
        {false, "<r><b/>  tail  </r>", nullptr}, {true, "<r> &amp;  x </r>", "& x"},
        {false, "<r> &amp;  x </r>", " &  x "},
    };
    for (const SpaceCase& test : cases) {
        TiXmlDocument document;
        document.SetParseWhiteSpaceCondensed(test.condense);
        document.Parse(test.text, nullptr, TIXML_ENCODING_UTF8);
        ASSERT_FALSE(document.Error()) << test.text;
        const TiXmlNode* first = document.RootElement()->FirstChild();
        if (test.value == nullptr) {
            EXPECT_STREQ(first->NextSibling()->Value(), "  tail  ");
        } else {
            EXPECT_STREQ(first->Value(), test.value);
        }
        EXPECT_TRUE(TiXmlBase::IsWhiteSpaceCondensed());
    }
}

TEST(TinyXmlSpace, ADocumentStartsWithTheProcessWideSetting) {
    TiXmlBase::SetCondenseWhiteSpace(false);
    TiXmlDocument keeping;
    TiXmlBase::SetCondenseWhiteSpace(true);
    TiXmlDocument condensing;
    EXPECT_FALSE(keeping.IsParseWhiteSpaceCondensed());
    EXPECT_TRUE(condensing.IsParseWhiteSpaceCondensed());
    TiXmlDocument copy(keeping);
    EXPECT_FALSE(copy.IsParseWhiteSpaceCondensed());
}

// A node the caller makes itself parses with the document it names: its setting, its errors.
TEST(TinyXmlSpace, ParseAsChildOfTakesTheDocumentsSettingAndErrors) {
    for (const bool condense : {true, false}) {
        TiXmlDocument document;
        document.SetParseWhiteSpaceCondensed(condense);
        TiXmlElement* frame = Chain(document, 1);
        TiXmlText text("");
        const char* at = "  a  b  <x";
        const char* end = text.ParseAsChildOf(*frame, at, nullptr, TIXML_ENCODING_UTF8);
        EXPECT_STREQ(text.Value(), condense ? "a b" : "  a  b  ");
        EXPECT_EQ(end, at + 8);
    }
    TiXmlDocument document;
    TiXmlElement element("");
    EXPECT_EQ(element.ParseAsChildOf(document, "<a></b>", nullptr, TIXML_ENCODING_UTF8), nullptr);
    EXPECT_EQ(document.ErrorId(), TiXmlBase::TIXML_ERROR_READING_END_TAG);
    // Made without a parent, a text follows the process-wide setting.
    TiXmlText alone("");
    alone.Parse(" x  y ", nullptr, TIXML_ENCODING_UTF8);
    EXPECT_STREQ(alone.Value(), "x y");
}

// The helpers a streaming reader calls are public and read as the parsers do.
TEST(TinyXmlHelpers, PublicHelpersReadAsTheParsers) {
    EXPECT_STREQ(TiXmlBase::SkipWhiteSpace(" \t\xEF\xBB\xBFx", TIXML_ENCODING_UTF8), "x");
    EXPECT_STREQ(TiXmlBase::SkipWhiteSpace("\xA0x", TIXML_ENCODING_UTF8), "\xA0x");
    const char* spaces = " \r\n";
    EXPECT_EQ(TiXmlBase::SkipWhiteSpace(spaces, TIXML_ENCODING_UNKNOWN), spaces + 3);
    EXPECT_EQ(TiXmlBase::SkipWhiteSpace("", TIXML_ENCODING_UTF8), nullptr);
    std::string name;
    EXPECT_STREQ(TiXmlBase::ReadName("w:t>", &name, TIXML_ENCODING_UTF8), ">");
    EXPECT_EQ(name, "w:t");
    EXPECT_TRUE(TiXmlBase::StringEqual("</r>", "</r", false, TIXML_ENCODING_UTF8));
    EXPECT_TRUE(TiXmlBase::StringEqual("uTf-8", "UTF-8", true, TIXML_ENCODING_UNKNOWN));
    EXPECT_FALSE(TiXmlBase::StringEqual("</", "</r", false, TIXML_ENCODING_UTF8));
}

}  // namespace
}  // namespace quillet::test
