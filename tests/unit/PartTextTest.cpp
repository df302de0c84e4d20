#include "package/PartText.h"

#include <gtest/gtest.h>

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

using PartText = ArchiveFixture;

TEST_F(PartText, ReadsStoredAndDeflatedPartsByNameInAnyCase) {
    const std::string core = "<cp:coreProperties>title</cp:coreProperties>";
    const std::string document(50000, 'w');
    ZipArchive& archive = Open(PackageBuilder()
                                   .AddStored("docProps/core.xml", core)
                                   .AddDeflated("word/document.xml", document));
    EXPECT_EQ(ReadPartText(archive, "docProps/core.xml"), core);
    EXPECT_EQ(ReadPartText(archive, "DOCPROPS/CORE.XML"), core);
    EXPECT_EQ(ReadPartText(archive, "Word/Document.xml"), document);
    EXPECT_EQ(ReadPartText(archive, "docProps\\core.xml"), std::nullopt);
    EXPECT_TRUE(archive.HasMember("word/DOCUMENT.xml"));
    EXPECT_FALSE(archive.HasMember("xl/workbook.xml"));
}

TEST_F(PartText, PartsThatCannotBeReadAnswerNothing) {
    PackageBuilder builder;
    builder.AddStored("good.xml", "good").AddStored("damaged.xml", "damaged");
    builder.Last().localMethod = 8;
    builder.AddStored("empty.xml", "");
    builder.AddDeflated("broken.xml", "0123456789");
    builder.Last().rawData = std::string("\x07\x00", 2);
    ZipArchive& archive = Open(builder);
    EXPECT_EQ(ReadPartText(archive, "missing.xml"), std::nullopt);
    EXPECT_EQ(ReadPartText(archive, "damaged.xml"), std::nullopt);
    EXPECT_EQ(ReadPartText(archive, "empty.xml"), std::nullopt);
    EXPECT_EQ(ReadPartText(archive, "broken.xml"), std::nullopt);
    EXPECT_FALSE(archive.HasMember("damaged.xml"));
    EXPECT_TRUE(archive.HasMember("empty.xml"));
    EXPECT_EQ(ReadPartText(archive, "good.xml"), "good");
}

TEST_F(PartText, TextEndsAtTheFirstNulByte) {
    ZipArchive& archive = Open(PackageBuilder()
                                   .AddStored("a.xml", std::string("abc\0def", 7))
                                   .AddDeflated("b.xml", std::string("\0xyz", 4)));
    EXPECT_EQ(ReadPartText(archive, "a.xml"), "abc");
    EXPECT_EQ(ReadPartText(archive, "b.xml"), "");
}

// The data is not what the directory's CRC-32 says: the part is unreadable, and the request
// keeps nothing, since a file that changed under it reads the same way.
TEST_F(PartText, DamagedStreamIsUnreadable) {
    const std::string text(40000, 't');
    MemberOptions member;
    member.name = "word/document.xml";
    member.data = text + std::string(40000, 'u');
    member.method = 8;
    const std::string compressed = test::Deflate(member.data);
    member.rawData = compressed.substr(0, compressed.size() / 2);
    PackageBuilder builder;
    builder.Add(member);
    ZipArchive& archive = Open(builder);
    EXPECT_EQ(ReadPartText(archive, "word/document.xml"), std::nullopt);
    EXPECT_TRUE(archive.metPassingFailure());
}

TEST_F(PartText, DeclaredSizesOf2GiBOrMoreAreUnreadable) {
    for (const uint32_t size : {0x80000000u, 0xC0000000u, 0xFFFFFFFFu}) {
        MemberOptions member;
        member.name = "huge.xml";
        member.data = "tiny";
        member.centralUncompressedSize = size;
        member.localUncompressedSize = size;
        PackageBuilder builder;
        builder.Add(member);
        ZipArchive& archive = Open(builder);
        EXPECT_TRUE(archive.HasMember("huge.xml"));
        EXPECT_EQ(ReadPartText(archive, "huge.xml"), std::nullopt) << size;
    }
}

