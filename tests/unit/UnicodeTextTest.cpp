// Texts keep UTF-8 until an interface hands them over: ill-formed input is made well-formed once,
// so that joining texts and converting them commute, and the UTF-16 form never cuts a pair.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include <cstring>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/FilePath.h"
#include "platform/Unicode.h"
#include "plugin/ActiveBuilds.h"
#include "plugin/FullTextTransfer.h"
#include "plugin/HostBuffer.h"
#include "plugin/TextForm.h"
#include "support/ScopedCodePage.h"
#include "text/BoundedText.h"
#include "xml/TextConversion.h"

namespace quillet {
namespace {

using platform::Utf16ToUtf8;
using platform::Utf8ToUtf16;
using platform::WellFormedUtf8;
using test::ScopedCodePage;

const std::string Replacement = "\xEF\xBF\xBD";

// Ill-formed sequences and how many U+FFFD each becomes: one per maximal ill-formed
// subsequence.
struct IllFormed {
    const char* bytes;
    int replacements;
};

const IllFormed IllFormedSequences[] = {
    {"\x80", 1},                  // a lone continuation byte
    {"\xBF\x80", 2},              // two of them
    {"\xC3", 1},                  // a lead without its continuation
    {"\xE2\x82", 1},              // a three-byte sequence cut short
    {"\xF0\x9F\x98", 1},          // a four-byte sequence cut short
    {"\xC0\xAF", 2},              // an overlong form: neither byte starts a sequence
    {"\xE0\x80\x80", 3},          // an overlong three-byte form
    {"\xED\xA0\x80", 3},          // an encoded surrogate
    {"\xF4\x90\x80\x80", 4},      // above U+10FFFF
    {"\xF5\x80", 2},              // a lead byte that never starts a sequence
    {"\xFF", 1},                  //
    {"\xE2\x82\xE2\x82\xAC", 1},  // a cut sequence before a whole one
};

std::string Replacements(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += Replacement;
    }
    return text;
}

TEST(WellFormedUtf8, EachMaximalIllFormedSubsequenceBecomesOneReplacement) {
    for (const IllFormed& sequence : IllFormedSequences) {
        SCOPED_TRACE(sequence.replacements);
        const std::string bytes(sequence.bytes);
        const std::string whole =
            bytes.find("\xE2\x82\xAC") != std::string::npos ? "\xE2\x82\xAC" : "";
        EXPECT_EQ(WellFormedUtf8("x" + bytes + "y"),
                  "x" + Replacements(sequence.replacements) + whole + "y");
    }
}

TEST(WellFormedUtf8, WellFormedTextStaysAsItIs) {
    for (const char* text : {"", "plain ASCII", u8"Отчёт о продажах", u8"销售报告", u8"😀🎉",
                             u8"Résumé – naïve", "\xEF\xBF\xBD"}) {
        EXPECT_EQ(WellFormedUtf8(text), text);
        EXPECT_EQ(WellFormedText(text), text);
        EXPECT_EQ(platform::SystemWellFormedUtf8(text), text);
    }
    EXPECT_EQ(WellFormedText(nullptr), "");
}

// The readers join element texts at ASCII separators; converting the joined text must give what
// converting each text gave, for every ill-formed sequence on either side of a separator, in
// every code page.
TEST(WellFormedUtf8, JoiningAtAsciiSeparatorsCommutesWithConversionInEveryCodePage) {
    for (const char* charset : {"CP1252", "ANSI_X3.4-1968", "UTF-8", "EUC-JP"}) {
        const ScopedCodePage page(charset);
        if (!page.active()) {
            continue;
        }
        for (const IllFormed& left : IllFormedSequences) {
            for (const IllFormed& right : IllFormedSequences) {
                const std::string first = std::string("a") + left.bytes;
                const std::string second = std::string(right.bytes) + "b";
                const std::string joined =
                    WellFormedText(first.c_str()) + "\t" + WellFormedText(second.c_str());
                EXPECT_EQ(AnsiOf(joined), platform::Utf8ToProcessAnsi(first.c_str()) + "\t" +
                                              platform::Utf8ToProcessAnsi(second.c_str()))
                    << charset;
            }
        }
    }
}

TEST(WellFormedUtf8, JoiningAtAsciiSeparatorsCommutesWithConversion) {
    const char* const separators[] = {"\t", "\n", " ", "\t\n", " \t"};
    for (const IllFormed& left : IllFormedSequences) {
        for (const IllFormed& right : IllFormedSequences) {
            for (const char* separator : separators) {
                const std::string first = std::string("a") + left.bytes;
                const std::string second = std::string(right.bytes) + "b";
                const std::string joined =
                    WellFormedText(first.c_str()) + separator + WellFormedText(second.c_str());
                // As the ANSI interface converted each text before.
                EXPECT_EQ(AnsiOf(joined), platform::Utf8ToProcessAnsi(first.c_str()) + separator +
                                              platform::Utf8ToProcessAnsi(second.c_str()));
                EXPECT_EQ(platform::Utf8ToUtf16(joined),
                          platform::Utf8ToUtf16(WellFormedText(first.c_str())) +
                              Utf8ToUtf16(separator) +
                              platform::Utf8ToUtf16(WellFormedText(second.c_str())));
#ifndef _WIN32
                // On Linux the readers' rule is the maximal ill-formed subsequence.
                EXPECT_EQ(platform::Utf8ToUtf16(joined),
                          Utf8ToUtf16(first) + Utf8ToUtf16(separator) + Utf8ToUtf16(second));
#endif
            }
        }
    }
}

TEST(Utf8ToUtf16, EveryScriptAndPlane) {
    EXPECT_EQ(Utf8ToUtf16(""), u"");
    EXPECT_EQ(Utf8ToUtf16(u8"Отчёт о продажах"), u"Отчёт о продажах");
    EXPECT_EQ(Utf8ToUtf16(u8"Αναφορά πωλήσεων"), u"Αναφορά πωλήσεων");
    EXPECT_EQ(Utf8ToUtf16(u8"销售报告"), u"销售报告");
    EXPECT_EQ(Utf8ToUtf16(u8"naïve 😀"), u"naïve 😀");
    EXPECT_EQ(Utf8ToUtf16("\xF4\x8F\xBF\xBF"), std::u16string({0xDBFF, 0xDFFF}));
    EXPECT_EQ(Utf8ToUtf16("a\xE2\x82"
                          "b"),
              u"a\uFFFDb");
}

TEST(Utf16ToUtf8, UnpairedSurrogatesAreRefused) {
    std::string utf8 = "untouched";
    EXPECT_TRUE(Utf16ToUtf8(u"Отчёт 😀.docx", utf8));
    EXPECT_EQ(utf8, u8"Отчёт 😀.docx");
    for (const std::u16string& bad :
         {std::u16string({0xD800}), std::u16string({u'a', 0xDC00}), std::u16string({0xD83D, u'a'}),
          std::u16string({0xDE00, 0xD83D})}) {
        utf8 = "untouched";
        EXPECT_FALSE(Utf16ToUtf8(bad, utf8));
        EXPECT_EQ(utf8, "untouched");
    }
}

TEST(FilePath, Utf16NamesBecomeTheirUtf8) {
    const platform::WideChar name[] = {0x41E, 0x442, 'x', 0};
    const auto path = platform::FilePath::FromUtf16(name);
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(path->text(), u8"Отx");
    const platform::WideChar unpaired[] = {'a', 0xD800, 0};
    EXPECT_FALSE(platform::FilePath::FromUtf16(unpaired).has_value());
    const auto none = platform::FilePath::FromUtf16(nullptr);
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->empty());
    EXPECT_TRUE(platform::FilePath(nullptr).empty());
    EXPECT_EQ(platform::FilePath("a.docx").text(), "a.docx");
}

