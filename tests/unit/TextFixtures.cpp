#include "unit/TextFixtures.h"

#include "ArchiveFixture.h"
#include "support/TempFile.h"
#include "text/DocumentText.h"

namespace quillet::test {

std::string ContentOf(const PackageBuilder& package) {
    const TempFile file(package.Build(), ".pkg");
    const auto archive = OpenArchiveFile(file.path().c_str());
    DocumentText text(archive.get());
    text.BuildContent();
    return text.contentText;
}

std::string TitlesOf(const PackageBuilder& package) {
    const TempFile file(package.Build(), ".pkg");
    const auto archive = OpenArchiveFile(file.path().c_str());
    DocumentText text(archive.get());
    text.BuildTitles();
    return text.titlesText;
}

std::string WordDocument(const std::string& bodyChildren) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
           "<w:body>" +
           bodyChildren + "</w:body></w:document>";
}

std::string Worksheet(const std::string& rows) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<worksheet xmlns=\"x\"><dimension/>"
           "<sheetData>" +
           rows + "</sheetData></worksheet>";
}

std::string SharedStrings(const std::string& uniqueCount, const std::string& items) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sst xmlns=\"x\" uniqueCount=\"" +
           uniqueCount + "\">" + items + "</sst>";
}

std::string Slide(const std::string& shapeTreeChildren) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<p:sld xmlns:a=\"a\" xmlns:p=\"p\">"
           "<p:cSld><p:spTree>" +
           shapeTreeChildren + "</p:spTree></p:cSld></p:sld>";
}

std::string ExtendedProperties(const std::string& children) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Properties xmlns:vt=\"v\">" + children +
           "</Properties>";
}

}  // namespace quillet::test
