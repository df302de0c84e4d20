#pragma once

#include <string>

#include <tinyxml.h>

#include "text/BoundedText.h"
#include "text/SharedStringTable.h"

namespace quillet::test {

// The readers as they were before they streamed: the part's text parsed into one TinyXML tree and
// walked, a slide's elements printed back with TinyXML's printer. They are the reference every
// streamed reading must equal.
void WholeTreeWordBody(const std::string& partText, BoundedText& result);
bool WholeTreeSharedStrings(const std::string& partText, SharedStringTable& table);
void WholeTreeSheetRows(const std::string& partText, const SharedStringTable* table,
                        BoundedText& result);
void WholeTreeSlide(const std::string& partText, BoundedText& result);

// What the slide reader made of an element printed by TinyXML's printer: its tags dropped and
// control bytes as spaces (never empty: " " when nothing is left), and the printer's escapes
// decoded once, left to right.
std::string StripMarkup(const std::string& text);
std::string DecodePrinterEscapes(const std::string& text);

// A table loaded or not, as one text: equal texts mean equal tables.
std::string DescribeTable(bool loaded, const SharedStringTable& table);

// A table of two items that declares three, for sheets that refer to items held, not held and
// not declared.
SharedStringTable SheetTestTable();

}  // namespace quillet::test
