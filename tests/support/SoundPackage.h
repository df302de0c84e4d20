#pragma once

#include <map>
#include <string>

#include "support/PackageBuilder.h"

namespace quillet::test {

// The marker parts that make a package a document, a workbook or a presentation.
constexpr const char* WordMarker = "word/document.xml";
constexpr const char* WorkbookMarker = "xl/workbook.xml";
constexpr const char* PresentationMarker = "ppt/presentation.xml";

// The parts of a small sound package of the kind `marker` names, by part name: core and
// extended properties and a body, a workbook of one sheet with shared strings, or one slide.
std::map<std::string, std::string> SoundParts(const std::string& marker);
// `text`, a part named `partName` as these tests write it (prefixes w:, a:, p:, r:, workbook
// parts unprefixed), with those namespaces declared on its first element: the readers of "Text"
// match names by namespace, those of "Content" by prefix.
std::string Declared(const std::string& partName, const std::string& text);

// `parts` of the kind `marker` names, made such that "Text" reads them too: the namespaces
// declared in the parts under word/, xl/ and ppt/, and a workbook's `listed` sheets
// (xl/worksheets/sheetN.xml) and shared strings, or a presentation's `listed` slides
// (ppt/slides/slideN.xml), named in its list and its relationships (none when `listed` is 0:
// the parts list them).
std::map<std::string, std::string> ReadByText(std::map<std::string, std::string> parts,
                                              const std::string& marker, int listed = 1);

// A package of the parts, deflated or stored, in the order of their names.
PackageBuilder PackageOf(const std::map<std::string, std::string>& parts, bool deflated = true);

}  // namespace quillet::test
