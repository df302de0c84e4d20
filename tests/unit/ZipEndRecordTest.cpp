#include "package/ZipArchive.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "package/PartText.h"
#include "support/PackageBuilder.h"
#include "support/TempFile.h"
#include "unit/ArchiveFixture.h"

namespace quillet {
namespace {

using test::Le16;
using test::Le32;
using test::PackageBuilder;
using test::TempFile;

class ZipEndRecord : public ::testing::Test {
  protected:
    std::unique_ptr<ZipArchive> Open(const std::string& bytes) {
        files_.push_back(std::make_unique<TempFile>(bytes));
        return OpenArchiveFile(files_.back()->path().c_str());
    }

    static PackageBuilder TwoMembers() {
        PackageBuilder builder;
        builder.AddStored("docProps/core.xml", "<core/>")
            .AddDeflated("word/document.xml", std::string(3000, 'd'));
        return builder;
    }

    // An end record with every field given: disk, directory disk, both counts, size, offset.
    static std::string EndRecord(uint32_t disk, uint32_t directoryDisk, uint32_t onDisk,
                                 uint32_t total, uint32_t size, uint32_t offset,
                                 uint32_t commentLength = 0) {
        return Le32(0x06054b50) + Le16(disk) + Le16(directoryDisk) + Le16(onDisk) + Le16(total) +
               Le32(size) + Le32(offset) + Le16(commentLength);
    }

