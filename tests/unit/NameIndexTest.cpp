#include "package/NameIndex.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

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

TEST(NameIndex, LookupRules) {
    const std::string long255(255, 'n');
    const std::string long256(256, 'n');
    NameIndex index;
    const std::vector<std::string> stored{
        "zeta.xml",                        // 0
        "Docs/Part.xml",                   // 1
        "docs\\part.xml",                  // 2
        "DOCS/PART.XML",                   // 3: equal to 1 once folded, later
        "caf\xC3\xA9.xml",                 // 4
        std::string("cut.xml\0tail", 12),  // 5
        long255,                           // 6
        long256,                           // 7
        "xl/worksheets/sheet10.xml",       // 8: the first eight bytes are alike from here on
        "xl/worksheets/sheet1.xml",        // 9
        "xl/worksheets/sheet100.xml",      // 10
        "xl/worksheets/",                  // 11
        "A",                               // 12
    };
    for (size_t i = 0; i < stored.size(); ++i) {
        index.Add(stored[i], static_cast<int32_t>(i));
    }
    struct Case {
        std::string wanted;
        std::optional<int32_t> found;
    };
    const Case cases[] = {
        {"docs/part.xml", 1},
        {"DOCS/PART.XML", 1},
        {"DOCS\\PART.XML", 2},
        {"CAF\xC3\xA9.XML", 4},
        {"CAF\xC3\x89.XML", std::nullopt},  // only ASCII letters fold
        {"cut.xml", 5},
        {std::string("cut.xml\0other", 13), 5},
        {"cut.xml\1", std::nullopt},
        {long255, 6},
        {long256, std::nullopt},
        {"XL/WORKSHEETS/SHEET1.XML", 9},
        {"xl/worksheets/sheet10.xml", 8},
        {"xl/worksheets/sheet100.xml", 10},
        {"xl/worksheets/sheet1000.xml", std::nullopt},
        {"xl/worksheets/", 11},
        {"xl/worksheets", std::nullopt},
        {"a", 12},
        {"", std::nullopt},
        {"ZETA.XML", 0},
        {"zeta.xm", std::nullopt},
        {"zeta.xmlx", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(index.Find(c.wanted), c.found) << c.wanted;
    }
}

// The first entry in index order whose name matches, found the slow way.
std::optional<int32_t> FirstMatch(const std::vector<std::string>& names,
                                  const std::string& wanted) {
    const auto fold = [](std::string name) {
        for (char& c : name) {
            c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
        return name;
    };
    for (size_t i = 0; i < names.size(); ++i) {
        if (fold(names[i]) == fold(wanted)) {
            return static_cast<int32_t>(i);
        }
    }
    return std::nullopt;
}

TEST(NameIndex, AgreesWithAWalkOverRandomNames) {
    // Few letters, so that many names are equal once folded, and names of either side of the
    // eight bytes that most comparisons decide on.
    const std::string alphabet = "aAbB/\\\x80\xFF";
    std::mt19937 random(7);
    const auto randomName = [&] {
        std::string name(random() % 13, ' ');
        for (char& c : name) {
            c = alphabet[random() % alphabet.size()];
        }
        return name;
    };
    std::vector<std::string> names;
    NameIndex index;
    for (int32_t i = 0; i < 3000; ++i) {
        names.push_back(randomName());
        index.Add(names.back(), i);
        if (i % 1000 == 999) {  // names added after lookups are found as well
            for (int query = 0; query < 300; ++query) {
                const std::string wanted = randomName();
                ASSERT_EQ(index.Find(wanted), FirstMatch(names, wanted)) << wanted;
            }
        }
    }
}

TEST(NameIndex, NamesAlikeInTheirFirstBytesAreAllFound) {
    NameIndex index;
    const std::string stem = "customXml/item";
    constexpr int32_t Count = 20000;
    for (int32_t i = Count - 1; i >= 0; --i) {
        index.Add(stem + std::to_string(i), Count - 1 - i);
    }
    for (int32_t i = 0; i < Count; ++i) {
        ASSERT_EQ(index.Find(stem + std::to_string(i)), Count - 1 - i);
    }
    EXPECT_EQ(index.Find(stem), std::nullopt);
}

}  // namespace
}  // namespace quillet::zip
