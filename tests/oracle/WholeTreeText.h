#pragma once

#include <string>

#include "text/BoundedText.h"
#include "text/SharedStringTable.h"
#include "text/TextPartReader.h"

namespace quillet::test {

// A reader of "Text" over its part parsed whole, with the white space kept as the streamed
// reading keeps it, the tree walked in document order: what the streamed reading of the same
// part must give. A part that does not parse gives nothing; a reader that stops, nothing.
void WholeTreeText(const std::string& partText, TextPartReader& reader, BoundedText& result);

// The same for the shared-string table: false, leaving it empty, when it gives no item.
bool WholeTreeRichSharedStrings(const std::string& partText, SharedStringTable& table);

}  // namespace quillet::test
