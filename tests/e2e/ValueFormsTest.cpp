// Every value form as it lands in the host's buffer: exact bytes, and nothing written past them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/PackageBuilder.h"
#include "support/PluginModule.h"
#include "support/TempFile.h"

namespace quillet::test {
namespace {

std::string FormsPackage() {
    PackageBuilder package;
    package.AddDeflated(
        "docProps/core.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><cp:coreProperties>"
        "<dc:title>Quarterly report</dc:title>"
        "<dcterms:modified>2013-04-26T19:52:25Z</dcterms:modified>"
        "<dcterms:created>2013-04-26T21:52:25+02:00</dcterms:created>"
        "<cp:lastPrinted>2013-02-30T10:00:00Z</cp:lastPrinted></cp:coreProperties>");
    package.AddDeflated("docProps/app.xml",
                        "<?xml version=\"1.0\"?><Properties xmlns:vt=\"v\"><Pages>12</Pages>"
                        "<TotalTime>135</TotalTime><SharedDoc>true</SharedDoc><Words>0</Words>"
                        "<TitlesOfParts><vt:vector size=\"2\"><vt:lpstr>One</vt:lpstr>"
                        "<vt:lpstr>Two</vt:lpstr></vt:vector></TitlesOfParts></Properties>");
    package.AddStored("word/document.xml",
                      "<w:document><w:body><w:p><w:r><w:t>0123456789</w:t></w:r></w:p>"
                      "</w:body></w:document>");
    return package.Build();
}

std::vector<unsigned char> Bytes(std::initializer_list<int> values) {
    std::vector<unsigned char> bytes;
    for (const int v : values)
        bytes.push_back(static_cast<unsigned char>(v));
    return bytes;
}

TEST(ValueForms, EachTypeWritesExactlyItsBytes) {
    const PluginModule& module = PluginModule::Get();
    const TempFile file(FormsPackage());
    // 2013-04-26T19:52:25Z is 130114795450000000 = 0x01CE42B7'92D1E280 (low half first).
    const auto modified = Bytes({0x80, 0xE2, 0xD1, 0x92, 0xB7, 0x42, 0xCE, 0x01});
    struct Case {
        int field;
        int type;
        std::vector<unsigned char> bytes;
    };
    const Case cases[] = {
        {14, 8,
         Bytes(
             {'Q', 'u', 'a', 'r', 't', 'e', 'r', 'l', 'y', ' ', 'r', 'e', 'p', 'o', 'r', 't', 0})},
        {11, 10, modified},
        {3, 10, modified},  // the zone offset is applied
        {32, 1, Bytes({12, 0, 0, 0})},
        {42, 1, Bytes({0, 0, 0, 0})},
        {40, 5, Bytes({2, 0, 15, 0, 0, 0})},
        {41, 1, Bytes({135, 0, 0, 0})},
        {36, 6, Bytes({1, 0, 0, 0})},
        {28, 6, Bytes({0, 0, 0, 0})},
        {35, 8, Bytes({'C', 'r', 'o', 'p', 0})},
        {13, 8, Bytes({0})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        const auto answer = module.Value(file.path(), c.field, 0, 64);
        ASSERT_EQ(answer.result, c.type);
        EXPECT_EQ(
            std::vector<unsigned char>(answer.bytes.begin(),
                                       answer.bytes.begin() + static_cast<long>(c.bytes.size())),
            c.bytes);
        for (size_t i = c.bytes.size(); i < answer.bytes.size(); ++i) {
            ASSERT_EQ(answer.bytes[i], 0xCC) << "byte " << i << " written";
        }
    }
    for (const int empty : {10, 18, 38}) {  // an invalid date, and counts not given
        const auto answer = module.Value(file.path(), empty, 0, 64);
        EXPECT_EQ(answer.result, -3);
        EXPECT_EQ(answer.bytes[0], 0xCC);
    }
}

// A host buffer smaller than a fixed-size form gets nothing at all, and the field no value.
TEST(ValueForms, FixedSizeFormsNeverPassTheHostsSize) {
    const PluginModule& module = PluginModule::Get();
    const TempFile file(FormsPackage());
    struct Form {
        int field;
        int type;
        int bytes;
    };
    const Form forms[] = {{32, 1, 4}, {36, 6, 4}, {40, 5, 6}, {11, 10, 8}};
    for (const Form& form : forms) {
        for (int size = 0; size <= 7; ++size) {
            SCOPED_TRACE("field " + std::to_string(form.field) + ", " + std::to_string(size) +
                         " bytes");
            const auto answer = module.Value(file.path(), form.field, 0, size);
            const bool fits = size >= form.bytes;
            EXPECT_EQ(answer.result, fits ? form.type : -3);
            for (int i = fits ? form.bytes : 0; i < size; ++i) {
                EXPECT_EQ(answer.bytes[static_cast<size_t>(i)], 0xCC) << "byte " << i;
            }
        }
    }
}

TEST(ValueForms, StringsAreCutToTheBufferAndTinyBuffersGetNothing) {
    const PluginModule& module = PluginModule::Get();
    const TempFile file(FormsPackage());
    const auto cut = module.Value(file.path(), 14, 0, 6);
    EXPECT_EQ(cut.result, 8);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(cut.bytes.data())), "Quart");
    const auto none = module.Value(file.path(), 14, 0, 0);
    EXPECT_EQ(none.result, 8);
}

TEST(ValueForms, FullTextPagesThroughTheExports) {
    const PluginModule& module = PluginModule::Get();
    const TempFile file(FormsPackage());
    EXPECT_EQ(module.FullText(file.path(), 44, 4), "0123456789\t\n");
    EXPECT_EQ(module.FullText(file.path(), 43, 3), " One Two");

    // A first call of "Titles" between two next calls of "Content" moves the shared offset.
    ASSERT_EQ(module.Value(file.path(), 44, 0, 4).result, 9);
    ASSERT_EQ(module.Value(file.path(), 44, 1, 4).result, 9);
    ASSERT_EQ(module.Value(file.path(), 43, 0, 3).result, 9);  // offset now 2
    const auto next = module.Value(file.path(), 44, 2, 4);
    ASSERT_EQ(next.result, 9);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(next.bytes.data())), "234");

    // An end call for a file that is gone answers -2 and leaves the offset alone.
    const std::string gone = MissingPath();
    EXPECT_EQ(module.Value(gone, 44, -1, 4).result, -2);
    const auto after = module.Value(file.path(), 44, 3, 4);
    ASSERT_EQ(after.result, 9);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(after.bytes.data())), "567");
    EXPECT_EQ(module.Value(file.path(), 44, -1, 4).result, 9);
}

}  // namespace
}  // namespace quillet::test