// A long text converts in pieces; characters on the seams convert as they would whole.
TEST(AnsiOf, PiecesOfALongTextConvertAsTheWholeDoes) {
    for (const char* unit : {u8"é", u8"销", u8"😀", "a", u8"aé"}) {
        std::string text;
        while (text.size() < 200 * 1024) {
            text += unit;
        }
        EXPECT_EQ(AnsiOf(text), platform::Utf8ToProcessAnsi(text.c_str())) << unit;
    }
    EXPECT_EQ(AnsiOf(""), "");
}

// In a code page where characters grow (EUC-JP writes "©" in three bytes), the converted text
// outgrows the UTF-8 it replaces and goes on in a text of its own, piece by piece: the same
// bytes as one conversion of the whole, with no copy of the rest per piece.
TEST(AnsiOf, ATextThatGrowsInTheCodePageConvertsAsTheWholeDoes) {
    const ScopedCodePage page("EUC-JP");
    if (!page.active()) {
        GTEST_SKIP() << "no EUC-JP code page here";
    }
    std::string text;
    while (text.size() < 8u << 20) {
        text += u8"a©¦b";
    }
    const std::string whole = platform::Utf8ToProcessAnsi(text.c_str());
    EXPECT_GT(whole.size(), text.size());
    EXPECT_TRUE(AnsiOf(text) == whole);
}

