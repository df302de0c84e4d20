#include "props/AppProperties.h"

#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "props/FieldRows.h"
#include "props/ParseCount.h"
#include "xml/TextConversion.h"
#include "xml/XmlPart.h"

namespace quillet {
namespace {

std::string AppElementText(const TiXmlDocument& document, const char* elementName) {
    const TiXmlElement* root = document.FirstChildElement();
    const TiXmlNode* node = root != nullptr ? root->FirstChildElement(elementName) : nullptr;
    const TiXmlElement* element = node != nullptr ? node->ToElement() : nullptr;
    const char* text = element != nullptr ? element->GetText() : nullptr;
    return text != nullptr ? WellFormedText(text) : std::string();
}

std::string TitlesOfPartsSize(const TiXmlDocument& document) {
    const TiXmlElement* root = document.FirstChildElement();
    const TiXmlElement* titles =
        root != nullptr ? root->FirstChildElement("TitlesOfParts") : nullptr;
    const TiXmlElement* vector =
        titles != nullptr ? titles->FirstChildElement("vt:vector") : nullptr;
    const char* size = vector != nullptr ? vector->Attribute("size") : nullptr;
    return size != nullptr ? std::string(size) : std::string();
}

bool ParseFlag(const std::string& text) {
    return text == "true";
}

}  // namespace




void AppProperties::Load(ZipArchive& archive) {
    if (!archive.HasMember("docProps/app.xml")) {
        return;
    }
    // A part that is there but cannot be extracted reads as an empty text, so it answers like a
    // part that does not parse.
    const std::string partText =
        ReadPartText(archive, "docProps/app.xml", BoundedTreeFilter()).value_or("");
    TiXmlDocument document;
    const bool parsed = ParseXmlPart(document, partText);
    // Only the presence of the workbook part is tested: it tells that the titles are sheets.
    const bool workbook = archive.HasMember("xl/workbook.xml");
    for (const FieldRow& row : FieldRows) {
        if (row.source == FieldSource::App) {
            ReadMember(row, parsed ? &document : nullptr, workbook);
        }
    }
}

void AppProperties::ReadMember(const FieldRow& row, const TiXmlDocument* document, bool workbook) {
    const auto text = [&] {
        return document != nullptr ? AppElementText(*document, row.element) : std::string();
    };
    switch (row.rule) {
        case AppRule::Text:
            this->*row.appText = text();
            break;
        case AppRule::Count:
            this->*row.appCount = ParseCount(text());
            break;
        case AppRule::Flag:
            this->*row.appFlag = ParseFlag(text());
            break;
        case AppRule::ScaleOrCrop:
            this->*row.appText = ParseFlag(text()) ? "Scale" : "Crop";
            break;
        case AppRule::HasText:
            this->*row.appFlag = !text().empty();
            break;
        case AppRule::SheetCount:
            this->*row.appCount =
                workbook && document != nullptr ? ParseCount(TitlesOfPartsSize(*document)) : -1;
            break;
        case AppRule::None:
            break;
    }
}

}  // namespace quillet
