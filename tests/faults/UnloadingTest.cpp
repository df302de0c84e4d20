// ContentPluginUnloading lets go of everything kept: the answers after it are read afresh.
#include <gtest/gtest.h>

#include <quillet/content_plugin.h>

#include <cstring>
#include <string>

#include "faults/ReadFaults.h"
#include "support/SoundPackage.h"
#include "support/TempFile.h"

namespace quillet::test {
namespace {

constexpr int TitleField = 14;
constexpr int ContentField = 44;

// Whether `ask` read the package file at all.
template <typename Ask>
bool ReadsTheFile(Ask ask) {
    ArmReadAction(1, [] {});
    ask();
    return DisarmReadFault();
}

TEST(Unloading, DropsTheKeptRecordsAndTransferText) {
    const TempFile file(PackageOf(SoundParts(WordMarker)).Build());
    const std::string path = file.path();
    char value[256] = {};
    const auto title = [&] {
        EXPECT_EQ(ContentGetValue(path.c_str(), TitleField, 0, value, sizeof value, 0),
                  QUILLET_FIELD_STRING);
        EXPECT_STREQ(value, "Title");
    };
    char16_t wide[64] = {};
    const auto titleW = [&] {
        const std::u16string name(path.begin(), path.end());
        EXPECT_EQ(ContentGetValueW(name.c_str(), TitleField, 0, wide, sizeof wide, 0),
                  QUILLET_FIELD_STRING_W);
        EXPECT_EQ(std::u16string(wide), u"Title");
    };
    EXPECT_TRUE(ReadsTheFile(title));
    EXPECT_FALSE(ReadsTheFile(title));
    EXPECT_FALSE(ReadsTheFile(titleW));  // the records are kept in one form for both
    ContentPluginUnloading();
    EXPECT_TRUE(ReadsTheFile(titleW));
    EXPECT_FALSE(ReadsTheFile(title));

    // A transfer's text: kept after the first piece, gone after unloading.
    char piece[4] = {};
    EXPECT_TRUE(ReadsTheFile([&] {
        EXPECT_EQ(ContentGetValue(path.c_str(), ContentField, 0, piece, sizeof piece, 0), 9);
    }));
    EXPECT_STREQ(piece, "Hel");
    EXPECT_FALSE(ReadsTheFile([&] {
        EXPECT_EQ(ContentGetValue(path.c_str(), ContentField, 1, piece, sizeof piece, 0), 9);
    }));
    EXPECT_STREQ(piece, "lo\t");
    ContentPluginUnloading();
    EXPECT_TRUE(ReadsTheFile([&] {
        EXPECT_EQ(ContentGetValue(path.c_str(), ContentField, 1, piece, sizeof piece, 0), 9);
    }));
    EXPECT_STREQ(piece, "\n");
    EXPECT_EQ(ContentGetValue(path.c_str(), ContentField, -1, piece, sizeof piece, 0), 9);
    ContentPluginUnloading();
}

}  // namespace
}  // namespace quillet::test
