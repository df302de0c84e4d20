#include "package/ZipArchive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "support/PackageBuilder.h"
#include "support/TempFile.h"
#include "unit/ArchiveFixture.h"

namespace quillet {
namespace {

using test::MemberOptions;
using test::PackageBuilder;
using test::TempFile;

class ZipNameLookup : public ArchiveFixture {
  protected:
    // The index FindMember answers for `name`, or -1 when it does not answer ZipOk.
    int32_t Find(const char* name) {
        int32_t index = -2;
        ZipEntry entry;
        return archive_->FindMember(name, index, entry) == ZipOk ? index : -1;
    }

    static PackageBuilder Package() {
        PackageBuilder builder;
        builder.AddStored("[Content_Types].xml", "types")
            .AddDeflated("docProps/core.xml", "core")
            .AddStored("docProps/app.xml", "app")
            .AddDeflated("word/document.xml", "document");
        return builder;
    }
};

TEST_F(ZipNameLookup, LetterCaseIsIgnoredAndTheSameEntryFound) {
    ZipArchive& archive = Open(Package());
    ZipEntry exact;
    ZipEntry capitals;
    int32_t exactIndex = -1;
    int32_t capitalsIndex = -1;
    ASSERT_EQ(archive.FindMember("docProps/core.xml", exactIndex, exact), ZipOk);
    ASSERT_EQ(archive.FindMember("DOCPROPS/CORE.XML", capitalsIndex, capitals), ZipOk);
    EXPECT_EQ(exactIndex, 1);
    EXPECT_EQ(capitalsIndex, exactIndex);
    EXPECT_EQ(std::memcmp(&exact, &capitals, sizeof exact), 0);
    EXPECT_STREQ(capitals.name, "docProps/core.xml");
    EXPECT_EQ(Find("[content_types].XML"), 0);
    EXPECT_EQ(Find("Word/Document.Xml"), 3);
}

TEST_F(ZipNameLookup, OnlyAsciiLettersFold) {
    // Each pair differs by 0x20 like a letter and its capital, but neither is an ASCII letter.
    const std::pair<const char*, const char*> pairs[] = {{"a[1].xml", "a{1].xml"},
                                                         {"a@.xml", "a`.xml"},
                                                         {"\xC9t\xE9.xml", "\xE9t\xE9.xml"},
                                                         {"x\\y.xml", "x|y.xml"},
                                                         {"x/y.xml", "x\x0Fy.xml"}};
    for (const auto& [stored, other] : pairs) {
        Open(PackageBuilder().AddStored(stored, "data"));
        EXPECT_EQ(Find(stored), 0) << stored;
        EXPECT_EQ(Find(other), -1) << other;
    }
}

TEST_F(ZipNameLookup, MissingNameAnswersAnEmptyEntry) {
    ZipArchive& archive = Open(Package());
    for (const char* name : {"docProps\\core.xml", "docProps/core.xm", "docProps/core.xml ", "",
                             "word/document.xml/", "ocProps/core.xml"}) {
        ZipEntry entry;
        entry.compressedSize = 0x1234;
        entry.uncompressedSize = 99;
        int32_t index = 7;
        EXPECT_EQ(archive.FindMember(name, index, entry), ZipNoSuchMember) << name;
        EXPECT_EQ(index, -1);
        ZipEntry expected;
        expected.index = -1;
        EXPECT_EQ(std::memcmp(&entry, &expected, sizeof entry), 0) << name;
    }
    int32_t index = 0;
    ZipEntry entry;
    EXPECT_EQ(archive.FindMember(nullptr, index, entry), ZipNoSuchMember);
}

TEST_F(ZipNameLookup, TheEarlierOfTwoNamesInOtherCaseWins) {
    Open(PackageBuilder()
             .AddStored("Word/Document.xml", "first")
             .AddStored("word/document.xml", "second"));
    EXPECT_EQ(Find("word/document.xml"), 0);
    EXPECT_EQ(Find("WORD/DOCUMENT.XML"), 0);
    Open(PackageBuilder()
             .AddStored("other.xml", "x")
             .AddStored("a.xml", "first")
             .AddStored("A.XML", "second"));
    EXPECT_EQ(Find("A.XML"), 1);
}

TEST_F(ZipNameLookup, NamesOf256BytesOrMoreNeverMatch) {
    const std::string name255 = "n/" + std::string(253, 'a');
    const std::string name256 = "n/" + std::string(254, 'b');
    const std::string name300 = "n/" + std::string(298, 'c');
    Open(PackageBuilder()
             .AddStored(name255, "255")
             .AddStored(name256, "256")
             .AddStored(name300, "300"));
    EXPECT_EQ(Find(name255.c_str()), 0);
    EXPECT_EQ(Find(name256.c_str()), -1);
    EXPECT_EQ(Find(name256.substr(0, 255).c_str()), -1);
    EXPECT_EQ(Find(name300.c_str()), -1);
    EXPECT_EQ(Find(name300.substr(0, 255).c_str()), -1);

    // A long name is still described, cut to what the entry holds.
    ZipEntry entry;
    ASSERT_EQ(archive_->DescribeMember(2, entry), ZipOk);
    EXPECT_EQ(std::string(entry.name), name300.substr(0, ZipEntryNameSize - 1));
}

TEST_F(ZipNameLookup, StoredNameEndsAtItsFirstNulByte) {
    Open(PackageBuilder().AddStored(std::string("core.xml\0junk", 13), "data"));
    EXPECT_EQ(Find("core.xml"), 0);
    EXPECT_EQ(Find("core.xml\\0junk"), -1);
}

TEST_F(ZipNameLookup, BadCentralHeaderEndsTheWalk) {
    PackageBuilder builder = Package();
    MemberOptions broken;
    broken.name = "broken.xml";
    broken.centralSignature = 0x02014b51;
    builder.Add(broken).AddStored("after.xml", "after");
    // The broken header sits between the fourth member and the last.
    Open(builder);
    EXPECT_EQ(Find("word/document.xml"), 3);
    EXPECT_EQ(Find("broken.xml"), -1);
    EXPECT_EQ(Find("after.xml"), -1);
    EXPECT_EQ(Find("docProps/app.xml"), 2);
}

TEST_F(ZipNameLookup, HeaderRunningPastTheDirectoryEndsTheWalk) {
    // The last header's name length claims more bytes than the directory holds.
    PackageBuilder builder = Package();
    builder.AddStored("last.xml", "last");
    builder.Last().centralNameLength = 60000;
    Open(builder);
    EXPECT_EQ(Find("word/document.xml"), 3);
    EXPECT_EQ(Find("last.xml"), -1);
}

TEST_F(ZipNameLookup, BadFirstHeaderLeavesEveryNameUnfound) {
    PackageBuilder broken;
    MemberOptions first;
    first.name = "first.xml";
    first.centralSignature = 0;
    broken.Add(first).AddStored("docProps/core.xml", "core");
    ZipArchive& archive = Open(broken);
    EXPECT_EQ(archive.entryCount(), 2);
    EXPECT_EQ(Find("first.xml"), -1);
    EXPECT_EQ(Find("docProps/core.xml"), -1);
}

// Entries past a bad central header cannot be described or extracted; those before it stay
// found, whatever was asked of the others.
TEST_F(ZipNameLookup, EntriesPastABadHeaderAreUnreachableAndTheOthersStayFound) {
    PackageBuilder builder;
    MemberOptions broken;
    broken.name = "broken.xml";
    broken.centralSignature = 0x12345678;
    builder.AddStored("a.xml", "a").AddStored("b.xml", "b").Add(broken).AddStored("d.xml", "d");
    ZipArchive& archive = Open(builder);
    EXPECT_EQ(Find("b.xml"), 1);
    EXPECT_EQ(Find("d.xml"), -1);
    ZipEntry entry;
    EXPECT_EQ(archive.DescribeMember(3, entry), ZipDamaged);
    EXPECT_EQ(Find("a.xml"), 0);
    char buffer[4];
    EXPECT_EQ(archive.ExtractMember(2, buffer, sizeof buffer), ZipExtractFailed);
    EXPECT_EQ(Find("b.xml"), 1);
}

TEST_F(ZipNameLookup, MissLeavesTheCursorAndTheOpenMember) {
    ZipArchive& archive = Open(Package());
    char first[4];
    ASSERT_EQ(archive.ExtractMember(3, first, sizeof first), ZipBufferFilled);
    EXPECT_EQ(Find("missing.xml"), -1);
    char rest[4] = {};
    ASSERT_EQ(archive.ExtractMember(3, rest, sizeof rest), ZipBufferFilled);
    EXPECT_EQ(std::string(first, 4) + std::string(rest, 4), "document");
}

TEST_F(ZipNameLookup, NameFoundBeyondTheEntryCountIsBadArgument) {
    // Counts of zero never stop the walk, so the name is found but lies outside the directory.
    PackageBuilder builder = Package();
    builder.archive().entriesOnDisk = 0;
    builder.archive().entriesTotal = 0;
    ZipArchive& archive = Open(builder);
    int32_t index = -1;
    ZipEntry entry;
    EXPECT_EQ(archive.FindMember("docProps/app.xml", index, entry), ZipBadArgument);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(archive.FindMember("missing.xml", index, entry), ZipNoSuchMember);
}

TEST_F(ZipNameLookup, EntryCountBelowTheDirectoryStopsTheWalk) {
    PackageBuilder builder = Package();
    builder.archive().entriesOnDisk = 2;
    builder.archive().entriesTotal = 2;
    ZipArchive& archive = Open(builder);
    EXPECT_EQ(archive.entryCount(), 2);
    EXPECT_EQ(Find("docProps/core.xml"), 1);
    EXPECT_EQ(Find("docProps/app.xml"), -1);
}

// The index grows past its first table many times over; every name keeps its first entry.
TEST(NameIndex, ManyNamesEachFindTheirFirstEntry) {
    zip::NameIndex index;
    constexpr int32_t Count = 5000;
    for (int32_t i = 0; i < Count; ++i) {
        index.Add("xl/worksheets/sheet" + std::to_string(i) + ".xml", i);
    }
    for (int32_t i = 0; i < Count; ++i) {
        index.Add("XL/WORKSHEETS/SHEET" + std::to_string(i) + ".XML", Count + i);
    }
    for (int32_t i = 0; i < Count; ++i) {
        EXPECT_EQ(index.Find("Xl/Worksheets/Sheet" + std::to_string(i) + ".xml"), i);
    }
    EXPECT_EQ(index.Find("xl/worksheets/sheet" + std::to_string(Count) + ".xml"), std::nullopt);
    EXPECT_EQ(index.Find(""), std::nullopt);
}

}  // namespace
}  // namespace quillet
