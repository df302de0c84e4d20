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

class ZipDescribe : public ArchiveFixture {
  protected:
    // Opens a package of one member and describes it.
    ZipResult DescribeOnly(const MemberOptions& member, ZipEntry& entry) {
        PackageBuilder builder;
        builder.Add(member);
        return Open(builder).DescribeMember(0, entry);
    }

    static MemberOptions Member(const std::string& name = "part.xml",
                                const std::string& data = "0123456789") {
        MemberOptions member;
        member.name = name;
        member.data = data;
        return member;
    }
};

TEST_F(ZipDescribe, EntryOfASoundMember) {
    MemberOptions member = Member("docProps/core.xml", std::string(5000, 'x'));
    member.method = 8;
    ZipEntry entry;
    ASSERT_EQ(DescribeOnly(member, entry), ZipOk);
    EXPECT_EQ(entry.index, 0);
    EXPECT_STREQ(entry.name, "docProps/core.xml");
    EXPECT_EQ(entry.uncompressedSize, 5000);
    EXPECT_EQ(entry.compressedSize, static_cast<int32_t>(test::Deflate(member.data).size()));
}

TEST_F(ZipDescribe, MinusOneAnswersTheEntryCount) {
    ZipArchive& archive =
        Open(PackageBuilder().AddStored("a", "1").AddStored("b", "2").AddStored("c", "3"));
    ZipEntry entry;
    entry.compressedSize = 5;
    std::strcpy(entry.name, "stale");
    ASSERT_EQ(archive.DescribeMember(-1, entry), ZipOk);
    ZipEntry expected;
    expected.index = 3;
    EXPECT_EQ(std::memcmp(&entry, &expected, sizeof entry), 0);
}

TEST_F(ZipDescribe, IndexesOutsideTheDirectoryAreBadArguments) {
    ZipArchive& archive = Open(PackageBuilder().AddStored("a", "1").AddStored("b", "2"));
    for (const int32_t index : {-2, -100, INT32_MIN, 2, 3, INT32_MAX}) {
        ZipEntry entry;
        EXPECT_EQ(archive.DescribeMember(index, entry), ZipBadArgument) << index;
    }
}

TEST_F(ZipDescribe, SecondDescriptionComesFromMemoryWithoutReading) {
    // The first member lies before the end of the file the archive keeps in memory.
    ZipArchive& archive = Open(PackageBuilder()
                                   .AddStored("a.xml", std::string(100'000, 'a'))
                                   .AddStored("b.xml", "second"));
    ZipEntry first;
    ASSERT_EQ(archive.DescribeMember(1, first), ZipOk);
    // The file loses every byte; only the remembered entry can still be described.
    file_->Rewrite(std::string(200'000, '\0'));
    ZipEntry again;
    ASSERT_EQ(archive.DescribeMember(1, again), ZipOk);
    EXPECT_EQ(std::memcmp(&first, &again, sizeof first), 0);
    ZipEntry other;
    EXPECT_EQ(archive.DescribeMember(0, other), ZipDamaged);
}

TEST_F(ZipDescribe, LocalHeaderThatDisagreesIsDamaged) {
    struct Case {
        const char* what;
        void (*apply)(MemberOptions&);
    };
    const Case cases[] = {
        {"local method 8, central 0", [](MemberOptions& m) { m.localMethod = 8; }},
        {"method 12 in both headers", [](MemberOptions& m) { m.method = 12; }},
        {"local CRC-32", [](MemberOptions& m) { m.localCrc = 1; }},
        {"local compressed size", [](MemberOptions& m) { m.localCompressedSize = 11; }},
        {"local uncompressed size", [](MemberOptions& m) { m.localUncompressedSize = 9; }},
        {"local name length", [](MemberOptions& m) { m.localName = "part.xml2"; }},
        {"local signature", [](MemberOptions& m) { m.localSignature = 0x04034b51; }},
        {"local header past the file", [](MemberOptions& m) { m.localHeaderOffset = 1u << 30; }},
        {"local header cut by the file's end",
         [](MemberOptions& m) { m.localHeaderOffset = 0xFFFFFFF0u; }},
    };
    for (const Case& c : cases) {
        MemberOptions member = Member();
        c.apply(member);
        ZipEntry entry;
        EXPECT_EQ(DescribeOnly(member, entry), ZipDamaged) << c.what;
        int32_t index = -1;
        EXPECT_EQ(archive_->FindMember("part.xml", index, entry), ZipDamaged) << c.what;
    }
}

TEST_F(ZipDescribe, LocalDifferencesThatAreNotCheckedPass) {
    MemberOptions member = Member();
    member.localName = "PART.XML";
    member.dataDescriptor = true;
    ZipEntry entry;
    ASSERT_EQ(DescribeOnly(member, entry), ZipOk);
    EXPECT_STREQ(entry.name, "part.xml");
    EXPECT_EQ(entry.uncompressedSize, 10);
    EXPECT_EQ(entry.compressedSize, 10);
}

TEST_F(ZipDescribe, FlagBit3SkipsTheCrcAndSizeComparison) {
    MemberOptions member = Member("word/document.xml", std::string(4000, 'q'));
    member.method = 8;
    member.dataDescriptor = true;
    PackageBuilder builder;
    builder.Add(member);
    ZipArchive& archive = Open(builder);
    int32_t index = -1;
    ZipEntry entry;
    ASSERT_EQ(archive.FindMember("word/document.xml", index, entry), ZipOk);
    EXPECT_EQ(entry.uncompressedSize, 4000);
    std::string buffer(4000, '\0');
    ASSERT_EQ(archive.ExtractMember(index, buffer.data(), 4000), ZipBufferFilled);
    EXPECT_EQ(buffer, member.data);
}

TEST_F(ZipDescribe, LocalExtraFieldPastTheFileIsReadFailed) {
    MemberOptions member = Member();
    member.localExtraLength = 65535;
    ZipEntry entry;
    EXPECT_EQ(DescribeOnly(member, entry), ZipReadFailed);
}

TEST_F(ZipDescribe, SizesOf2GiBOrMoreTurnNegative) {
    MemberOptions member = Member();
    member.centralUncompressedSize = 0x80000000u;
    member.localUncompressedSize = 0x80000000u;
    member.centralCompressedSize = 0xFFFFFFFFu;
    member.localCompressedSize = 0xFFFFFFFFu;
    ZipEntry entry;
    ASSERT_EQ(DescribeOnly(member, entry), ZipOk);
    EXPECT_LT(entry.uncompressedSize, 0);
    EXPECT_LT(entry.compressedSize, 0);
}

TEST_F(ZipDescribe, DescribingClosesTheOpenMember) {
    ZipArchive& archive = Open(PackageBuilder().AddStored("a.xml", "abcdefgh"));
    char piece[4];
    ASSERT_EQ(archive.ExtractMember(0, piece, sizeof piece), ZipBufferFilled);
    ZipEntry entry;
    ASSERT_EQ(archive.DescribeMember(0, entry), ZipOk);
    ASSERT_EQ(archive.ExtractMember(0, piece, sizeof piece), ZipBufferFilled);
    EXPECT_EQ(std::string(piece, 4), "abcd");
}

}  // namespace
}  // namespace quillet
