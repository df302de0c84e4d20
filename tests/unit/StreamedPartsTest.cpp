// Streamed parts as a request reads them: from the package, within the request's budget, and
// within the window's bound on one node.
#include <gtest/gtest.h>

#include <string>

#include "package/MemberSource.h"
#include "support/PackageBuilder.h"
#include "support/StringSource.h"
#include "text/StreamedReaders.h"
#include "unit/ArchiveFixture.h"
#include "xml/XmlWindow.h"

namespace quillet {
namespace {

using test::PackageBuilder;
using StreamedParts = ArchiveFixture;

std::string Rows(int count) {
    std::string rows;
    for (int i = 0; i < count; ++i) {
        rows += "<row><c><v>" + std::to_string(i % 10) + "</v></c></row>";
    }
    return rows;
}

std::string SheetOf(const std::string& rows) {
    return "<worksheet><sheetData>" + rows + "</sheetData></worksheet>";
}

std::string Expected(int rows) {
    std::string text;
    for (int i = 0; i < rows; ++i) {
        text += std::to_string(i % 10) + "\t\n";
    }
    return text;
}

std::string SheetText(PartSource& source) {
    BoundedText text;
    AppendSheetRows(source, nullptr, text);
    return text.TakeOrSpace();
}

TEST_F(StreamedParts, ReadStoredAndDeflatedMembersAlike) {
    const std::string sheet = SheetOf(Rows(30000));
    ZipArchive& archive =
        Open(PackageBuilder().AddStored("a.xml", sheet).AddDeflated("b.xml", sheet));
    for (const char* name : {"a.xml", "B.XML"}) {
        SCOPED_TRACE(name);
        MemberSource source(archive, name);
        EXPECT_EQ(SheetText(source), Expected(30000));
        EXPECT_TRUE(source.status().ok());
    }
    EXPECT_EQ(archive.budget().inflatedLeft(), RequestBudget::MaxInflatedBytes - 2 * sheet.size());
}

TEST_F(StreamedParts, GiveNothingForMissingEmptyOrDamagedMembers) {
    const std::string sheet = SheetOf(Rows(5000));
    PackageBuilder package;
    package.AddStored("empty.xml", "");
    test::MemberOptions damaged;
    damaged.name = "damaged.xml";
    damaged.data = sheet;
    damaged.method = 8;
    // A deflate stream that breaks off halfway: what it delivers is not the data its CRC-32
    // was made of.
    const std::string good = test::Deflate(sheet);
    damaged.rawData = good.substr(0, good.size() / 2) + std::string(64, '\xFF');
    package.Add(damaged);
    ZipArchive& archive = Open(package);
    for (const auto& [name, end] :
         {std::pair<const char*, Status::Code>{"missing.xml", Status::Code::Unreadable},
          {"empty.xml", Status::Code::Unreadable},
          {"damaged.xml", Status::Code::Unreadable}}) {
        SCOPED_TRACE(name);
        MemberSource source(archive, name);
        EXPECT_EQ(SheetText(source), " ");
        // An empty member's one read answers nothing, as a member that fails.
        EXPECT_EQ(source.status().code(), end);
    }
}

TEST_F(StreamedParts, ASpentBudgetCutsThePartAfterItsLastWholeRow) {
    const std::string sheet = SheetOf(Rows(20000));
    ZipArchive& archive = Open(PackageBuilder().AddDeflated("xl/worksheets/sheet1.xml", sheet));
    // Earlier parts of the request took all but 100000 bytes.
    ASSERT_TRUE(archive.budget().TakeInflated(RequestBudget::MaxInflatedBytes - 100000));
    MemberSource source(archive, "xl/worksheets/sheet1.xml");
    const std::string text = SheetText(source);
    EXPECT_EQ(source.status().code(), Status::Code::Cut);
    EXPECT_EQ(archive.budget().inflatedLeft(), 0u);
    // Each row is 26 bytes after the 22 that open the sheet. The rows wholly inside the budget
    // are given, but for the last few: the reader looks a few bytes past a row before it takes
    // the next, and the cut comes first.
    const int whole = (100000 - 22) / 26;
    const int given = static_cast<int>(text.size() / 3);
    EXPECT_LE(given, whole);
    EXPECT_GE(given, whole - 3);
    EXPECT_TRUE(text == Expected(given));
}

// Rows all alike, far apart in white space, deflate about 750 times: past the grace, the piece
// that takes the request beyond RequestBudget::MaxInflationRatio ends the part, the rows before
// it kept.
TEST_F(StreamedParts, AnInflationFarBeyondWhatThePackageHoldsCutsThePart) {
    // Comments, not white space: white space costs nothing to read and does not count.
    const std::string row = "<row><c><v>7</v></c></row><!--" + std::string(4000, 'x') + "-->";
    std::string rows;
    for (int i = 0; i < 2500; ++i) {
        rows += row;
    }
    const std::string sheet = SheetOf(rows);
    ASSERT_GT(sheet.size(), RequestBudget::MaxInflationRatio * test::Deflate(sheet).size());
    ZipArchive& archive = Open(PackageBuilder().AddDeflated("deflated.xml", sheet));
    MemberSource deflated(archive, "deflated.xml");
    const std::string text = SheetText(deflated);
    EXPECT_EQ(deflated.status().code(), Status::Code::Cut);
    const size_t given = text.size() / 3;
    EXPECT_GE(given * row.size(), RequestBudget::InflationGraceBytes - row.size());
    EXPECT_LE(given * row.size(), RequestBudget::InflationGraceBytes + 2 * XmlWindow::PieceBytes);
    EXPECT_LT(given, 2500u);
    std::string expected;
    for (size_t i = 0; i < given; ++i) {
        expected += "7\t\n";
    }
    EXPECT_TRUE(text == expected);
    EXPECT_FALSE(archive.metPassingFailure());
}

TEST(StreamedPartsWindow, ANodeLargerThanTheWindowEndsTheReading) {
    // One row with a value longer than the window holds, between two small rows.
    const std::string huge =
        "<row><c><v>" + std::string(XmlWindow::MaxBytes + 1024, '7') + "</v></c></row>";
    test::StringSource source(SheetOf(Rows(3) + huge + Rows(2)));
    EXPECT_EQ(SheetText(source), Expected(3));
}

TEST(StreamedPartsWindow, ANodeJustInsideTheWindowIsRead) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the same code as in the optimised build, whose run of it takes a second; "
                    "here parsing 64 MiB a few times would take many";
#endif
    const std::string value(XmlWindow::MaxBytes - 4096, '7');
    test::StringSource source(SheetOf("<row><c><v>" + value + "</v></c></row>" + Rows(1)));
    EXPECT_EQ(SheetText(source), value + "\t\n" + Expected(1));
}

}  // namespace
}  // namespace quillet
