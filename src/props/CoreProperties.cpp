#include "props/CoreProperties.h"

#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "props/FieldRows.h"
#include "xml/TextConversion.h"
#include "xml/XmlPart.h"

namespace quillet {
namespace {

// The property's text, looked up in an already parsed part.
std::string CoreElementText(const TiXmlDocument& document, const char* elementName) {
    const TiXmlElement* root = document.FirstChildElement("cp:coreProperties");
    const TiXmlElement* property = root != nullptr ? root->FirstChildElement(elementName) : nullptr;
    const char* text = property != nullptr ? property->GetText() : nullptr;
    return text != nullptr ? WellFormedText(text) : std::string();
}

}  // namespace


void CoreProperties::Load(ZipArchive& archive) {
    const auto partText = ReadPartText(archive, "docProps/core.xml", BoundedTreeFilter());
    TiXmlDocument document;
    if (!partText || !ParseXmlPart(document, *partText)) {
        return;
    }
    // One parse serves every lookup: each would parse the same text to the same tree.
    for (const FieldRow& row : FieldRows) {
        if (row.source == FieldSource::Core) {
            this->*row.coreText = CoreElementText(document, row.element);
        }
    }
}

}  // namespace quillet
