// Files that change or vanish under the module between two calls, and between two reads of one
// call, through the exported ContentGetValue; and the regressions of failures that pass.
#include <gtest/gtest.h>

#include <quillet/content_plugin.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "faults/AllocationFaults.h"
#include "faults/FaultInputs.h"
#include "faults/FaultSweep.h"
#include "faults/ReadFaults.h"
#include "support/PackageBuilder.h"
#include "support/SoundPackage.h"
#include "support/TempFile.h"

namespace quillet::test {
namespace {

constexpr int TitleField = 14;
constexpr int CompanyField = 20;
constexpr int PieceBytes = 16;

// A stored document whose title, company and body carry `tag`; tags of one length give
// packages of one size.
std::string Version(const std::string& tag) {
    auto parts = SoundParts(WordMarker);
    std::string& core = parts["docProps/core.xml"];
    core.replace(core.find(">Title<"), 7, ">Title " + tag + "<");
    std::string& app = parts["docProps/app.xml"];
    app.replace(app.find("</Properties>"), 13,
                "<Company>Company " + tag + "</Company></Properties>");
    std::string& body = parts[WordMarker];
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += "Body " + tag + " " + std::to_string(i) + ". ";
    body.replace(body.find(">Hello<"), 7, ">" + text + "<");
    return PackageOf(parts, false).Build();
}

std::string Text(const std::string& path, int field) {
    char value[256] = {};
    const int result = ContentGetValue(path.c_str(), field, 0, value, sizeof value, 0);
    return result == QUILLET_FIELD_STRING ? std::string(value)
                                          : "<result " + std::to_string(result) + ">";
}

int Piece(const std::string& path, int unit, std::string& joined) {
    char piece[PieceBytes] = {};
    const int result = ContentGetValue(path.c_str(), ContentField, unit, piece, PieceBytes, 0);
    if (result == QUILLET_FIELD_FULL_TEXT)
        joined += std::string(piece, strnlen(piece, sizeof piece));
    return result;
}

void ReplaceByRename(const std::string& path, const std::string& bytes) {
    const std::string fresh = path + ".new";
    FILE* out = std::fopen(fresh.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), out), bytes.size());
    ASSERT_EQ(std::fclose(out), 0);
    ASSERT_EQ(std::rename(fresh.c_str(), path.c_str()), 0);
}

void RewriteInPlace(const std::string& path, const std::string& bytes) {
    const int descriptor = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(descriptor, 0);
    EXPECT_EQ(::pwrite(descriptor, bytes.data(), bytes.size(), 0),
              static_cast<ssize_t>(bytes.size()));
    ::close(descriptor);
}

class ChangingFile : public ::testing::Test {
  protected:
    void SetUp() override { std::setlocale(LC_ALL, "C.UTF-8"); }

    const std::string a_ = Version("A");
    const std::string b_ = Version("B");
    TempFile file_{a_};
};

TEST_F(ChangingFile, TruncatedBetweenTwoPiecesOfATransferKeepsTheProtocol) {
    for (const size_t cut : {a_.size() / 2, size_t{30}, size_t{0}}) {
        file_.Rewrite(a_);
        Touch(file_.path());
        std::string joined;
        ASSERT_EQ(Piece(file_.path(), 0, joined), QUILLET_FIELD_FULL_TEXT);
        file_.Rewrite(a_.substr(0, cut));
        int unit = 1;
        while (Piece(file_.path(), unit, joined) == QUILLET_FIELD_FULL_TEXT && unit < 1000)
            ++unit;
        EXPECT_LT(unit, 1000) << "cut at " << cut;
        EXPECT_EQ(Piece(file_.path(), QUILLET_FULL_TEXT_END, joined), QUILLET_FIELD_FULL_TEXT);
        // Whatever the pieces after the cut were, the truncated file reads as what it is now.
        EXPECT_EQ(Text(file_.path(), TitleField), "") << "cut at " << cut;
    }
}

TEST_F(ChangingFile, DeletedBeforeANextCallAnswersFileError) {
    std::string joined;
    ASSERT_EQ(Piece(file_.path(), 0, joined), QUILLET_FIELD_FULL_TEXT);
    ASSERT_EQ(std::remove(file_.path().c_str()), 0);
    EXPECT_EQ(Piece(file_.path(), 1, joined), QUILLET_FILE_ERROR);
    EXPECT_EQ(Text(file_.path(), TitleField), "<result -2>");
    EXPECT_EQ(Piece(file_.path(), QUILLET_FULL_TEXT_END, joined), QUILLET_FILE_ERROR);
    file_.Rewrite(b_);
    EXPECT_EQ(Text(file_.path(), TitleField), "Title B");
}

