#pragma once

#include <memory>

#include "package/PartSource.h"
#include "text/BoundedText.h"
#include "text/SharedStringTable.h"
#include "text/StopSignal.h"
#include "text/TextPartReader.h"

namespace quillet {

// The readers of "Text", one for each kind of part, each reading its part as it streams by with
// the white space it holds. What a part gives stands when the part parses, or up to its last
// unit read whole when a bound cut it; a part that does not parse gives nothing.

// A part of a word-processing document that holds paragraphs: the body, a header or footer, the
// footnotes, the endnotes, the comments.
void AppendWordPartText(PartSource& part, BoundedText& result);

// A shared-string table with each item whole: the texts of all its runs, phonetic runs left
// out. False, leaving the table empty, when the part gives no item.
bool ReadRichSharedStrings(PartSource& part, SharedStringTable& table,
                           const StopSignal* stop = nullptr);

// A worksheet's rows: each cell's value (the shared or inline string whole, a formula's cached
// value, a boolean as TRUE or FALSE) and a TAB, a line feed after a row with cells. `table` is null
// when there is none.
void AppendSheetCellText(PartSource& part, const SharedStringTable* table, BoundedText& result);

// A sheet's comments part: each comment's text on a line.
void AppendCellCommentText(PartSource& part, BoundedText& result);

// A slide: every paragraph of its shapes, groups, tables and frames.
void AppendSlideText(PartSource& part, BoundedText& result);

// A notes slide: the paragraphs of its body placeholder.
void AppendNotesText(PartSource& part, BoundedText& result);

// The readers behind the functions above, for a reading of a part other than streamed: the
// tests walk a tree parsed whole through them, and the two readings must give the same text.
std::unique_ptr<TextPartReader> WordPartReader(BoundedText& result);
std::unique_ptr<TextPartReader> RichSharedItemsReader(SharedStringTable& table,
                                                      const StopSignal* stop = nullptr);
std::unique_ptr<TextPartReader> SheetCellReader(const SharedStringTable* table,
                                                BoundedText& result);
std::unique_ptr<TextPartReader> CellCommentReader(BoundedText& result);
std::unique_ptr<TextPartReader> SlideReader(BoundedText& result, bool notes);

}  // namespace quillet
