#include "props/CoreProperties.h"

#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "props/TextConversion.h"
#include "props/XmlPart.h"

namespace quillet {
namespace {

// The property's text in ANSI, looked up in an already parsed part.
std::string CoreElementText(const TiXmlDocument& document, const char* elementName) {
    const TiXmlElement* root = document.FirstChildElement("cp:coreProperties");
    const TiXmlElement* property = root != nullptr ? root->FirstChildElement(elementName) : nullptr;
    const char* text = property != nullptr ? property->GetText() : nullptr;
    return text != nullptr ? Utf8ToAnsi(text) : std::string();
}

}  // namespace

std::string ReadCoreElement(const std::string& partText, const char* elementName) {
    TiXmlDocument document;
    if (!ParseXmlPart(document, partText)) {
        return std::string();
    }
    return CoreElementText(document, elementName);
}

void CoreProperties::Load() {
    if (const auto archive = ZipArchive::Open(fileName)) {
        Load(*archive);
    }
}

void CoreProperties::Load(ZipArchive& archive) {
    const auto partText = ReadPartText(archive, "docProps/core.xml");
    TiXmlDocument document;
    if (!partText || !ParseXmlPart(document, *partText)) {
        return;
    }
    // One parse serves every lookup: each would parse the same text to the same tree.
    category = CoreElementText(document, "cp:category");
    contentStatus = CoreElementText(document, "cp:contentStatus");
    contentType = CoreElementText(document, "cp:contentType");
    created = CoreElementText(document, "dcterms:created");
    creator = CoreElementText(document, "dc:creator");
    description = CoreElementText(document, "dc:description");
    identifier = CoreElementText(document, "dc:identifier");
    keywords = CoreElementText(document, "cp:keywords");
    language = CoreElementText(document, "dc:language");
    lastModifiedBy = CoreElementText(document, "cp:lastModifiedBy");
    lastPrinted = CoreElementText(document, "cp:lastPrinted");
    modified = CoreElementText(document, "dcterms:modified");
    revision = CoreElementText(document, "cp:revision");
    subject = CoreElementText(document, "dc:subject");
    title = CoreElementText(document, "dc:title");
    version = CoreElementText(document, "cp:version");
}

}  // namespace quillet
