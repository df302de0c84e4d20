#include "package/NameIndex.h"

#include <gtest/gtest.h>

#include <string>

namespace quillet::zip {
namespace {

// Far more names than the table starts with, so that it grows several times while filled.
TEST(NameIndex, FindsEveryNameAfterGrowingAndKeepsTheFirstOfEqualNames) {
    NameIndex index;
    for (int32_t i = 0; i < 300; ++i) {
        index.Add("ppt/slides/slide" + std::to_string(i) + ".xml", i);
    }
    index.Add("PPT/Slides/Slide7.XML", 300);
    for (int32_t i = 0; i < 300; ++i) {
        EXPECT_EQ(index.Find("PPT/SLIDES/SLIDE" + std::to_string(i) + ".XML"), i);
    }
    EXPECT_EQ(index.Find("ppt/slides/slide300.xml"), std::nullopt);
    EXPECT_EQ(index.Find(""), std::nullopt);
    index.Add("", 301);
    EXPECT_EQ(index.Find(""), 301);
}

}  // namespace
}  // namespace quillet::zip
