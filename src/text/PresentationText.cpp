#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "props/AppProperties.h"
#include "props/TextConversion.h"
#include "props/XmlPart.h"
#include "text/DocumentText.h"
#include "text/NumberedParts.h"
#include "text/SlideMarkup.h"

namespace quillet {
namespace {

// The plain text of one element and everything inside it, through TinyXML's own printer.
std::string PlainTextOf(const TiXmlElement& element) {
    TiXmlPrinter printer;
    printer.SetIndent("");
    element.Accept(&printer);
    return DecodePrinterEscapes(StripMarkup(Utf8ToAnsi(printer.CStr())));
}

// Text is taken from the third level below the shape tree, at any depth inside it.
void AppendShapeTree(const TiXmlElement& shapeTree, std::string& result) {
    for (const TiXmlElement* shape = shapeTree.FirstChildElement(); shape != nullptr;
         shape = shape->NextSiblingElement()) {
        for (const TiXmlElement* level = shape->FirstChildElement(); level != nullptr;
             level = level->NextSiblingElement()) {
            const TiXmlElement* first = level->FirstChildElement();
            for (const TiXmlElement* element = first; element != nullptr;
                 element = element->NextSiblingElement()) {
                result += PlainTextOf(*element);
                result += ' ';
            }
            if (first != nullptr) {
                result += '\n';
            }
        }
    }
}

void AppendSlide(ZipArchive& archive, const std::string& partName, std::string& result) {
    const auto partText = ReadPartText(archive, partName.c_str());
    TiXmlDocument document;
    if (!partText || !ParseXmlPart(document, *partText)) {
        return;
    }
    const TiXmlElement* slide = document.FirstChildElement("p:sld");
    const TiXmlElement* common = slide != nullptr ? slide->FirstChildElement("p:cSld") : nullptr;
    const TiXmlElement* tree = common != nullptr ? common->FirstChildElement("p:spTree") : nullptr;
    if (tree != nullptr) {
        AppendShapeTree(*tree, result);
    }
}

}  // namespace

std::string DocumentText::ReadPresentationText() const {
    std::string result;
    const auto archive = ZipArchive::Open(fileName);
    if (archive && HasMember(*archive, "ppt/presentation.xml")) {
        AppProperties app(fileName);
        app.Load(*archive);
        const int32_t slides = NumberedPartCount(*archive, app.slides, "ppt/slides/slide");
        for (int32_t i = 1; i <= slides; ++i) {
            AppendSlide(*archive, NumberedPartName("ppt/slides/slide", i), result);
        }
    }
    return result.empty() ? std::string(" ") : result;
}

}  // namespace quillet