TEST(HostBufferW, CutsBeforeAPairAndTerminates) {
    const std::string text = u8"a😀b";  // a, high, low, b in UTF-16
    struct Case {
        int64_t limit;
        std::u16string expected;
    };
    const Case cases[] = {{0, u""}, {1, u"a"}, {2, u"a"}, {3, u"a😀"}, {4, u"a😀b"}, {100, u"a😀b"}};
    for (const Case& c : cases) {
        // One byte in, so that the units land unaligned, as a host's buffer may be.
        std::vector<unsigned char> buffer(64, 0xCC);
        const size_t copied = CopyToHostBufferW(buffer.data() + 1, text, c.limit).units;
        EXPECT_EQ(copied, c.expected.size()) << c.limit;
        std::u16string got(c.expected.size(), u'\0');
        std::memcpy(got.data(), buffer.data() + 1, got.size() * 2);
        EXPECT_EQ(got, c.expected) << c.limit;
        const size_t end = 1 + c.expected.size() * 2;
        EXPECT_EQ(buffer[end], 0);
        EXPECT_EQ(buffer[end + 1], 0);
        EXPECT_EQ(buffer[end + 2], 0xCC);
        EXPECT_EQ(buffer[0], 0xCC);
    }
    std::vector<unsigned char> untouched(8, 0xCC);
    EXPECT_EQ(CopyToHostBufferW(untouched.data(), text, -1).units, 0u);
    EXPECT_EQ(untouched, std::vector<unsigned char>(8, 0xCC));
    // From the second half of a pair on: that half alone, then whole characters.
    std::vector<unsigned char> buffer(16, 0xCC);
    EXPECT_EQ(CopyToHostBufferW(buffer.data(), u8"😀b", 2, true).units, 2u);
    std::u16string got(2, u'\0');
    std::memcpy(got.data(), buffer.data(), 4);
    EXPECT_EQ(got, std::u16string(u"😀b").substr(1));
}

// ASCII runs of every length up to a few words, between characters of two, three and four
// bytes: the runs are copied eight bytes at a time, the rest decoded.
std::string MixedText() {
    const char* const others[] = {u8"é", u8"€", u8"😀"};
    std::string text;
    for (int run = 0; run < 40; ++run) {
        text += std::string(static_cast<size_t>(run), static_cast<char>('a' + run % 26));
        text += others[run % 3];
    }
    return text;
}

// The process-wide position counts UTF-16 units for a UTF-16 transfer, and moves by what was
// handed over.
TEST(FullTextTransferW, PagesWholeCharactersAndMovesByWhatWasHandedOver) {
    for (const std::string& utf8 : {std::string(u8"ab😀c😀😀d"), MixedText()}) {
        const std::u16string text = Utf8ToUtf16(utf8);
        for (const int32_t size : {6, 7, 8, 9, 10, 11, 12, 13, 17, 20, 64, 2048}) {
            FullTextTransfer transfer;
            const auto build = [&] {
                FullTextTransfer::Built built;
                built.text = utf8;
                return built;
            };
            std::u16string whole;
            for (int32_t unit = 0;; ++unit) {
                std::vector<unsigned char> buffer(static_cast<size_t>(size), 0xCC);
                const int32_t result = transfer.Step(TextForm::Utf16, unit, std::nullopt, 44,
                                                     buffer.data(), size, build);
                if (result == -3) {
                    break;
                }
                ASSERT_EQ(result, 12);
                std::u16string piece;
                for (size_t i = 0; i + 1 < buffer.size(); i += 2) {
                    char16_t c = 0;
                    std::memcpy(&c, buffer.data() + i, 2);
                    if (c == 0)
                        break;
                    piece.push_back(c);
                }
                EXPECT_LE(piece.size(), static_cast<size_t>(size / 2 - 1));
                whole += piece;
                ASSERT_LT(unit, 1000);
            }
            EXPECT_EQ(whole, text) << size;
        }
    }
}