TEST_F(PartText, DeclaredSizesAboveTheLimitAreUnreadable) {
    for (const uint32_t size : {MaxPartSize + 1, 1u << 30}) {
        MemberOptions member;
        member.name = "big.xml";
        member.data = "tiny";
        member.method = 8;
        member.centralUncompressedSize = size;
        member.localUncompressedSize = size;
        PackageBuilder builder;
        builder.Add(member);
        EXPECT_EQ(ReadPartText(Open(builder), "big.xml"), std::nullopt) << size;
    }
}

TEST_F(PartText, PartOfTheLargestSizeIsRead) {
    const std::string data(MaxPartSize, ' ');
    ZipArchive& archive = Open(PackageBuilder().AddStored("max.xml", data));
    const auto read = ReadPartText(archive, "max.xml");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size(), MaxPartSize);
}

// Past a grace, a request inflates no more than RequestBudget::MaxInflationRatio times the
// compressed bytes it consumed: a part read whole that takes it beyond is unreadable.
TEST_F(PartText, PartInflatedFarBeyondWhatThePackageHoldsIsUnreadable) {
    // Not white space, which costs nothing to read and does not count.
    const std::string within(RequestBudget::InflationGraceBytes - 1024, 'x');
    const std::string beyond(2 * RequestBudget::InflationGraceBytes, 'x');
    ASSERT_GT(beyond.size(), RequestBudget::MaxInflationRatio * test::Deflate(beyond).size());
    ZipArchive& archive = Open(PackageBuilder()
                                   .AddDeflated("within.xml", within)
                                   .AddDeflated("beyond.xml", beyond)
                                   .AddStored("stored.xml", beyond));
    EXPECT_EQ(ReadPartText(archive, "within.xml"), within);
    EXPECT_EQ(ReadPartText(archive, "beyond.xml"), std::nullopt);
    EXPECT_FALSE(archive.metPassingFailure());
    // Stored bytes consume as much as they deliver: the request's ratio falls again.
    EXPECT_EQ(ReadPartText(archive, "stored.xml"), beyond);
}

TEST_F(PartText, BufferIsBoundedByWhatTheDataCanYield) {
    struct Case {
        uint16_t method;
        std::string data;
        uint32_t declared;
        uint64_t bound;
    };
    const Case cases[] = {
        {0, "0123456789", 0x7FFFFFFFu, 10},
        {0, "0123456789", 60u << 20, 10},
        {0, "0123456789", 4, 4},
        {8, "0123456789", 1u << 30, 1032 * test::Deflate("0123456789").size()},
        {8, "0123456789", 10, 10},
    };
    for (const Case& c : cases) {
        MemberOptions member;
        member.name = "claim.xml";
        member.data = c.data;
        member.method = c.method;
        member.centralUncompressedSize = c.declared;
        member.localUncompressedSize = c.declared;
        PackageBuilder builder;
        builder.Add(member);
        EXPECT_EQ(MemberSource(Open(builder), "claim.xml").DeliverableSize(), c.bound)
            << c.declared;
    }
    // A stored member that claims 60 MiB but holds 10 bytes reads as those 10 bytes.
    MemberOptions member;
    member.name = "claim.xml";
    member.data = "0123456789";
    member.centralUncompressedSize = 60u << 20;
    member.localUncompressedSize = 60u << 20;
    PackageBuilder builder;
    builder.Add(member);
    EXPECT_EQ(ReadPartText(Open(builder), "claim.xml"), "0123456789");
    EXPECT_EQ(MemberSource(*archive_, "missing.xml").DeliverableSize(), 0u);
}

TEST_F(PartText, ReadsOnePartAfterAnotherFromOneArchive) {
    PackageBuilder builder;
    for (int sheet = 1; sheet <= 20; ++sheet) {
        builder.AddDeflated("xl/worksheets/sheet" + std::to_string(sheet) + ".xml",
                            "<sheet>" + std::to_string(sheet * 7) + "</sheet>");
    }
    ZipArchive& archive = Open(builder);
    for (int sheet = 20; sheet >= 1; sheet -= 3) {
        const std::string name = "XL/Worksheets/Sheet" + std::to_string(sheet) + ".xml";
        EXPECT_EQ(ReadPartText(archive, name.c_str()),
                  "<sheet>" + std::to_string(sheet * 7) + "</sheet>");
    }
    EXPECT_EQ(ReadPartText(archive, "xl/worksheets/sheet21.xml"), std::nullopt);
}

}  // namespace
}  // namespace quillet
