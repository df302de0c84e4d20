#pragma once

#include <string>

#include "text/BoundedText.h"
#include "text/SharedStringTable.h"

namespace quillet::test {

// The readers as they were before they streamed: the part's text parsed into one TinyXML tree,
// and its children walked as the streamed readers walk each child. They are the reference every
// streamed reading must equal.
void WholeTreeWordBody(const std::string& partText, BoundedText& result);
bool WholeTreeSharedStrings(const std::string& partText, SharedStringTable& table);
void WholeTreeSheetRows(const std::string& partText, const SharedStringTable* table,
                        BoundedText& result);

// A table loaded or not, as one text: equal texts mean equal tables.
std::string DescribeTable(bool loaded, const SharedStringTable& table);

// A table of two items that declares three, for sheets that refer to items held, not held and
// not declared.
SharedStringTable SheetTestTable();

}  // namespace quillet::test
