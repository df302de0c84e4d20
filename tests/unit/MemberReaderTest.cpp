#include "package/ZipArchive.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/PackageBuilder.h"
#include "support/TempFile.h"
#include "unit/ArchiveFixture.h"

namespace quillet {
namespace {

using test::MemberOptions;
using test::PackageBuilder;
using test::TempFile;

constexpr char Sentinel = '#';

// Bytes that deflate cannot shrink, so their stream spans many 16384-byte chunks.
std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

class MemberReader : public ArchiveFixture {
  protected:
    ZipArchive& OpenOne(const MemberOptions& member) {
        PackageBuilder builder;
        builder.Add(member);
        return Open(builder);
    }

    // One extraction call into a buffer of `size` bytes filled with sentinels.
    ZipResult Extract(int32_t index, uint32_t size) {
        buffer_.assign(size + 8, Sentinel);
        return archive_->ExtractMember(index, buffer_.data(), size);
    }
    // The bytes the last call wrote, assuming none of them is a sentinel.
    std::string Written() const { return buffer_.substr(0, buffer_.find(Sentinel)); }

    // The whole member, taken in pieces of `piece` bytes until a call delivers nothing.
    std::string ExtractInPieces(int32_t index, uint32_t piece) {
        std::string all;
        std::string buffer(piece, '\0');
        // Far more calls than any member in these tests needs means the reader went astray.
        for (size_t calls = 0; calls < 1'000'000; ++calls) {
            if (archive_->ExtractMember(index, buffer.data(), piece) != ZipBufferFilled) {
                return all;
            }
            all += buffer;
        }
        ADD_FAILURE() << "extraction does not end";
        return all;
    }

    static MemberOptions Member(const std::string& data, uint16_t method = 0) {
        MemberOptions member;
        member.name = "part.xml";
        member.data = data;
        member.method = method;
        return member;
    }

