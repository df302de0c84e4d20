// A file manager asks a row of columns again and again as the user scrolls: an answer from the
// kept records allocates nothing.
#include <gtest/gtest.h>

#include <quillet/content_plugin.h>

#include <string>

#include "faults/AllocationFaults.h"
#include "support/SoundPackage.h"
#include "support/TempFile.h"

namespace quillet::test {
namespace {

// Whether `ask` allocated at all.
template <typename Ask>
bool Allocates(Ask ask) {
    ArmAllocationFailure(1);
    ask();
    return DisarmAllocationFailure();
}

TEST(CachedAnswers, AllocateNothingInEitherForm) {
    const TempFile file(PackageOf(SoundParts(WordMarker)).Build());
    const std::string path = file.path();
    const std::u16string widePath(path.begin(), path.end());
    // A string, a number and a date-time, each through both calls.
    for (const int field : {0, 14, 27, 31}) {
        char value[256] = {};
        char16_t wide[256] = {};
        const int expected = ContentGetValue(path.c_str(), field, 0, value, sizeof value, 0);
        const std::string first(value);
        EXPECT_FALSE(Allocates([&] {
            EXPECT_EQ(ContentGetValue(path.c_str(), field, 0, value, sizeof value, 0), expected);
        })) << field;
        EXPECT_EQ(std::string(value), first) << field;
        ContentGetValueW(widePath.c_str(), field, 0, wide, sizeof wide, 0);
        EXPECT_FALSE(Allocates([&] {
            ContentGetValueW(widePath.c_str(), field, 0, wide, sizeof wide, 0);
        })) << field;
    }
    ContentPluginUnloading();
}

}  // namespace
}  // namespace quillet::test
