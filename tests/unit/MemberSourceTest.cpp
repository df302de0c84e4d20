// Members found by name and read through their sources: what the local header must agree on,
// what stored and deflated data deliver in any piece size, and when a member is unreadable.
#include "package/MemberSource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "package/PartText.h"
#include "support/PackageBuilder.h"
#include "unit/ArchiveFixture.h"

namespace quillet {
namespace {

using test::MemberOptions;
using test::PackageBuilder;

// Bytes that deflate cannot shrink, so their stream spans many 16384-byte chunks.
std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

// A file held in memory whose bytes in [holeStart, holeEnd) cannot be read, as a file that
// changed under the request: its size still tells the whole.
class HoledFile final : public platform::File {
  public:
    HoledFile(std::string bytes, size_t holeStart, size_t holeEnd)
        : bytes_(std::move(bytes)), holeStart_(holeStart), holeEnd_(holeEnd) {}
    bool seekable() const override { return true; }
    bool ReadStamp(platform::FileStamp&) const override { return false; }
    bool ReadStampNow(platform::FileStamp&) const override { return false; }
    bool Size(uint64_t& size) override {
        size = bytes_.size();
        return true;
    }
    size_t ReadAt(uint64_t position, void* buffer, size_t length) override {
        if (position >= bytes_.size() || (position >= holeStart_ && position < holeEnd_)) {
            return 0;
        }
        size_t count = std::min<size_t>(length, bytes_.size() - position);
        if (position < holeStart_) {
            count = std::min<size_t>(count, holeStart_ - position);
        }
        std::memcpy(buffer, bytes_.data() + position, count);
        return count;
    }

  private:
    std::string bytes_;
    size_t holeStart_;
    size_t holeEnd_;
};

class MemberSourceTest : public ArchiveFixture {
  protected:
    ZipArchive& OpenOne(const MemberOptions& member) {
        PackageBuilder builder;
        builder.Add(member);
        return Open(builder);
    }

    static MemberOptions Member(const std::string& data, uint16_t method = 0) {
        MemberOptions member;
        member.name = "part.xml";
        member.data = data;
        member.method = method;
        return member;
    }