    std::string buffer_;
};

TEST_F(MemberReader, StoredMemberInOneCallWithoutTerminator) {
    OpenOne(Member("0123456789"));
    ASSERT_EQ(Extract(0, 10), ZipBufferFilled);
    EXPECT_EQ(buffer_, "0123456789" + std::string(8, Sentinel));
    ASSERT_EQ(Extract(0, 10), ZipOk);
    EXPECT_EQ(Written(), "");
}

TEST_F(MemberReader, StoredMemberInFourBytePieces) {
    OpenOne(Member("0123456789"));
    for (const char* piece : {"0123", "4567", "89"}) {
        ASSERT_EQ(Extract(0, 4), ZipBufferFilled) << piece;
        EXPECT_EQ(Written(), piece);
    }
    EXPECT_EQ(Extract(0, 4), ZipOk);
    EXPECT_EQ(Written(), "");
    // The member closed; the next call starts it again.
    ASSERT_EQ(Extract(0, 4), ZipBufferFilled);
    EXPECT_EQ(Written(), "0123");
}

TEST_F(MemberReader, EmptyMemberDeliversNothing) {
    for (const uint16_t method : {uint16_t{0}, uint16_t{8}}) {
        OpenOne(Member("", method));
        EXPECT_EQ(Extract(0, 16), ZipOk) << method;
        EXPECT_EQ(Written(), "");
    }
}

TEST_F(MemberReader, SizeZeroDeliversNothingAndClosesTheMember) {
    OpenOne(Member("0123456789", 8));
    ASSERT_EQ(Extract(0, 4), ZipBufferFilled);
    EXPECT_EQ(Extract(0, 0), ZipOk);
    EXPECT_EQ(buffer_, std::string(8, Sentinel));
    ASSERT_EQ(Extract(0, 4), ZipBufferFilled);
    EXPECT_EQ(Written(), "0123");
}

TEST_F(MemberReader, DeflatedDataAcrossManyChunksEqualsOneInflate) {
    const std::string data = RandomBytes(100000, 7) + std::string(60000, 'z') + RandomBytes(9, 1);
    const std::string compressed = test::Deflate(data);
    ASSERT_GT(compressed.size(), 5u * zip::MemberReader::ChunkSize);
    const std::string whole = test::InflateWhole(compressed, data.size());
    ASSERT_EQ(whole.size(), data.size());

    OpenOne(Member(data, 8));
    std::string buffer(data.size(), '\0');
    ASSERT_EQ(archive_->ExtractMember(0, buffer.data(), static_cast<uint32_t>(buffer.size())),
              ZipBufferFilled);
    EXPECT_TRUE(buffer == whole);
    EXPECT_EQ(Extract(0, 1), ZipOk);
    for (const uint32_t piece : {1u, 1000u, 16384u, 16385u, 70000u}) {
        EXPECT_TRUE(ExtractInPieces(0, piece).substr(0, data.size()) == whole) << piece;
    }
}

TEST_F(MemberReader, StoredDataAcrossManyChunks) {
    const std::string data = RandomBytes(3 * zip::MemberReader::ChunkSize + 5, 3);
    OpenOne(Member(data));
    EXPECT_TRUE(ExtractInPieces(0, 5000).substr(0, data.size()) == data);
    std::string buffer(data.size(), '\0');
    ASSERT_EQ(archive_->ExtractMember(0, buffer.data(), static_cast<uint32_t>(buffer.size())),
              ZipBufferFilled);
    EXPECT_TRUE(buffer == data);
}

TEST_F(MemberReader, InvalidBlockTypeDeliversNothing) {
    MemberOptions member = Member("0123456789", 8);
    // Final block, type 3.
    member.rawData = std::string("\x07\x00\x00\x00", 4);
    OpenOne(member);
    EXPECT_EQ(Extract(0, 10), ZipOk);
    EXPECT_EQ(Written(), "");
}

TEST_F(MemberReader, DeflateStreamShorterThanItsSizeDeliversWhatItHas) {
    const std::string data = RandomBytes(50000, 11);
    MemberOptions member = Member(data, 8);
    const std::string compressed = test::Deflate(data);
    member.rawData = compressed.substr(0, compressed.size() / 2);
    OpenOne(member);
    std::string buffer(data.size(), Sentinel);
    ASSERT_EQ(archive_->ExtractMember(0, buffer.data(), static_cast<uint32_t>(buffer.size())),
              ZipBufferFilled);
    const size_t delivered = buffer.find_last_not_of(Sentinel) + 1;
    EXPECT_GT(delivered, 0u);
    EXPECT_LT(delivered, data.size());
    EXPECT_EQ(buffer.substr(0, delivered), data.substr(0, delivered));
    EXPECT_EQ(Extract(0, 100), ZipOk);
}

TEST_F(MemberReader, WrongCrcIsDeliveredUnchanged) {
    for (const uint16_t method : {uint16_t{0}, uint16_t{8}}) {
        MemberOptions member = Member("checked by nobody", method);
        member.centralCrc = 0xDEADBEEF;
        member.localCrc = 0xDEADBEEF;
        OpenOne(member);
        ASSERT_EQ(Extract(0, 17), ZipBufferFilled);
        EXPECT_EQ(Written(), "checked by nobody");
        EXPECT_EQ(Extract(0, 17), ZipOk);
    }
}

TEST_F(MemberReader, UnopenableMembersFailToExtract) {
    struct Case {
        const char* what;
        void (*apply)(MemberOptions&);
    };
    const Case cases[] = {
        {"method 12", [](MemberOptions& m) { m.method = 12; }},
        {"local method differs", [](MemberOptions& m) { m.localMethod = 8; }},
        {"bad local signature", [](MemberOptions& m) { m.localSignature = 0; }},
        {"local header past the file", [](MemberOptions& m) { m.localHeaderOffset = 1u << 20; }},
    };
    for (const Case& c : cases) {
        MemberOptions member = Member("0123456789");
        c.apply(member);
        OpenOne(member);
        EXPECT_EQ(Extract(0, 10), ZipExtractFailed) << c.what;
        EXPECT_EQ(Written(), "") << c.what;
    }
}

TEST_F(MemberReader, DataCutByTheEndOfTheFileFails) {
    MemberOptions member = Member("0123456789");
    member.centralCompressedSize = 100000;
    member.localCompressedSize = 100000;
    member.centralUncompressedSize = 100000;
    member.localUncompressedSize = 100000;
    OpenOne(member);
    EXPECT_EQ(Extract(0, 10), ZipExtractFailed);
    EXPECT_EQ(Written(), "");

    // A second chunk that the file cannot give fails the call after the first was delivered.
    const std::string data = RandomBytes(zip::MemberReader::ChunkSize + 100, 5);
    MemberOptions longer = Member(data);
    longer.centralCompressedSize = 200000;
    longer.localCompressedSize = 200000;
    OpenOne(longer);
    std::string buffer(data.size(), Sentinel);
    EXPECT_EQ(archive_->ExtractMember(0, buffer.data(), static_cast<uint32_t>(buffer.size())),
              ZipExtractFailed);
    EXPECT_EQ(buffer.substr(0, zip::MemberReader::ChunkSize),
              data.substr(0, zip::MemberReader::ChunkSize));
}

TEST_F(MemberReader, StoredMemberWithFewerCompressedBytesDeliversThoseAndEnds) {
    MemberOptions member = Member("0123456789");
    member.centralUncompressedSize = 20;
    member.localUncompressedSize = 20;
    OpenOne(member);
    ASSERT_EQ(Extract(0, 20), ZipBufferFilled);
    EXPECT_EQ(Written(), "0123456789");
    EXPECT_EQ(Extract(0, 20), ZipOk);
}

TEST_F(MemberReader, NothingBeyondTheUncompressedSizeIsDelivered) {
    for (const uint16_t method : {uint16_t{0}, uint16_t{8}}) {
        MemberOptions member = Member("0123456789", method);
        member.centralUncompressedSize = 5;
        member.localUncompressedSize = 5;
        OpenOne(member);
        ASSERT_EQ(Extract(0, 10), ZipBufferFilled) << method;
        EXPECT_EQ(Written(), "01234");
        EXPECT_EQ(Extract(0, 10), ZipOk);
    }
}

TEST_F(MemberReader, MemberFiveThenMemberTwo) {
    PackageBuilder builder;
    for (int i = 0; i < 7; ++i) {
        const std::string data =
            "member " + std::to_string(i) + std::string(100, static_cast<char>('a' + i));
        i % 2 == 0 ? builder.AddDeflated("m" + std::to_string(i), data)
                   : builder.AddStored("m" + std::to_string(i), data);
    }
    ZipArchive& archive = Open(builder);
    ASSERT_EQ(Extract(5, 10), ZipBufferFilled);
    EXPECT_EQ(Written(), "member 5ff");
    ASSERT_EQ(Extract(2, 10), ZipBufferFilled);
    EXPECT_EQ(Written(), "member 2cc");
    ASSERT_EQ(Extract(5, 10), ZipBufferFilled);
    EXPECT_EQ(Written(), "member 5ff");
    ZipEntry entry;
    int32_t index = -1;
    ASSERT_EQ(archive.FindMember("M6", index, entry), ZipOk);
    ASSERT_EQ(Extract(1, 8), ZipBufferFilled);
    EXPECT_EQ(Written(), "member 1");
}

TEST_F(MemberReader, FindingAMemberClosesTheOpenOne) {
    ZipArchive& archive = Open(PackageBuilder().AddStored("a", "abcdefgh").AddStored("b", "1234"));
    ASSERT_EQ(Extract(0, 4), ZipBufferFilled);
    int32_t index = -1;
    ZipEntry entry;
    ASSERT_EQ(archive.FindMember("A", index, entry), ZipOk);
    ASSERT_EQ(Extract(0, 4), ZipBufferFilled);
    EXPECT_EQ(Written(), "abcd");
}

TEST_F(MemberReader, IndexesOutsideTheDirectory) {
    Open(PackageBuilder().AddStored("a", "abcdefgh").AddStored("b", "1234"));
    EXPECT_EQ(Extract(2, 4), ZipBadArgument);
    EXPECT_EQ(Extract(INT32_MAX, 4), ZipBadArgument);
    // Nothing open under -1: nothing to read.
    EXPECT_EQ(Extract(-1, 4), ZipExtractFailed);
    EXPECT_EQ(Extract(-7, 4), ZipExtractFailed);
    EXPECT_EQ(Written(), "");
    EXPECT_EQ(archive_->ExtractMember(0, nullptr, 4), ZipBadArgument);
    ASSERT_EQ(Extract(1, 4), ZipBufferFilled);
    EXPECT_EQ(Written(), "1234");
}

TEST_F(MemberReader, MemberBehindAPrefixAndAfterALocalExtraField) {
    PackageBuilder builder;
    builder.Prefix(std::string(777, 'p'));
    builder.AddDeflated("x.xml", std::string(20000, 'x'));
    builder.Last().localExtra = test::TimestampBlock(1, {5}) + std::string(4, '\0');
    builder.AddStored("y.xml", "yyyy");
    Open(builder);
    EXPECT_EQ(ExtractInPieces(0, 20000), std::string(20000, 'x'));
    EXPECT_EQ(ExtractInPieces(1, 4), "yyyy");
}

}  // namespace
}  // namespace quillet
