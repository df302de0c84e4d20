#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "props/TextConversion.h"
#include "props/XmlPart.h"
#include "text/DocumentText.h"

namespace quillet {
namespace {

// Text is taken exactly three levels below the body: block, run, text. Deeper text (tables,
// hyperlinks, content controls) is not visited.
void AppendBlockText(const TiXmlElement& block, std::string& result) {
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
            result += text != nullptr ? Utf8ToAnsi(text) : std::string(" ");
            result += '\t';
        }
    }
    if (hasContent) {
        result += '\n';
    }
}

std::string WordBodyText(const std::string& partText) {
    std::string result;
    TiXmlDocument document;
    if (!ParseXmlPart(document, partText)) {
        return result;
    }
    const TiXmlElement* root = document.FirstChildElement("w:document");
    const TiXmlElement* body = root != nullptr ? root->FirstChildElement("w:body") : nullptr;
    if (body == nullptr) {
        return result;
    }
    for (const TiXmlElement* block = body->FirstChildElement(); block != nullptr;
         block = block->NextSiblingElement()) {
        AppendBlockText(*block, result);
    }
    return result;
}

}  // namespace

std::string DocumentText::ReadWordText() const {
    std::string result;
    if (const auto archive = ZipArchive::Open(fileName)) {
        if (const auto partText = ReadPartText(*archive, "word/document.xml")) {
            result = WordBodyText(*partText);
        }
    }
    return result.empty() ? std::string(" ") : result;
}

}  // namespace quillet
