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
    // The data of the member found under `name`, or "-" when none is.
    std::string Find(const std::string& name) {
        if (!archive_->HasMember(name)) {
            return "-";
        }
        const MemberBytes read = ReadMemberBytes(*archive_, name.c_str());
        EXPECT_TRUE(read.status.ok()) << name;
        return read.bytes;
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
    Open(Package());
    EXPECT_EQ(Find("docProps/core.xml"), "core");
    EXPECT_EQ(Find("DOCPROPS/CORE.XML"), "core");
    EXPECT_EQ(Find("[content_types].XML"), "types");
    EXPECT_EQ(Find("Word/Document.Xml"), "document");
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
        EXPECT_EQ(Find(stored), "data") << stored;
        EXPECT_EQ(Find(other), "-") << other;
    }
}

TEST_F(ZipNameLookup, MissingNameIsNotFound) {
    ZipArchive& archive = Open(Package());
    for (const char* name : {"docProps\\core.xml", "docProps/core.xm", "docProps/core.xml ", "",
                             "word/document.xml/", "ocProps/core.xml"}) {
        EXPECT_FALSE(archive.HasMember(name)) << name;
        std::unique_ptr<zip::MemberReader> reader;
        EXPECT_EQ(archive.OpenMember(name, reader).code(), Status::Code::NotFound) << name;
        EXPECT_FALSE(reader);
        EXPECT_EQ(ReadMemberBytes(archive, name).status.code(), Status::Code::Unreadable);
    }
}

TEST_F(ZipNameLookup, TheEarlierOfTwoNamesInOtherCaseWins) {
    Open(PackageBuilder()
             .AddStored("Word/Document.xml", "first")
             .AddStored("word/document.xml", "second"));
    EXPECT_EQ(Find("word/document.xml"), "first");
    EXPECT_EQ(Find("WORD/DOCUMENT.XML"), "first");
    Open(PackageBuilder()
             .AddStored("other.xml", "x")
             .AddStored("a.xml", "first")
             .AddStored("A.XML", "second"));
    EXPECT_EQ(Find("A.XML"), "first");
}

TEST_F(ZipNameLookup, NamesOf256BytesOrMoreNeverMatch) {
    const std::string name255 = "n/" + std::string(253, 'a');
    const std::string name256 = "n/" + std::string(254, 'b');
    const std::string name300 = "n/" + std::string(298, 'c');
    Open(PackageBuilder()
             .AddStored(name255, "255")
             .AddStored(name256, "256")
             .AddStored(name300, "300"));
    EXPECT_EQ(Find(name255), "255");
    EXPECT_EQ(Find(name256), "-");
    EXPECT_EQ(Find(name256.substr(0, 255)), "-");
    EXPECT_EQ(Find(name300), "-");
    EXPECT_EQ(Find(name300.substr(0, 255)), "-");
}

TEST_F(ZipNameLookup, StoredNameEndsAtItsFirstNulByte) {
    Open(PackageBuilder().AddStored(std::string("core.xml\0junk", 13), "data"));
    EXPECT_EQ(Find("core.xml"), "data");
    EXPECT_EQ(Find("core.xml\\0junk"), "-");
}

TEST_F(ZipNameLookup, BadCentralHeaderEndsTheWalk) {
    PackageBuilder builder = Package();
    MemberOptions broken;
    broken.name = "broken.xml";
    broken.centralSignature = 0x02014b51;
    builder.Add(broken).AddStored("after.xml", "after");
    // The broken header sits between the fourth member and the last.
    Open(builder);
    EXPECT_EQ(Find("word/document.xml"), "document");
    EXPECT_EQ(Find("broken.xml"), "-");
    EXPECT_EQ(Find("after.xml"), "-");
    EXPECT_EQ(Find("docProps/app.xml"), "app");
}

TEST_F(ZipNameLookup, HeaderRunningPastTheDirectoryEndsTheWalk) {
    // The last header's name length claims more bytes than the directory holds.
    PackageBuilder builder = Package();
    builder.AddStored("last.xml", "last");
    builder.Last().centralNameLength = 60000;
    Open(builder);
    EXPECT_EQ(Find("word/document.xml"), "document");
    EXPECT_EQ(Find("last.xml"), "-");
}

TEST_F(ZipNameLookup, BadFirstHeaderLeavesEveryNameUnfound) {
    PackageBuilder broken;
    MemberOptions first;
    first.name = "first.xml";
    first.centralSignature = 0;
    broken.Add(first).AddStored("docProps/core.xml", "core");
    Open(broken);
    EXPECT_EQ(Find("first.xml"), "-");
    EXPECT_EQ(Find("docProps/core.xml"), "-");
}

// Entries past a bad central header cannot be found or read; those before it stay found,
// whatever was asked of the others.
TEST_F(ZipNameLookup, EntriesPastABadHeaderAreUnreachableAndTheOthersStayFound) {
    PackageBuilder builder;
    MemberOptions broken;
    broken.name = "broken.xml";
    broken.centralSignature = 0x12345678;
    builder.AddStored("a.xml", "a").AddStored("b.xml", "b").Add(broken).AddStored("d.xml", "d");
    ZipArchive& archive = Open(builder);
    EXPECT_EQ(Find("b.xml"), "b");
    EXPECT_EQ(Find("d.xml"), "-");
    EXPECT_EQ(ReadMemberBytes(archive, "d.xml").status.code(), Status::Code::Unreadable);
    EXPECT_EQ(Find("a.xml"), "a");
    EXPECT_EQ(ReadMemberBytes(archive, "broken.xml").status.code(), Status::Code::Unreadable);
    EXPECT_EQ(Find("b.xml"), "b");
}

TEST_F(ZipNameLookup, LookupsLeaveAnOpenMemberAsItWas) {
    ZipArchive& archive = Open(Package());
    MemberSource source(archive, "word/document.xml");
    char first[4];
    ASSERT_EQ(source.Read(first, sizeof first), 4u);
    EXPECT_EQ(Find("missing.xml"), "-");
    EXPECT_EQ(Find("docProps/core.xml"), "core");
    char rest[4] = {};
    ASSERT_EQ(source.Read(rest, sizeof rest), 4u);
    EXPECT_EQ(std::string(first, 4) + std::string(rest, 4), "document");
}

TEST_F(ZipNameLookup, NameFoundBeyondTheEntryCountIsUnreadable) {
    // Counts of zero never stop the walk, so the name is found but lies outside the directory.
    PackageBuilder builder = Package();
    builder.archive().entriesOnDisk = 0;
    builder.archive().entriesTotal = 0;
    ZipArchive& archive = Open(builder);
    std::unique_ptr<zip::MemberReader> reader;
    EXPECT_EQ(archive.OpenMember("docProps/app.xml", reader).code(), Status::Code::Unreadable);
    EXPECT_FALSE(archive.HasMember("docProps/app.xml"));
    EXPECT_EQ(archive.OpenMember("missing.xml", reader).code(), Status::Code::NotFound);
}

TEST_F(ZipNameLookup, EntryCountBelowTheDirectoryStopsTheWalk) {
    PackageBuilder builder = Package();
    builder.archive().entriesOnDisk = 2;
    builder.archive().entriesTotal = 2;
    Open(builder);
    EXPECT_EQ(Find("docProps/core.xml"), "core");
    EXPECT_EQ(Find("docProps/app.xml"), "-");
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
