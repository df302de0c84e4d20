#pragma once

#include <string>

#include "text/BoundedText.h"
#include "text/SharedStringTable.h"

namespace quillet::test {

// The readers as they were before they streamed: the part's text parsed into one TinyXML tree
// and walked. They are the reference every streamed reading must equal.
void WholeTreeWordBody(const std::string& partText, BoundedText& result);
bool WholeTreeSharedStrings(const std::string& partText, SharedStringTable& table);
void WholeTreeSheetRows(const std::string& partText, const SharedStringTable* table,
                        BoundedText& result);

}  // namespace quillet::test
