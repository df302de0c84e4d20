#include "package/MemberExtents.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

namespace quillet::zip {
namespace {

using Extents = std::vector<std::pair<uint64_t, uint64_t>>;

MemberExtents Sealed(const Extents& extents) {
    MemberExtents sealed;
    sealed.Reserve(extents.size());
    for (const auto& [start, end] : extents) {
        sealed.Add(start, end);
    }
    sealed.Seal();
    return sealed;
}

std::vector<bool> OverlappedOf(const Extents& extents) {
    const MemberExtents sealed = Sealed(extents);
    std::vector<bool> overlapped;
    for (size_t i = 0; i < extents.size(); ++i) {
        overlapped.push_back(sealed.Overlapped(static_cast<int32_t>(i)));
    }
    return overlapped;
}

TEST(MemberExtents, MarksBothSidesOfEveryOverlap) {
    struct Case {
        const char* what;
        Extents extents;
        std::vector<bool> overlapped;
    };
    const Case cases[] = {
        {"one after another", {{0, 40}, {40, 90}, {90, 200}}, {false, false, false}},
        {"gaps between", {{0, 40}, {50, 90}, {100, 200}}, {false, false, false}},
        {"out of order", {{100, 200}, {0, 40}, {40, 100}}, {false, false, false}},
        {"the same bytes twice", {{0, 40}, {40, 90}, {40, 90}}, {false, true, true}},
        {"one byte into the next", {{0, 41}, {40, 90}, {90, 200}}, {true, true, false}},
        {"one inside another", {{0, 200}, {40, 90}, {300, 400}}, {true, true, false}},
        {"a long one under two later ones",
         {{0, 30}, {30, 500}, {100, 130}, {300, 330}, {500, 530}},
         {false, true, true, true, false}},
        {"equal starts, the first longer", {{10, 90}, {10, 40}}, {true, true}},
        {"many entries on one header",
         {{0, 60}, {0, 60}, {0, 60}, {0, 60}, {60, 90}},
         {true, true, true, true, false}},
        {"none", {}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OverlappedOf(c.extents), c.overlapped) << c.what;
    }
}

TEST(MemberExtents, IndexesOutsideTheMembersAreNotOverlapped) {
    const MemberExtents sealed = Sealed({{0, 40}, {0, 40}});
    EXPECT_TRUE(sealed.Overlapped(1));
    EXPECT_FALSE(sealed.Overlapped(-1));
    EXPECT_FALSE(sealed.Overlapped(2));
    EXPECT_FALSE(sealed.ReachesAnother(-1, 1000));
    EXPECT_FALSE(sealed.ReachesAnother(2, 1000));
}

TEST(MemberExtents, RealExtentThatReachesAnotherMember) {
    // Three members, the middle one found longer once its local header is read.
    const MemberExtents sealed = Sealed({{100, 200}, {0, 50}, {300, 400}});
    struct Case {
        int32_t index;
        uint64_t end;
        bool reaches;
    };
    const Case cases[] = {
        {1, 50, false},  {1, 100, false}, {1, 101, true},  {1, 350, true},       {0, 200, false},
        {0, 300, false}, {0, 301, true},  {2, 400, false}, {2, 1u << 31, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sealed.ReachesAnother(c.index, c.end), c.reaches) << c.index << " " << c.end;
    }
    // A member that starts inside a longer one is reached by it whatever its own end.
    const MemberExtents nested = Sealed({{0, 500}, {100, 130}});
    EXPECT_TRUE(nested.ReachesAnother(1, 130));
}

TEST(MemberExtents, AgreesWithComparingEveryPair) {
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        Extents extents;
        const size_t count = 1 + random() % 12;
        for (size_t i = 0; i < count; ++i) {
            const uint64_t start = random() % 400;
            extents.emplace_back(start, start + 30 + random() % 60);
        }
        const MemberExtents sealed = Sealed(extents);
        for (size_t i = 0; i < count; ++i) {
            const uint64_t longerEnd = extents[i].second + random() % 100;
            bool overlaps = false;
            bool reaches = false;
            for (size_t j = 0; j < count; ++j) {
                if (j != i && extents[j].first < extents[i].second &&
                    extents[i].first < extents[j].second) {
                    overlaps = true;
                }
                if (j != i && extents[j].first < longerEnd &&
                    extents[i].first < extents[j].second) {
                    reaches = true;
                }
            }
            const auto index = static_cast<int32_t>(i);
            ASSERT_EQ(sealed.Overlapped(index), overlaps) << round << " " << i;
            ASSERT_EQ(sealed.ReachesAnother(index, longerEnd), reaches) << round << " " << i;
        }
    }
}

}  // namespace
}  // namespace quillet::zip
