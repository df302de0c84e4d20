#pragma once

#include "package/PartSource.h"
#include "text/BoundedText.h"
#include "text/SharedStringTable.h"
#include "text/StopSignal.h"

namespace quillet {

// The readers of the parts that grow with the document, each reading its part as it streams by.
// What a part gives is kept only when the part parses, or when reading it had to stop early
// (then it gives what came before).

// The text of a document body part: the blocks of "w:body".
void AppendWordBody(PartSource& part, BoundedText& result);

// The items of a shared-string table part; false, leaving the table empty, when the part gives
// no table. A stop ends the reading at the next item.
bool ReadSharedStringTable(PartSource& part, SharedStringTable& table,
                           const StopSignal* stop = nullptr);

// The rows of a worksheet part ("sheetData"); `table` is null when the workbook has none.
void AppendSheetRows(PartSource& part, const SharedStringTable* table, BoundedText& result);

// The text of a slide part: the shapes of its shape tree.
void AppendSlide(PartSource& part, BoundedText& result);

}  // namespace quillet
