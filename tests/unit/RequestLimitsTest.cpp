// What one request may cost: inflated bytes over all its parts, the length of a full text, and
// the tree a part read whole may make.
#include <gtest/gtest.h>

#include <string>

#include "package/PartText.h"
#include "package/RequestBudget.h"
#include "support/PackageBuilder.h"
#include "text/BoundedText.h"
#include "text/DocumentText.h"
#include "text/SharedStringTable.h"
#include "unit/ArchiveFixture.h"
#include "unit/TextFixtures.h"
#include "xml/XmlPart.h"

namespace quillet {
namespace {

using test::PackageBuilder;
using PartPieces = ArchiveFixture;

TEST(RequestBudget, TakesWhatIsLeftAndRefusesMore) {
    RequestBudget budget;
    EXPECT_TRUE(budget.TakeInflated(RequestBudget::MaxInflatedBytes - 10));
    EXPECT_FALSE(budget.TakeInflated(11));
    EXPECT_EQ(budget.inflatedLeft(), 10u);  // a refusal takes nothing
    EXPECT_TRUE(budget.TakeInflated(10));
    EXPECT_FALSE(budget.TakeInflated(1));
    EXPECT_TRUE(budget.TakeInflated(0));
}

TEST(BoundedText, EndsAtItsLimitWhateverIsAppended) {
    BoundedText text(10);
    EXPECT_TRUE(text.empty());
    text.Append("0123");
    text.Append('4');
    EXPECT_FALSE(text.full());
    text.Append("56789abc");
    EXPECT_TRUE(text.full());
    text.Append("more");
    text.Append('x');
    EXPECT_EQ(text.TakeOrSpace(), "0123456789");
    EXPECT_EQ(BoundedText(10).TakeOrSpace(), " ");
}

// A part read a piece at a time is the part read whole: pieces join without gap, a NUL byte in
// a later piece still ends the text, and a damaged stream ends it where the damage starts.
TEST_F(PartPieces, PartReadInPiecesIsThePartReadWhole) {
    std::string big;
    for (int i = 0; big.size() < 300'000; ++i) {
        big += "<c r=\"" + std::to_string(i) + "\">" + std::to_string(i * 7) + "</c>";
    }
    std::string nulInSecondPiece = big;
    nulInSecondPiece[100'000] = '\0';
    PackageBuilder builder;
    builder.AddDeflated("big.xml", big).AddStored("stored.xml", big);
    builder.AddDeflated("nul.xml", nulInSecondPiece);
    ZipArchive& archive = Open(builder);
    EXPECT_EQ(ReadPartText(archive, "big.xml"), big);
    EXPECT_EQ(ReadPartText(archive, "stored.xml"), big);
    EXPECT_EQ(ReadPartText(archive, "nul.xml"), big.substr(0, 100'000));
}

// A filter sees the text piece by piece and may refuse it before the rest is read.
TEST_F(PartPieces, FilterRefusesAPartBeforeItIsReadWhole) {
    const std::string text(1'000'000, 'x');
    ZipArchive& archive = Open(PackageBuilder().AddDeflated("part.xml", text));
    size_t seen = 0;
    EXPECT_EQ(ReadPartText(archive, "part.xml",
                           [&](std::string_view piece) {
                               seen += piece.size();
                               return seen < 100'000;
                           }),
              std::nullopt);
    EXPECT_LT(seen, 200'000u);
    size_t whole = 0;
    EXPECT_EQ(ReadPartText(archive, "part.xml",
                           [&](std::string_view piece) {
                               whole += piece.size();
                               return true;
                           }),
              text);
    EXPECT_EQ(whole, text.size());
}

// Every part a request reads draws on one account: once it is spent, the next part is
// unreadable, however small.
TEST_F(PartPieces, PartsPastTheInflationBudgetAreUnreadable) {
    const std::string part(1 << 20, 'p');
    PackageBuilder builder;
    builder.AddDeflated("a.xml", part).AddDeflated("b.xml", "small");
    ZipArchive& archive = Open(builder);
    ASSERT_TRUE(archive.budget().TakeInflated(RequestBudget::MaxInflatedBytes - part.size()));
    EXPECT_EQ(ReadPartText(archive, "a.xml"), part);
    EXPECT_EQ(ReadPartText(archive, "b.xml"), std::nullopt);
}

TEST(TreeBytesBound, CountsEveryNodeStartAndAttribute) {
    EXPECT_EQ(TreeBytesBound(""), 0u);
    EXPECT_EQ(TreeBytesBound("<a b='1'/>"), 352u + 128u + 10u);
    const auto filter = BoundedTreeFilter();
    std::string piece;
    for (int i = 0; i < 10'000; ++i)
        piece += "<a/>";
    uint64_t fed = 0;
    bool kept = true;
    while (kept && fed <= MaxBoundedTreeBytes) {
        kept = filter(piece);
        fed += TreeBytesBound(piece);
    }
    EXPECT_FALSE(kept);
    EXPECT_GT(fed, MaxBoundedTreeBytes);
    EXPECT_LT(fed, MaxBoundedTreeBytes + TreeBytesBound(piece) + 1);
}

// Properties read through the filter: a flood of elements is refused before it is read whole,
// a real part is read as it is.
TEST_F(PartPieces, BoundedPartsRefuseTreesTooLargeButReadRealOnes) {
    std::string flood = "<cp:coreProperties><dc:title>T</dc:title>";
    for (int i = 0; i < 100'000; ++i)
        flood += "<a/>";
    flood += "</cp:coreProperties>";
    const std::string real = test::ExtendedProperties("<Pages>3</Pages>");
    ZipArchive& archive =
        Open(PackageBuilder().AddDeflated("flood.xml", flood).AddDeflated("real.xml", real));
    EXPECT_EQ(ReadPartText(archive, "flood.xml", BoundedTreeFilter()), std::nullopt);
    EXPECT_EQ(ReadPartText(archive, "flood.xml"), flood);
    EXPECT_EQ(ReadPartText(archive, "real.xml", BoundedTreeFilter()), real);
}

// A shared string referenced by every cell counts each time: the text ends at its limit, and
// the rest of the workbook is not read for nothing.
TEST(BoundedText, WorkbookTextEndsAtTheFullTextLimit) {
    const std::string big(1 << 20, 'S');
    std::string row = "<row>";
    for (int i = 0; i < 100; ++i)
        row += "<c t=\"s\"><v>0</v></c>";
    row += "</row>";
    std::string rows;
    for (int i = 0; i < 1000; ++i)
        rows += row;
    PackageBuilder package;
    package.AddDeflated("xl/workbook.xml", "<workbook/>");
    package.AddDeflated("docProps/app.xml",
                        test::ExtendedProperties("<TitlesOfParts><vt:vector size=\"1\">"
                                                 "<vt:lpstr>S</vt:lpstr></vt:vector>"
                                                 "</TitlesOfParts>"));
    package.AddDeflated("xl/sharedStrings.xml",
                        test::SharedStrings("1", "<si><t>" + big + "</t></si>"));
    package.AddDeflated("xl/worksheets/sheet1.xml", test::Worksheet(rows));
    const std::string text = test::ContentOf(package);
    // The table and the text made of it share the bound.
    ASSERT_EQ(text.size(),
              RequestBudget::MaxFullTextBytes - big.size() - SharedStringTable::BytesPerItem);
    EXPECT_EQ(text.substr(0, 4), "SSSS");
    EXPECT_EQ(text.substr(big.size(), 2), "\tS");
}

}  // namespace
}  // namespace quillet