    std::vector<std::unique_ptr<TempFile>> files_;
};

TEST_F(ZipEndRecord, FoundBehindCommentsUpTo65513Bytes) {
    for (const size_t length : {size_t{0}, size_t{1}, size_t{1006}, size_t{1008}, size_t{1021},
                                size_t{1024}, size_t{1025}, size_t{40000}, size_t{65513}}) {
        PackageBuilder builder = TwoMembers();
        builder.Comment(std::string(length, 'c'));
        const auto archive = Open(builder.Build());
        ASSERT_TRUE(archive) << "comment of " << length;
        EXPECT_EQ(ReadPartText(*archive, "docProps/core.xml"), "<core/>") << length;
    }
}

TEST_F(ZipEndRecord, NotFoundBehindACommentOf65514Bytes) {
    PackageBuilder builder = TwoMembers();
    builder.Comment(std::string(65514, 'c'));
    EXPECT_FALSE(Open(builder.Build()));
}

TEST_F(ZipEndRecord, SignatureInsideTheCommentIsTakenForTheRecord) {
    // A sound-looking record inside the comment lies nearer the end and wins: it declares no
    // entries at all, where the real record declares two.
    PackageBuilder builder = TwoMembers();
    builder.Comment("note " + EndRecord(0, 0, 0, 0, 0, 0) + " tail");
    const auto archive = Open(builder.Build());
    ASSERT_TRUE(archive);
    EXPECT_FALSE(archive->HasMember("docProps/core.xml"));
    EXPECT_FALSE(archive->HasMember("word/document.xml"));

    // One with unequal counts in the comment fails the open, though the real record is sound.
    PackageBuilder inconsistent = TwoMembers();
    inconsistent.Comment(EndRecord(0, 0, 1, 2, 0, 0));
    EXPECT_FALSE(Open(inconsistent.Build()));
}

TEST_F(ZipEndRecord, SignatureAcrossTheBoundaryOfTwoSearchBlocksIsFound) {
    // The record's signature straddles the first 1028-byte block of a backward search.
    for (size_t length = 1000; length < 1010; ++length) {
        PackageBuilder builder = TwoMembers();
        builder.Comment(std::string(length, 'c'));
        EXPECT_TRUE(Open(builder.Build())) << length;
    }
}

TEST_F(ZipEndRecord, RecordAtTheStartOfTheFileCountsAsNone) {
    EXPECT_FALSE(Open(EndRecord(0, 0, 0, 0, 0, 0)));
    EXPECT_FALSE(Open(PackageBuilder().Build()));
    // The same empty record behind one byte is an archive without members.
    const auto archive = Open("x" + EndRecord(0, 0, 0, 0, 0, 0));
    ASSERT_TRUE(archive);
    EXPECT_FALSE(archive->HasMember(""));
}

TEST_F(ZipEndRecord, ArchiveBehindOtherDataIsReadWithItsOwnOffsets) {
    PackageBuilder builder = TwoMembers();
    builder.Prefix(std::string(1000, 'p'));
    const auto archive = Open(builder.Build());
    ASSERT_TRUE(archive);
    ASSERT_TRUE(archive->HasMember("word/document.xml"));
    EXPECT_EQ(ReadPartText(*archive, "word/document.xml"), std::string(3000, 'd'));
    EXPECT_EQ(ReadPartText(*archive, "docProps/core.xml"), "<core/>");
}

TEST_F(ZipEndRecord, InconsistentRecordsFailTheOpen) {
    struct Case {
        const char* what;
        void (*apply)(test::ArchiveOptions&);
    };
    const Case cases[] = {
        {"entries on disk 3, total 4",
         [](test::ArchiveOptions& o) {
             o.entriesOnDisk = 3;
             o.entriesTotal = 4;
         }},
        {"disk number 1", [](test::ArchiveOptions& o) { o.diskNumber = 1; }},
        {"directory on disk 1", [](test::ArchiveOptions& o) { o.directoryDisk = 1; }},
        {"directory ends after the record",
         [](test::ArchiveOptions& o) { o.directorySize = 100000; }},
        {"directory offset past the record",
         [](test::ArchiveOptions& o) { o.directoryOffset = 100000; }},
        {"offset and size wrap around 32 bits",
         [](test::ArchiveOptions& o) {
             o.directoryOffset = 0xFFFFFFF0u;
             o.directorySize = 0x20;
         }},
    };
    for (const Case& c : cases) {
        PackageBuilder builder = TwoMembers();
        c.apply(builder.archive());
        EXPECT_FALSE(Open(builder.Build())) << c.what;
    }
}

TEST_F(ZipEndRecord, RecordCutByTheEndOfTheFileFailsTheOpen) {
    const std::string bytes = TwoMembers().Build();
    for (size_t cut = 1; cut < 22; ++cut) {
        EXPECT_FALSE(Open(bytes.substr(0, bytes.size() - cut))) << "cut " << cut;
    }
}

TEST_F(ZipEndRecord, EveryTruncationIsRefusedAndNothingCrashes) {
    const std::string bytes = TwoMembers().Build();
    for (size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_FALSE(Open(bytes.substr(0, length))) << "length " << length;
    }
    EXPECT_TRUE(Open(bytes));
}

TEST_F(ZipEndRecord, TruncatedArchivesWithIntactRecordsNeverReadPastTheFile) {
    // Cutting bytes out of the middle keeps an end record whose offsets point past the data.
    const std::string bytes = TwoMembers().Build();
    const size_t tail = 22;
    for (size_t keep = 0; keep + tail < bytes.size(); ++keep) {
        const std::string cut = bytes.substr(0, keep) + bytes.substr(bytes.size() - tail);
        const auto archive = Open(cut);
        if (!archive) {
            continue;
        }
        for (const char* name : {"docProps/core.xml", "word/document.xml"}) {
            const auto text = ReadPartText(*archive, name);
            EXPECT_FALSE(text && text->size() > 3000) << keep;
        }
        for (const char* name : {"docProps/core.xml", "word/document.xml"}) {
            EXPECT_LE(ReadMemberBytes(*archive, name, 64).bytes.size(), 3000u) << keep;
        }
    }
}

TEST_F(ZipEndRecord, EveryDamagedByteIsSurvived) {
    const std::string bytes = TwoMembers().Build();
    for (size_t at = 0; at < bytes.size(); ++at) {
        for (const int flip : {0xFF, 0x80, 0x01}) {
            std::string damaged = bytes;
            damaged[at] = static_cast<char>(damaged[at] ^ flip);
            const auto archive = Open(damaged);
            if (!archive) {
                continue;
            }
            const auto text = ReadPartText(*archive, "word/document.xml");
            EXPECT_FALSE(text && text->size() > 3000) << at;
            for (const char* name : {"docProps/core.xml", "word/document.xml"}) {
                EXPECT_LE(ReadMemberBytes(*archive, name, 100).bytes.size(), 3000u) << at;
            }
        }
        files_.clear();
    }
}

TEST_F(ZipEndRecord, Zip64RecordsBeforeTheEndRecordAreSteppedOver) {
    struct Case {
        const char* what;
        std::string prefix;
        std::string extensibleData;  // makes the record longer than the usual 56 bytes
    };
    const Case cases[] = {
        {"usual record", "", ""},
        {"usual record behind a prefix", std::string(700, 'p'), ""},
        {"record with extensible data", "", std::string(30, 'x')},
    };
    for (const Case& c : cases) {
        PackageBuilder builder = TwoMembers();
        builder.Prefix(c.prefix);
        builder.archive().zip64Record = true;
        builder.archive().zip64ExtensibleData = c.extensibleData;
        builder.archive().zip64Locator = true;
        const auto archive = Open(builder.Build());
        ASSERT_TRUE(archive) << c.what;
        EXPECT_EQ(ReadPartText(*archive, "docProps/core.xml"), "<core/>") << c.what;
        EXPECT_EQ(ReadPartText(*archive, "word/document.xml"), std::string(3000, 'd')) << c.what;
    }
}

TEST_F(ZipEndRecord, Zip64RecordWithoutItsLocatorIsTakenForAPrefix) {
    PackageBuilder builder = TwoMembers();
    builder.archive().zip64Record = true;
    const auto archive = Open(builder.Build());
    ASSERT_TRUE(archive);
    EXPECT_EQ(ReadPartText(*archive, "docProps/core.xml"), std::nullopt);
}

TEST_F(ZipEndRecord, Zip64RecordThatDoesNotEndAtTheLocatorIsNotRecognised) {
    // A record one byte longer than its size field says leaves one byte before the locator.
    PackageBuilder builder = TwoMembers();
    builder.archive().zip64Record = true;
    builder.archive().zip64Locator = true;
    std::string bytes = builder.Build();
    const size_t locator = bytes.size() - 22 - 20;
    bytes.insert(locator, 1, '\0');
    const auto archive = Open(bytes);
    ASSERT_TRUE(archive);
    EXPECT_EQ(ReadPartText(*archive, "docProps/core.xml"), std::nullopt);
}

TEST_F(ZipEndRecord, ValuesThatTrulyNeedZip64FailTheOpen) {
    struct Case {
        const char* what;
        void (*apply)(test::ArchiveOptions&);
    };
    const Case cases[] = {
        {"entry counts 0xFFFF",
         [](test::ArchiveOptions& o) {
             o.entriesOnDisk = 0xFFFF;
             o.entriesTotal = 0xFFFF;
         }},
        {"directory size 0xFFFFFFFF", [](test::ArchiveOptions& o) { o.directorySize = ~0u; }},
        {"directory offset 0xFFFFFFFF", [](test::ArchiveOptions& o) { o.directoryOffset = ~0u; }},
    };
    for (const Case& c : cases) {
        PackageBuilder builder = TwoMembers();
        builder.archive().zip64Record = true;
        builder.archive().zip64Locator = true;
        c.apply(builder.archive());
        EXPECT_FALSE(Open(builder.Build())) << c.what;
    }
}

TEST_F(ZipEndRecord, FilesThatAreNoArchivesAreRefused) {
    EXPECT_FALSE(OpenArchiveFile(nullptr));
    EXPECT_FALSE(OpenArchiveFile(""));
    EXPECT_FALSE(OpenArchiveFile(test::MissingPath().c_str()));
    EXPECT_FALSE(Open("plain text, no archive at all"));
    EXPECT_FALSE(Open(std::string(70000, 'z')));

    // Neither a directory nor a FIFO is a disk file.
    const auto directory = std::filesystem::temp_directory_path();
    EXPECT_FALSE(OpenArchiveFile(directory.string().c_str()));
#ifndef _WIN32
    const std::string fifo = test::MissingPath() + ".fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(OpenArchiveFile(fifo.c_str()));
    std::remove(fifo.c_str());
#endif
}

}  // namespace
}  // namespace quillet
