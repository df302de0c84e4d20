// The module as a host sees it: loaded by path, called through its three exported names.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/PluginModule.h"
#include "support/TempFile.h"

namespace quillet::test {
namespace {

const std::string Expression =
    "EXT=\"DOCX\" | EXT=\"XLSX\" | EXT=\"PPTX\" | EXT=\"PPSX\" | EXT=\"DOCM\" | EXT=\"DOTX\" | "
    "EXT=\"DOTM\" | EXT=\"XLSM\" | EXT=\"XLTX\" | EXT=\"XLTM\" | EXT=\"PPTM\" | EXT=\"POTX\" | "
    "EXT=\"POTM\" | EXT=\"PPSM\"";

TEST(ContentGetDetectString, WritesTheWholeOrACutExpression) {
    const PluginModule& module = PluginModule::Get();
    struct Case {
        int size;
        std::string expected;
    };
    const Case cases[] = {{50, Expression.substr(0, 49)},
                          {200, Expression},
                          {2048, Expression},
                          {20, Expression.substr(0, 19)},
                          {49, Expression.substr(0, 48)},
                          {1, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        std::string buffer(static_cast<size_t>(c.size) + 8, 'x');
        EXPECT_EQ(module.detect(buffer.data(), c.size), 0);
        EXPECT_EQ(std::string(buffer.c_str()), c.expected);
        EXPECT_EQ(buffer.substr(static_cast<size_t>(c.size)), std::string(8, 'x'));
    }
    char untouched[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(module.detect(untouched, 0), 0);
    EXPECT_EQ(std::string(untouched, 4), "xxxx");
}

TEST(ContentGetSupportedField, EnumeratesTheTableAndStopsOutsideIt) {
    const PluginModule& module = PluginModule::Get();
    char name[64];
    char units[64];
    EXPECT_EQ(module.field(44, name, units, sizeof name), 9);
    EXPECT_STREQ(name, "Content");
    EXPECT_STREQ(units, "");
    EXPECT_EQ(module.field(0, name, units, sizeof name), 8);
    EXPECT_STREQ(name, "Category");

    EXPECT_EQ(module.field(45, name, units, sizeof name), 9);
    EXPECT_STREQ(name, "Text");
    for (const int index : {46, -1, 1000}) {
        std::memset(name, 'x', sizeof name);
        std::memset(units, 'x', sizeof units);
        EXPECT_EQ(module.field(index, name, units, sizeof name), 0);
        EXPECT_EQ(name[0], 'x');
        EXPECT_EQ(units[0], 'x');
    }
    int count = 0;
    while (module.field(count, name, units, sizeof name) != 0)
        ++count;
    EXPECT_EQ(count, 46);
}

TEST(ContentGetSupportedField, CutsTheNameToTheBuffer) {
    const PluginModule& module = PluginModule::Get();
    char name[16];
    char units[16];
    std::memset(name, 'x', sizeof name);
    EXPECT_EQ(module.field(19, name, units, 10), 1);
    EXPECT_STREQ(name, "Character");
    EXPECT_EQ(name[10], 'x');
    std::memset(name, 'x', sizeof name);
    std::memset(units, 'x', sizeof units);
    EXPECT_EQ(module.field(19, name, units, 0), 1);
    EXPECT_EQ(name[0], 'x');
    EXPECT_EQ(units[0], 'x');
}

TEST(ContentGetValue, MissingFileAnswersFileErrorBeforeAnyIndexCheck) {
    const PluginModule& module = PluginModule::Get();
    const std::string missing = MissingPath();
    for (const int index : {0, 3, 18, 21, 43, 44, 45, 46, -5}) {
        SCOPED_TRACE(index);
        const auto answer = module.Value(missing, index);
        EXPECT_EQ(answer.result, -2);
        EXPECT_EQ(answer.bytes[0], 0xCC);
    }
}

TEST(ContentGetValue, FieldIndexOutsideTheTableIsNoSuchField) {
    const PluginModule& module = PluginModule::Get();
    const TempFile file("not a package");
    for (const int index : {46, -5, -1, 1 << 30}) {
        SCOPED_TRACE(index);
        const auto answer = module.Value(file.path(), index);
        EXPECT_EQ(answer.result, -1);
        EXPECT_EQ(answer.bytes[0], 0xCC);
    }
}

TEST(ContentGetValue, FileThatIsNoPackageAnswersEveryFieldAsEmpty) {
    const PluginModule& module = PluginModule::Get();
    const TempFile file("plain text, not a ZIP package\n", ".docx");
    for (int index = 0; index < 43; ++index) {
        SCOPED_TRACE(index);
        const auto answer = module.Value(file.path(), index, 0, 64);
        char name[64];
        char units[64];
        const int type = module.field(index, name, units, sizeof name);
        if (type == 8) {
            EXPECT_EQ(answer.result, 8);
            EXPECT_EQ(answer.bytes[0], 0);
            EXPECT_EQ(answer.bytes[1], 0xCC);
        } else if (type == 6) {
            EXPECT_EQ(answer.result, 6);
            EXPECT_EQ(std::memcmp(answer.bytes.data(), "\0\0\0\0", 4), 0);
        } else {
            EXPECT_EQ(answer.result, -3);
            EXPECT_EQ(answer.bytes[0], 0xCC);
        }
    }
    for (const int index : {43, 44, 45}) {
        EXPECT_EQ(module.FullText(file.path(), index), "");
    }
}

}  // namespace
}  // namespace quillet::test
