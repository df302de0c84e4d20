#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "props/TextConversion.h"
#include "props/XmlPart.h"
#include "text/DocumentText.h"

namespace quillet {
namespace {

std::optional<std::string> ReadExtendedPropertiesPart(const char* fileName) {
    // The archive is closed before the part is parsed.
    const auto archive = ZipArchive::Open(fileName);
    return archive ? ReadPartText(*archive, "docProps/app.xml") : std::nullopt;
}

}  // namespace

void DocumentText::BuildTitles() {
    std::string titles;
    const auto partText = ReadExtendedPropertiesPart(fileName);
    TiXmlDocument document;
    if (partText && ParseXmlPart(document, *partText)) {
        const TiXmlElement* root = document.FirstChildElement("Properties");
        const TiXmlElement* parts =
            root != nullptr ? root->FirstChildElement("TitlesOfParts") : nullptr;
        const TiXmlElement* vector =
            parts != nullptr ? parts->FirstChildElement("vt:vector") : nullptr;
        for (const TiXmlElement* item = vector != nullptr ? vector->FirstChildElement() : nullptr;
             item != nullptr; item = item->NextSiblingElement()) {
            if (const char* text = FirstChildText(*item)) {
                titles += ' ';
                titles += Utf8ToAnsi(text);
            }
        }
    }
    titlesText = DecodeXmlEntities(titles);
}

}  // namespace quillet