// The one offset moves by bytes in an ANSI transfer: a UTF-16 transfer that goes on from it may
// start inside a pair, and then hands over the pair's second half first, as the whole UTF-16
// text cut there would.
TEST(FullTextTransferW, AnOffsetInsideAPairStartsWithItsSecondHalf) {
    FullTextTransfer transfer;
    std::vector<unsigned char> buffer(16, 0xCC);
    const auto ansi = [] { return FullTextTransfer::Built{"xyz", std::nullopt}; };
    ASSERT_EQ(transfer.Step(TextForm::Ansi, 0, std::nullopt, 44, buffer.data(), 2, ansi), 9);
    const auto wide = [] { return FullTextTransfer::Built{u8"😀ab", std::nullopt}; };
    ASSERT_EQ(transfer.Step(TextForm::Utf16, 1, std::nullopt, 44, buffer.data(), 16, wide), 12);
    std::u16string piece(3, u'\0');
    std::memcpy(piece.data(), buffer.data(), 6);
    EXPECT_EQ(piece, std::u16string(u"😀ab").substr(1));
    EXPECT_EQ(buffer[6] | buffer[7], 0);
}

TEST(FullTextTransferW, AStoppedBuildAnswersEmptyAndKeepsNothing) {
    FullTextTransfer transfer;
    const auto stopped = [] {
        FullTextTransfer::Built built;
        built.stopped = true;
        return built;
    };
    std::vector<unsigned char> buffer(16, 0xCC);
    EXPECT_EQ(transfer.Step(TextForm::Utf16, 0, std::nullopt, 44, buffer.data(), 16, stopped), -3);
    EXPECT_EQ(transfer.Step(TextForm::Ansi, 0, std::nullopt, 44, buffer.data(), 16, stopped), -3);
    EXPECT_EQ(transfer.Step(TextForm::Ansi, 1, std::nullopt, 44, buffer.data(), 16, stopped), -3);
    EXPECT_EQ(buffer, std::vector<unsigned char>(16, 0xCC));
}

TEST(BoundedText, ALimitNeverCutsACharacter) {
    BoundedText text(5);
    text.Append(u8"abcé");  // five bytes: fits
    EXPECT_TRUE(text.full());
    BoundedText cut(5);
    cut.Append(u8"abc😀x");
    EXPECT_TRUE(cut.full());
    cut.Append("y");
    EXPECT_EQ(cut.TakeOrSpace(), "abc");
}

TEST(ActiveBuilds, AStopReachesTheBuildsOfItsFileOnly) {
    ActiveBuilds builds;
    const ActiveBuilds::Registration report(builds, "/docs/report.docx");
    const ActiveBuilds::Registration again(builds, "/docs/report.docx");
    const ActiveBuilds::Registration other(builds, "/docs/other.docx");
    builds.Stop("/docs/missing.docx");
    builds.Stop("/docs/report.doc");
    EXPECT_FALSE(report.signal().requested());
    EXPECT_FALSE(other.signal().requested());
    builds.Stop("/docs/report.docx");
    EXPECT_TRUE(report.signal().requested());
    EXPECT_TRUE(again.signal().requested());
    EXPECT_FALSE(other.signal().requested());
    {
        const ActiveBuilds::Registration later(builds, "/docs/report.docx");
        EXPECT_FALSE(later.signal().requested());  // a stop is for the builds of its time
    }
}

TEST(ActiveBuilds, StoppedReadersEndAtTheirNextElement) {
    StopSignal stop;
    BoundedText text(&stop);
    EXPECT_FALSE(text.stopped());
    stop.Request();
    EXPECT_TRUE(text.stopped());
    EXPECT_FALSE(BoundedText().stopped());
}

}  // namespace
}  // namespace quillet
