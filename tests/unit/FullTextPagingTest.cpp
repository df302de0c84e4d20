#include "plugin/FullTextTransfer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "plugin/FieldTable.h"

namespace quillet {
namespace {

class FullTextPaging : public ::testing::Test {
  protected:
    // One paging call over `text` with a fresh buffer of `size` bytes (plus sentinels). No key:
    // nothing is kept, every call builds.
    int32_t Page(const std::string& text, int32_t unitIndex, int32_t size) {
        buffer_.assign(static_cast<size_t>(size > 0 ? size : 0) + 8, 'x');
        const int32_t result =
            transfer_.Step(TextForm::Ansi, unitIndex, std::nullopt, 44, buffer_.data(), size, [&] {
                ++builds_;
                return FullTextTransfer::Built{text, std::nullopt};
            });
        for (size_t i = buffer_.size() - 8; i < buffer_.size(); ++i) {
            EXPECT_EQ(buffer_[i], 'x') << "overrun at " << i;
        }
        return result;
    }
    std::string Received() const { return std::string(buffer_.data()); }
    bool Untouched() const {
        for (const char c : buffer_) {
            if (c != 'x')
                return false;
        }
        return true;
    }

    FullTextTransfer transfer_;
    std::vector<char> buffer_;
    int builds_ = 0;
};

TEST_F(FullTextPaging, TenCharactersThroughAFourByteBuffer) {
    const std::string text = "0123456789";
    ASSERT_EQ(Page(text, 0, 4), FieldFullText);
    EXPECT_EQ(Received(), "012");
    const char* pieces[] = {"345", "678", "9"};
    int unit = 1;
    for (const char* piece : pieces) {
        ASSERT_EQ(Page(text, unit++, 4), FieldFullText);
        EXPECT_EQ(Received(), piece);
    }
    EXPECT_EQ(Page(text, unit, 4), FieldEmpty);
    EXPECT_TRUE(Untouched());
    // The offset stays at the end: the transfer keeps answering that it ended.
    EXPECT_EQ(Page(text, unit + 1, 4), FieldEmpty);
    EXPECT_EQ(Page(text, -1, 4), FieldFullText);
    EXPECT_TRUE(Untouched());
    // The end call put the offset back at the start.
    ASSERT_EQ(Page(text, 1, 4), FieldFullText);
    EXPECT_EQ(Received(), "012");
}

TEST_F(FullTextPaging, TextOfExactlyTheBufferLessOne) {
    ASSERT_EQ(Page("abc", 0, 4), FieldFullText);
    EXPECT_EQ(Received(), "abc");
    EXPECT_EQ(Page("abc", 1, 4), FieldEmpty);
}

TEST_F(FullTextPaging, EmptyTextGivesAnEmptyFirstPieceThenEnds) {
    ASSERT_EQ(Page("", 0, 16), FieldFullText);
    EXPECT_EQ(Received(), "");
    EXPECT_EQ(Page("", 1, 16), FieldEmpty);
}

TEST_F(FullTextPaging, OneOffsetIsSharedByEveryTransfer) {
    const std::string content = "abcdefghij";
    ASSERT_EQ(Page(content, 0, 4), FieldFullText);
    ASSERT_EQ(Page(content, 1, 4), FieldFullText);
    // A first call of another field resets the offset, and the first transfer goes on from where
    // the second one left it.
    ASSERT_EQ(Page("XYZ", 0, 3), FieldFullText);
    EXPECT_EQ(Received(), "XY");
    ASSERT_EQ(Page(content, 2, 4), FieldFullText);
    EXPECT_EQ(Received(), "cde");
}

TEST_F(FullTextPaging, BuffersTooSmallForACharacterNeverLoop) {
    ASSERT_EQ(Page("abc", 0, 1), FieldFullText);
    EXPECT_EQ(Received(), "");
    EXPECT_EQ(Page("abc", 1, 1), FieldEmpty);
    EXPECT_EQ(Page("abc", 1, 0), FieldEmpty);
    EXPECT_EQ(Page("abc", 1, -5), FieldEmpty);
    ASSERT_EQ(Page("abc", 0, 0), FieldFullText);
    EXPECT_TRUE(Untouched());
    // None of them moved the offset.
    ASSERT_EQ(Page("abc", 1, 4), FieldFullText);
    EXPECT_EQ(Received(), "abc");
}

TEST_F(FullTextPaging, TheLargestBufferTakesTheWholeTextAndEnds) {
    const int32_t largest = 2'147'483'647;
    std::vector<char> buffer(8, 'x');
    FullTextTransfer transfer;
    const auto step = [&](int32_t unit) {
        // A host's largest buffer: only as many bytes as the text holds are written.
        return transfer.Step(TextForm::Ansi, unit, std::nullopt, 44, buffer.data(), largest,
                             [] { return FullTextTransfer::Built{"abc", std::nullopt}; });
    };
    ASSERT_EQ(step(0), FieldFullText);
    EXPECT_EQ(std::string(buffer.data()), "abc");
    EXPECT_EQ(step(1), FieldEmpty);
    EXPECT_EQ(step(2), FieldEmpty);
}

// With the file's key, a transfer builds its text once; a text handed over whole by the first
// call is not kept, yet the next call still finds it ended without building again.
TEST(FullTextTransfer, KeptTextServesTheNextCallsOfItsKeyOnly) {
    FullTextTransfer transfer;
    int builds = 0;
    std::string text = "0123456789";
    const auto step = [&](int32_t unit, const FileKey& key, int32_t size, std::string* piece) {
        std::vector<char> buffer(static_cast<size_t>(size), 'x');
        const int32_t result = transfer.Step(TextForm::Ansi, unit, key, 44, buffer.data(), size, [&] {
            ++builds;
            return FullTextTransfer::Built{text, key};
        });
        if (piece != nullptr)
            *piece = buffer.data();
        return result;
    };
    const FileKey file{"a.docx", platform::FileStamp{10, 1, 1, 1, 1}, "UTF-8"};
    FileKey replaced = file;
    replaced.stamp.fileId = 2;
    std::string piece;
    ASSERT_EQ(step(0, file, 4, &piece), FieldFullText);
    EXPECT_EQ(piece, "012");
    ASSERT_EQ(step(1, file, 4, &piece), FieldFullText);
    EXPECT_EQ(piece, "345");
    EXPECT_EQ(builds, 1);
    text = "abcdefghij";  // another file now stands under the name
    ASSERT_EQ(step(2, replaced, 4, &piece), FieldFullText);
    EXPECT_EQ(piece, "ghi");
    EXPECT_EQ(builds, 2);
    ASSERT_EQ(step(0, file, 64, &piece), FieldFullText);
    EXPECT_EQ(piece, "abcdefghij");
    EXPECT_EQ(step(1, file, 64, nullptr), FieldEmpty);
    EXPECT_EQ(builds, 3);
    EXPECT_EQ(step(-1, file, 64, nullptr), FieldFullText);
    // The end call dropped the text and put the offset back at the start.
    ASSERT_EQ(step(1, file, 4, &piece), FieldFullText);
    EXPECT_EQ(piece, "abc");
    EXPECT_EQ(builds, 4);
}

TEST(TakePiece, CutsAtTheOffsetAndTheEnd) {
    const std::string text = "0123456789";
    EXPECT_EQ(TakePiece(text, 0, 4), "0123");
    EXPECT_EQ(TakePiece(text, 9, 4), "9");
    EXPECT_EQ(TakePiece(text, 10, 4), "");
    EXPECT_EQ(TakePiece(text, 11, 4), "");
    EXPECT_EQ(TakePiece(text, 0, 0), "");
    EXPECT_EQ(TakePiece(text, 0, -3), "");
    EXPECT_EQ(TakePiece("ab", 0, 100), "ab");
    EXPECT_EQ(TakePiece(text, 2'147'483'647, 2'147'483'647), "");
}

}  // namespace
}  // namespace quillet
