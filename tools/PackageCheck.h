#pragma once

#include <string>

namespace quillet::host {

// What a file holds, as far as the host must know before it asks the module: the module answers
// a damaged or foreign file (truncated, empty, text, a ZIP archive of something else) exactly
// as it answers an empty document, so the host looks for itself, with the module's own ZIP
// reader.
enum class PackageKind {
    CannotOpen,      // the system would not open the file
    NotReadable,     // no ZIP archive the reader opens, or one without a part the module reads
    Document,        // word/document.xml
    Workbook,        // xl/workbook.xml
    Presentation,    // ppt/presentation.xml
    PropertiesOnly,  // docProps/core.xml or docProps/app.xml, without a main part
};

PackageKind InspectPackage(const std::string& path);

// The extension a file of this kind goes by, for the module's detection string: "docx",
// "xlsx" or "pptx" (a package with properties only reads as any).
std::string ExtensionOf(PackageKind kind);

}  // namespace quillet::host