    Status::Code Opened(const char* name = "part.xml") {
        std::unique_ptr<zip::MemberReader> reader;
        return archive_->OpenMember(name, reader).code();
    }
};

TEST_F(MemberSourceTest, StoredAndDeflatedDataInAnyPieceSize) {
    const std::string data = RandomBytes(100000, 7) + std::string(60000, 'z') + RandomBytes(9, 1);
    ASSERT_GT(test::Deflate(data).size(), 5u * zip::MemberReader::ChunkSize);
    for (const uint16_t method : {uint16_t{0}, uint16_t{8}}) {
        OpenOne(Member(data, method));
        for (const size_t piece : {1u, 4u, 1000u, 16384u, 16385u, 70000u, 200000u}) {
            const MemberBytes read = ReadMemberBytes(*archive_, "part.xml", piece);
            EXPECT_TRUE(read.status.ok()) << method << " " << piece;
            EXPECT_TRUE(read.bytes == data) << method << " " << piece;
        }
        EXPECT_FALSE(archive_->metPassingFailure());
    }
}

TEST_F(MemberSourceTest, EmptyMemberIsFoundButDeliversNothing) {
    for (const uint16_t method : {uint16_t{0}, uint16_t{8}}) {
        ZipArchive& archive = OpenOne(Member("", method));
        EXPECT_TRUE(archive.HasMember("part.xml"));
        const MemberBytes read = ReadMemberBytes(archive, "part.xml");
        EXPECT_EQ(read.status.code(), Status::Code::Unreadable) << method;
        EXPECT_EQ(read.bytes, "");
        EXPECT_FALSE(archive.metPassingFailure());
    }
}

TEST_F(MemberSourceTest, LocalHeaderThatDisagreesIsUnreadable) {
    // `torn`: the headers disagree, as when the file was written between their reads, so
    // nothing the request read may be kept; otherwise the package's shape spoils the member, not
    // the request, and what else it read stands.
    struct Case {
        const char* what;
        void (*apply)(MemberOptions&);
        bool torn;
    };
    const Case cases[] = {
        {"local method 8, central 0", [](MemberOptions& m) { m.localMethod = 8; }, true},
        {"method 12 in both headers", [](MemberOptions& m) { m.method = 12; }, false},
        {"local CRC-32", [](MemberOptions& m) { m.localCrc = 1; }, true},
        {"local compressed size", [](MemberOptions& m) { m.localCompressedSize = 11; }, true},
        {"local uncompressed size", [](MemberOptions& m) { m.localUncompressedSize = 9; }, true},
        {"local name length", [](MemberOptions& m) { m.localName = "part.xml2"; }, true},
        {"local signature", [](MemberOptions& m) { m.localSignature = 0x04034b51; }, true},
        {"local header past the file", [](MemberOptions& m) { m.localHeaderOffset = 1u << 30; },
         false},
        {"local header cut by the file's end",
         [](MemberOptions& m) { m.localHeaderOffset = 0xFFFFFFF0u; }, false},
        {"local extra field past the file", [](MemberOptions& m) { m.localExtraLength = 65535; },
         false},
        {"data past the file",
         [](MemberOptions& m) {
             m.centralCompressedSize = 100000;
             m.localCompressedSize = 100000;
         },
         false},
    };
    for (const Case& c : cases) {
        MemberOptions member = Member("0123456789");
        c.apply(member);
        OpenOne(member);
        EXPECT_FALSE(archive_->HasMember("part.xml")) << c.what;
        EXPECT_EQ(Opened(), Status::Code::Unreadable) << c.what;
        EXPECT_EQ(ReadMemberBytes(*archive_, "part.xml").bytes, "") << c.what;
        EXPECT_EQ(ReadPartText(*archive_, "part.xml"), std::nullopt) << c.what;
        EXPECT_EQ(archive_->metPassingFailure(), c.torn) << c.what;
    }
}

TEST_F(MemberSourceTest, LocalDifferencesThatAreNotCheckedPass) {
    MemberOptions member = Member(std::string(4000, 'q'), 8);
    member.localName = "PART.XML";
    member.dataDescriptor = true;  // no CRC-32 and sizes in the local header
    OpenOne(member);
    EXPECT_TRUE(archive_->HasMember("part.xml"));
    EXPECT_EQ(ReadMemberBytes(*archive_, "part.xml", 1000).bytes, member.data);
}

TEST_F(MemberSourceTest, TheLocalHeaderIsReadOnceForALookupAndTheOpen) {
    // The first member lies before the end of the file that the system file keeps in memory.
    Open(PackageBuilder()
             .AddStored("a.xml", std::string(100'000, 'a'))
             .AddStored("b.xml", "second"));
    ASSERT_TRUE(archive_->HasMember("b.xml"));
    // The file loses every byte; only the member whose header was read can still be opened.
    file_->Rewrite(std::string(200'000, '\0'));
    EXPECT_EQ(Opened("b.xml"), Status::Code::Ok);
    EXPECT_EQ(Opened("a.xml"), Status::Code::Unreadable);
}

TEST_F(MemberSourceTest, SizesOf2GiBOrMoreAreFoundButUnreadable) {
    MemberOptions member = Member("0123456789");
    member.centralUncompressedSize = 0x80000000u;
    member.localUncompressedSize = 0x80000000u;
    OpenOne(member);
    EXPECT_TRUE(archive_->HasMember("part.xml"));
    EXPECT_EQ(Opened(), Status::Code::Unreadable);
    EXPECT_EQ(ReadMemberBytes(*archive_, "part.xml").status.code(), Status::Code::Unreadable);
}

TEST_F(MemberSourceTest, InvalidBlockTypeDeliversNothing) {
    MemberOptions member = Member("0123456789", 8);
    member.rawData = std::string("\x07\x00\x00\x00", 4);  // final block, type 3
    OpenOne(member);
    const MemberBytes read = ReadMemberBytes(*archive_, "part.xml");
    EXPECT_EQ(read.status.code(), Status::Code::Unreadable);
    EXPECT_EQ(read.bytes, "");
}

// Data read to its end must give the directory's CRC-32: other bytes are a read torn by a
// change of the file, or a damaged member, and nothing of the request may be kept.
TEST_F(MemberSourceTest, DataReadToItsEndWithAnotherCrcIsUnreadable) {
    struct Case {
        const char* what;
        MemberOptions member;
    };
    MemberOptions wrongCrc = Member("checked by the reader", 8);
    wrongCrc.centralCrc = 0xDEADBEEF;
    wrongCrc.localCrc = 0xDEADBEEF;
    MemberOptions storedWrongCrc = wrongCrc;
    storedWrongCrc.method = 0;
    const std::string data = RandomBytes(50000, 11);
    MemberOptions shortStream = Member(data, 8);
    shortStream.rawData = test::Deflate(data).substr(0, test::Deflate(data).size() / 2);
    MemberOptions beyondSize = Member("0123456789", 8);
    beyondSize.centralUncompressedSize = 5;
    beyondSize.localUncompressedSize = 5;
    for (const Case& c :
         {Case{"wrong CRC-32, deflated", wrongCrc}, Case{"wrong CRC-32, stored", storedWrongCrc},
          Case{"deflate stream shorter than its size", shortStream},
          Case{"data beyond the declared size", beyondSize}}) {
        OpenOne(c.member);
        const MemberBytes read = ReadMemberBytes(*archive_, "part.xml", 4);
        EXPECT_EQ(read.status.code(), Status::Code::Unreadable) << c.what;
        EXPECT_EQ(ReadPartText(*archive_, "part.xml"), std::nullopt) << c.what;
        EXPECT_TRUE(archive_->metPassingFailure()) << c.what;
    }
}

TEST_F(MemberSourceTest, DataNotReadToItsEndIsNotChecked) {
    MemberOptions member = Member("checked by nobody", 8);
    member.centralCrc = 0xDEADBEEF;
    member.localCrc = 0xDEADBEEF;
    OpenOne(member);
    MemberSource source(*archive_, "part.xml");
    char piece[7];
    ASSERT_EQ(source.Read(piece, sizeof piece), sizeof piece);
    EXPECT_EQ(std::string(piece, sizeof piece), "checked");
    EXPECT_TRUE(source.status().ok());
    EXPECT_FALSE(archive_->metPassingFailure());
}

TEST_F(MemberSourceTest, StoredMemberWithFewerCompressedBytesDeliversThoseAndEnds) {
    MemberOptions member = Member("0123456789");
    member.centralUncompressedSize = 20;
    member.localUncompressedSize = 20;
    OpenOne(member);
    const MemberBytes read = ReadMemberBytes(*archive_, "part.xml", 20);
    EXPECT_TRUE(read.status.ok());
    EXPECT_EQ(read.bytes, "0123456789");
}

TEST_F(MemberSourceTest, SourcesOfSeveralMembersReadSideBySide) {
    PackageBuilder builder;
    for (int i = 0; i < 7; ++i) {
        const std::string data =
            "member " + std::to_string(i) + std::string(100, static_cast<char>('a' + i));
        i % 2 == 0 ? builder.AddDeflated("m" + std::to_string(i), data)
                   : builder.AddStored("m" + std::to_string(i), data);
    }
    ZipArchive& archive = Open(builder);
    MemberSource five(archive, "m5");
    MemberSource two(archive, "M2");
    char piece[10];
    ASSERT_EQ(five.Read(piece, sizeof piece), sizeof piece);
    EXPECT_EQ(std::string(piece, sizeof piece), "member 5ff");
    ASSERT_EQ(two.Read(piece, sizeof piece), sizeof piece);
    EXPECT_EQ(std::string(piece, sizeof piece), "member 2cc");
    EXPECT_TRUE(archive.HasMember("M6"));
    ASSERT_EQ(five.Read(piece, sizeof piece), sizeof piece);
    EXPECT_EQ(std::string(piece, sizeof piece), "ffffffffff");
}

TEST_F(MemberSourceTest, MemberBehindAPrefixAndAfterALocalExtraField) {
    PackageBuilder builder;
    builder.Prefix(std::string(777, 'p'));
    builder.AddDeflated("x.xml", std::string(20000, 'x'));
    builder.Last().localExtra = test::TimestampBlock(1, {5}) + std::string(4, '\0');
    builder.AddStored("y.xml", "yyyy");
    Open(builder);
    EXPECT_EQ(ReadMemberBytes(*archive_, "x.xml", 20000).bytes, std::string(20000, 'x'));
    EXPECT_EQ(ReadMemberBytes(*archive_, "y.xml", 4).bytes, "yyyy");
}

// A read beyond the file's size comes of the package's shape and spoils that member only; one
// that comes short inside the size comes of a file that changed, and nothing may be kept.
TEST(ArchiveReads, OnlyReadsShortInsideTheFileMeetAPassingFailure) {
    PackageBuilder builder;
    // The first member lies before the last 64 KiB, which the archive reads first.
    builder.AddStored("docProps/core.xml", "<core/>")
        .AddStored("filler.bin", std::string(70000, 'f'))
        .AddStored("word/document.xml", "<body/>");
    MemberOptions away;
    away.name = "away.xml";
    away.data = "x";
    away.localHeaderOffset = 1u << 20;
    builder.Add(away);
    const std::string bytes = builder.Build();

    auto whole = ZipArchive::Open(std::make_unique<HoledFile>(bytes, 0, 0));
    ASSERT_TRUE(whole);
    EXPECT_FALSE(whole->HasMember("away.xml"));
    EXPECT_EQ(ReadMemberBytes(*whole, "away.xml").status.code(), Status::Code::Unreadable);
    EXPECT_EQ(ReadPartText(*whole, "word/document.xml"), "<body/>");
    EXPECT_FALSE(whole->metPassingFailure());

    // The same file, the data of its first member gone when the request reads it.
    const size_t data = 30 + std::strlen("docProps/core.xml");
    auto holed = ZipArchive::Open(std::make_unique<HoledFile>(bytes, data, data + 7));
    ASSERT_TRUE(holed);
    EXPECT_TRUE(holed->HasMember("docProps/core.xml"));
    EXPECT_EQ(ReadPartText(*holed, "word/document.xml"), "<body/>");
    EXPECT_FALSE(holed->metPassingFailure());
    EXPECT_EQ(ReadPartText(*holed, "docProps/core.xml"), std::nullopt);
    EXPECT_TRUE(holed->metPassingFailure());
}

}  // namespace
}  // namespace quillet
