#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "text/BoundedText.h"
#include "text/DocumentText.h"
#include "xml/TextConversion.h"
#include "xml/XmlPart.h"

namespace quillet {
namespace {

// Text is taken exactly three levels below the body: block, run, text. Deeper text (tables,
// hyperlinks, content controls) is not visited.
void AppendBlockText(const TiXmlElement& block, BoundedText& result) {
    bool hasContent = false;
    for (const TiXmlElement* run = block.FirstChildElement(); run != nullptr;
         run = run->NextSiblingElement()) {
        if (run->FirstChildElement() != nullptr) {
            hasContent = true;
        }
        for (const TiXmlElement* element = run->FirstChildElement(); element != nullptr;
             element = element->NextSiblingElement()) {
            if (std::string_view(element->Value()) != "w:t") {
                continue;
            }
            const char* text = FirstChildText(*element);
            result.Append(text != nullptr ? WellFormedText(text) : std::string(" "));
            result.Append('\t');
        }
    }
    if (hasContent) {
        result.Append('\n');
    }
}

void AppendWordBody(const std::string& partText, BoundedText& result) {
    TiXmlDocument document;
    if (!ParseXmlPart(document, partText)) {
        return;
    }
    const TiXmlElement* root = document.FirstChildElement("w:document");
    const TiXmlElement* body = root != nullptr ? root->FirstChildElement("w:body") : nullptr;
    if (body == nullptr) {
        return;
    }
    for (const TiXmlElement* block = body->FirstChildElement();
         block != nullptr && !result.full() && !result.stopped();
         block = block->NextSiblingElement()) {
        AppendBlockText(*block, result);
    }
}

}  // namespace

std::string DocumentText::ReadWordText() {
    BoundedText result(stop_);
    if (archive_ != nullptr) {
        if (const auto partText = ReadPartText(*archive_, "word/document.xml")) {
            AppendWordBody(*partText, result);
        }
    }
    return result.TakeOrSpace();
}

}  // namespace quillet
