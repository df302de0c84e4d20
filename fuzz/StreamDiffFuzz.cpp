// The streamed readers against the whole-tree readers, on arbitrary part texts arriving in
// pieces of arbitrary sizes: any difference in text or table is a finding. The readers of
// "Content" against the readers they replaced, those of "Text" against themselves walking the
// part parsed whole.
// Input: one byte choosing the reader, one choosing the piece size, then the part's bytes.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "oracle/WholeTreeReaders.h"
#include "oracle/WholeTreeText.h"
#include "support/StringSource.h"
#include "text/StreamedReaders.h"
#include "text/TextReaders.h"

namespace {

using quillet::BoundedText;
using quillet::SharedStringTable;
using quillet::TextPartReader;

void ExpectEqual(const std::string& streamed, const std::string& whole, const char* reader) {
    if (streamed != whole) {
        std::fprintf(stderr, "%s: streamed reading differs\nstreamed: [%s]\nwhole:    [%s]\n",
                     reader, streamed.c_str(), whole.c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const int reader = data[0] % 10;
    // 0 hands the bytes over in the readers' own pieces; else pieces of 1 to 31 bytes.
    const size_t piece = data[1] % 32;
    const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
    const std::string text = bytes.substr(0, bytes.find('\0'));
    quillet::test::StringSource source(
        bytes, piece == 0 ? std::vector<size_t>{} : std::vector<size_t>{piece});
    static const char* const names[] = {"body",       "sheet",      "sst",      "slide",
                                        "text word",  "text sheet", "text sst", "text comments",
                                        "text slide", "text notes"};
    if (reader == 2 || reader == 6) {
        SharedStringTable streamed;
        SharedStringTable whole;
        const bool streamedLoaded = reader == 2 ? quillet::ReadSharedStringTable(source, streamed)
                                                : quillet::ReadRichSharedStrings(source, streamed);
        const bool wholeLoaded = reader == 2
                                     ? quillet::test::WholeTreeSharedStrings(text, whole)
                                     : quillet::test::WholeTreeRichSharedStrings(text, whole);
        ExpectEqual(quillet::test::DescribeTable(streamedLoaded, streamed),
                    quillet::test::DescribeTable(wholeLoaded, whole), names[reader]);
        return 0;
    }
    const SharedStringTable table = quillet::test::SheetTestTable();
    BoundedText streamed;
    BoundedText whole;
    if (reader == 0) {
        quillet::AppendWordBody(source, streamed);
        quillet::test::WholeTreeWordBody(text, whole);
    } else if (reader == 3) {
        quillet::AppendSlide(source, streamed);
        quillet::test::WholeTreeSlide(text, whole);
    } else if (reader == 1) {
        quillet::AppendSheetRows(source, &table, streamed);
        quillet::test::WholeTreeSheetRows(text, &table, whole);
    } else {
        // The same kind of reader twice: one streams, the other walks the whole tree.
        const auto make = [&](BoundedText& result) -> std::unique_ptr<TextPartReader> {
            switch (reader) {
                case 4:
                    return quillet::WordPartReader(result);
                case 5:
                    return quillet::SheetCellReader(&table, result);
                case 7:
                    return quillet::CellCommentReader(result);
                default:
                    return quillet::SlideReader(result, reader == 9);
            }
        };
        quillet::AppendReadPart(source, *make(streamed), streamed);
        quillet::test::WholeTreeText(text, *make(whole), whole);
    }
    ExpectEqual(streamed.TakeOrSpace(), whole.TakeOrSpace(), names[reader]);
    return 0;
}
