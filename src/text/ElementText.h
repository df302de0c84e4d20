#pragma once

#include <string>

#include <tinyxml.h>

#include "text/BoundedText.h"
#include "text/SharedStringTable.h"

namespace quillet {

// What one child element of a streamed part gives, walked the same way whichever way it was
// parsed.

// A block of "w:body": the texts three levels below the body (block, run, text), each followed
// by a TAB, and a line feed when a run holds anything. Deeper text (tables, hyperlinks, content
// controls) is not visited.
void AppendBlockText(const TiXmlElement& block, BoundedText& result);

// A row of "sheetData": each cell's datum followed by a TAB, and a line feed when the row has
// cells; `table` is null when the workbook has no shared strings.
void AppendRowText(const TiXmlElement& row, const SharedStringTable* table, BoundedText& result);

// The string an item of "sst" holds: rich text and empty items give an empty entry.
std::string SharedItemText(const TiXmlElement& item);

}  // namespace quillet
