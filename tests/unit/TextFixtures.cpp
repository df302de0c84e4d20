#include "unit/TextFixtures.h"

#include "props/PropertyRecords.h"
#include "support/TempFile.h"
#include "text/DocumentText.h"
#include "unit/ArchiveFixture.h"

namespace quillet::test {
namespace {

// The package's text as a request builds it, its property records read first.
std::string TextOf(const PackageBuilder& package, bool titles) {
    const TempFile file(package.Build(), ".pkg");
    const auto archive = OpenArchiveFile(file.path().c_str());
    PropertyRecords records;
    records.Load(archive.get());
    DocumentText text(archive.get(), records.app);
    if (titles) {
        text.BuildTitles();
        return text.titlesText;
    }
    text.BuildContent();
    return text.contentText;
}

}  // namespace

std::string ContentOf(const PackageBuilder& package) {
    return TextOf(package, false);
}

std::string TitlesOf(const PackageBuilder& package) {
    return TextOf(package, true);
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
