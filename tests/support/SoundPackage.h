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
// A package of the parts, deflated or stored, in the order of their names.
PackageBuilder PackageOf(const std::map<std::string, std::string>& parts, bool deflated = true);

}  // namespace quillet::test
