#include "package/PartText.h"
#include "text/BoundedText.h"
#include "text/DocumentText.h"
#include "xml/TextConversion.h"
#include "xml/XmlPart.h"

namespace quillet {

void DocumentText::BuildTitles() {
    BoundedText titles(stop_);
    const auto partText = archive_ != nullptr
                              ? ReadPartText(*archive_, "docProps/app.xml", BoundedTreeFilter())
                              : std::nullopt;
    TiXmlDocument document;
    if (partText && ParseXmlPart(document, *partText)) {
        const TiXmlElement* root = document.FirstChildElement("Properties");
        const TiXmlElement* parts =
            root != nullptr ? root->FirstChildElement("TitlesOfParts") : nullptr;
        const TiXmlElement* vector =
            parts != nullptr ? parts->FirstChildElement("vt:vector") : nullptr;
        for (const TiXmlElement* item = vector != nullptr ? vector->FirstChildElement() : nullptr;
             item != nullptr && !titles.full() && !titles.stopped();
             item = item->NextSiblingElement()) {
            if (const char* text = FirstChildText(*item)) {
                titles.Append(' ');
                titles.Append(WellFormedText(text));
            }
        }
    }
    // Decoding only shortens the text, so it stays within the limit.
    titlesText = titles.empty() ? std::string() : DecodeXmlEntities(titles.TakeOrSpace());
}

}  // namespace quillet
