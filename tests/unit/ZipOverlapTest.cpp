#include "package/ZipArchive.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "package/PartText.h"
#include "support/PackageBuilder.h"
#include "unit/ArchiveFixture.h"

namespace quillet {
namespace {

using test::MemberOptions;
using test::PackageBuilder;

constexpr uint32_t LocalHeaderSize = 30;

class ZipOverlap : public ArchiveFixture {
  protected:
    // Three members of names of one length: "a.xml", "b.xml" and "c.xml".
    static PackageBuilder ThreeMembers() {
        PackageBuilder builder;
        builder.AddStored("a.xml", "<a>first</a>")
            .AddDeflated("b.xml", std::string(2000, 'b'))
            .AddStored("c.xml", "<c>third</c>");
        return builder;
    }

    // Expects the member unreadable by name, streamed and read whole.
    void ExpectUnreadable(const char* name) {
        EXPECT_FALSE(archive_->HasMember(name)) << name;
        const MemberBytes read = ReadMemberBytes(*archive_, name);
        EXPECT_EQ(read.status.code(), Status::Code::Unreadable) << name;
        EXPECT_EQ(read.bytes, "") << name;
        EXPECT_EQ(ReadPartText(*archive_, name), std::nullopt) << name;
    }
};

TEST_F(ZipOverlap, OrdinaryLayoutsReadNormally) {
    PackageBuilder builder;
    builder.AddStored("[Content_Types].xml", "<Types/>").AddStored("empty.xml", "");
    builder.AddStored("folder/", "").Last().externalAttributes = 0x10;
    builder.AddDeflated("word/document.xml", std::string(5000, 'w'));
    builder.Last().dataDescriptor = true;  // sizes after the data, between two members
    builder.AddStored("docProps/core.xml", "<core/>").Last().localExtra =
        test::ExtraBlock("ZZ", std::string(40, 'z'));
    builder.AddStored("zero.xml", "");
    ZipArchive& archive = Open(builder);
    for (const char* name : {"[Content_Types].xml", "empty.xml", "folder/", "word/document.xml",
                             "docProps/core.xml", "zero.xml"}) {
        EXPECT_TRUE(archive.HasMember(name)) << name;
    }
    EXPECT_EQ(ReadPartText(archive, "word/document.xml"), std::string(5000, 'w'));
    EXPECT_EQ(ReadPartText(archive, "docProps/core.xml"), "<core/>");
    EXPECT_EQ(ReadPartText(archive, "[Content_Types].xml"), "<Types/>");
}

TEST_F(ZipOverlap, EntriesSharingOneMembersDataAreBothUnreadable) {
    PackageBuilder builder = ThreeMembers();
    builder.Last().localHeaderOffset = builder.LocalHeaderOffset(0);  // c.xml onto a.xml
    Open(builder);
    ExpectUnreadable("a.xml");
    ExpectUnreadable("c.xml");
    EXPECT_EQ(ReadPartText(*archive_, "b.xml"), std::string(2000, 'b'));
}

TEST_F(ZipOverlap, ManyEntriesOnOneLocalHeaderAreAllUnreadable) {
    PackageBuilder builder;
    builder.AddStored("sheet0.xml", "<sheet/>");
    for (int i = 1; i < 10; ++i) {
        builder.AddStored("sheet" + std::to_string(i) + ".xml", "<sheet/>");
        builder.Last().localHeaderOffset = 0;
    }
    Open(builder);
    for (int32_t i = 0; i < 10; ++i) {
        const std::string name = "sheet" + std::to_string(i) + ".xml";
        ExpectUnreadable(name.c_str());
    }
}

TEST_F(ZipOverlap, DataRunningIntoTheNextLocalHeaderMakesBothUnreadable) {
    PackageBuilder overlapping;
    MemberOptions a;
    a.name = "a.xml";
    a.data = "<a>first</a>";
    a.centralCompressedSize = 13;  // one byte more than the data: b.xml's signature
    a.localCompressedSize = 13;
    overlapping.Add(a).AddDeflated("b.xml", std::string(2000, 'b')).AddStored("c.xml", "<c/>");
    Open(overlapping);
    ExpectUnreadable("a.xml");
    ExpectUnreadable("b.xml");
    EXPECT_EQ(ReadPartText(*archive_, "c.xml"), "<c/>");
}

TEST_F(ZipOverlap, LocalExtraFieldThatCarriesTheDataOntoAnotherMembersIsUnreadable) {
    // a.xml's local extra length, not its central entry, puts its data where b.xml's starts.
    const PackageBuilder layout = ThreeMembers();
    const uint32_t bData = layout.LocalHeaderOffset(1) + LocalHeaderSize + 5;
    const uint32_t aExtraStart = layout.LocalHeaderOffset(0) + LocalHeaderSize + 5;
    PackageBuilder shifted;
    MemberOptions a;
    a.name = "a.xml";
    a.data = "<a>first</a>";
    a.localExtraLength = static_cast<uint16_t>(bData - aExtraStart);
    shifted.Add(a).AddDeflated("b.xml", std::string(2000, 'b')).AddStored("c.xml", "<c>third</c>");
    Open(shifted);
    ExpectUnreadable("a.xml");
    EXPECT_EQ(ReadPartText(*archive_, "b.xml"), std::string(2000, 'b'));
    EXPECT_EQ(ReadPartText(*archive_, "c.xml"), "<c>third</c>");
}

TEST_F(ZipOverlap, LocalExtraFieldWithinItsOwnMemberIsReadNormally) {
    MemberOptions a;
    a.name = "a.xml";
    a.data = "<a>first</a>";
    a.localExtra = test::ExtraBlock("ZZ", std::string(100, 'z'));
    PackageBuilder withExtra;
    withExtra.Add(a).AddStored("c.xml", "<c>third</c>");
    Open(withExtra);
    EXPECT_EQ(ReadPartText(*archive_, "a.xml"), "<a>first</a>");
    EXPECT_EQ(ReadPartText(*archive_, "c.xml"), "<c>third</c>");
}

}  // namespace
}  // namespace quillet