// The records are read with one open: a file replaced between the reads of one request answers
// that request from the file it opened, and the next requests from the new file, whole.
TEST_F(ChangingFile, ReplacedBetweenTwoReadsOfARequestNeverMixesVersions) {
    struct Change {
        const char* name;
        void (*apply)(const std::string&, const std::string&);
    };
    for (const Change change :
         {Change{"rename", ReplaceByRename}, Change{"in place", RewriteInPlace}}) {
        uint64_t read = 1;
        for (bool reached = true; reached; ++read) {
            ReplaceByRename(file_.path(), a_);
            const std::string path = file_.path();
            ArmReadAction(read, [&] { change.apply(path, b_); });
            const std::string title = Text(path, TitleField);
            reached = DisarmReadFault();
            if (!reached) {
                EXPECT_EQ(title, "Title A");
                break;
            }
            if (std::string(change.name) == "rename") {
                EXPECT_EQ(title, "Title A") << change.name << ", before read " << read;
            }
            EXPECT_EQ(Text(path, CompanyField), "Company B") << change.name << ", read " << read;
            EXPECT_EQ(Text(path, TitleField), "Title B") << change.name << ", read " << read;
        }
        EXPECT_GT(read, 3u) << change.name;
    }
}

// Regressions: a read that failed once, or memory that ran out once, left a record with an
// empty title kept under the file's unchanged state, and every later request answered it.
TEST_F(ChangingFile, NothingReadDuringAFailureThatPassesIsKept) {
    for (uint64_t read = 1; read <= 6; ++read) {
        Touch(file_.path());
        ArmReadFault(read, ReadFault::Fail);
        (void)Text(file_.path(), TitleField);
        ASSERT_TRUE(DisarmReadFault());
        EXPECT_EQ(Text(file_.path(), TitleField), "Title A") << "read " << read;
        EXPECT_EQ(Text(file_.path(), CompanyField), "Company A") << "read " << read;
    }
    // Every allocation of a request that reads the file, in turn, until one request meets none.
    uint64_t allocation = 1;
    for (;; ++allocation) {
        Touch(file_.path());
        ArmAllocationFailure(allocation);
        const std::string failed = Text(file_.path(), CompanyField);
        if (!DisarmAllocationFailure()) {
            break;
        }
        EXPECT_EQ(Text(file_.path(), TitleField), "Title A") << "allocation " << allocation;
        EXPECT_EQ(Text(file_.path(), CompanyField), "Company A") << "allocation " << allocation;
    }
    EXPECT_GT(allocation, 10u);
}

// A local header that disagrees with the directory is damage, or a write between their reads:
// a file rewritten in place takes its new times when the write starts, so its state before and
// after a torn read is the same. Nothing of such a request is kept; the next one reads again.
TEST_F(ChangingFile, AMemberWhoseHeaderDisagreesWithTheDirectoryIsNotKept) {
    std::string torn = a_;
    const size_t name = torn.find("docProps/core.xml");  // first in its local header
    torn[name - 30 + 14] ^= 0x01;                        // that header's CRC-32
    file_.Rewrite(torn);
    EXPECT_EQ(Text(file_.path(), CompanyField), "Company A");
    EXPECT_EQ(Text(file_.path(), TitleField), "");
    ArmReadFault(1, ReadFault::Fail);
    (void)Text(file_.path(), CompanyField);
    EXPECT_TRUE(DisarmReadFault()) << "what was read beside the disagreeing member was kept";
}

// What is read without a failure is still kept: the next field of a sound file reads nothing.
TEST_F(ChangingFile, WhatIsReadWholeIsKept) {
    for (const char* name : {"lo_writer", "lo_calc", "lo_impress"}) {
        const auto input = SweepInput(name);
        EXPECT_EQ(Text(input->path(), CompanyField).rfind("<result", 0), std::string::npos);
        ArmReadFault(1, ReadFault::Fail);
        (void)Text(input->path(), TitleField);
        EXPECT_FALSE(DisarmReadFault()) << name << " was read again";
    }
}

}  // namespace
}  // namespace quillet::test
