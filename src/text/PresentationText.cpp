#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "props/AppProperties.h"
#include "text/BoundedText.h"
#include "text/DocumentText.h"
#include "text/NumberedParts.h"
#include "text/SlideMarkup.h"
#include "xml/TextConversion.h"
#include "xml/XmlPart.h"

namespace quillet {
namespace {

// The plain text of one element and everything inside it, through TinyXML's own printer.
std::string PlainTextOf(const TiXmlElement& element) {
    TiXmlPrinter printer;
    printer.SetIndent("");
    element.Accept(&printer);
    // Made well-formed before the markup goes, so bytes on both sides of a tag never join.
    return DecodePrinterEscapes(StripMarkup(WellFormedText(printer.CStr())));
}

// Text is taken from the third level below the shape tree, at any depth inside it.
void AppendShapeTree(const TiXmlElement& shapeTree, BoundedText& result) {
    for (const TiXmlElement* shape = shapeTree.FirstChildElement();
         shape != nullptr && !result.full() && !result.stopped();
         shape = shape->NextSiblingElement()) {
        for (const TiXmlElement* level = shape->FirstChildElement(); level != nullptr;
             level = level->NextSiblingElement()) {
            const TiXmlElement* first = level->FirstChildElement();
            for (const TiXmlElement* element = first; element != nullptr;
                 element = element->NextSiblingElement()) {
                result.Append(PlainTextOf(*element));
                result.Append(' ');
            }
            if (first != nullptr) {
                result.Append('\n');
            }
        }
    }
}

void AppendSlide(ZipArchive& archive, const std::string& partName, BoundedText& result) {
    const auto partText = ReadPartText(archive, partName.c_str(), BoundedTreeFilter());
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

std::string DocumentText::ReadPresentationText() {
    BoundedText result(stop_);
    if (archive_ != nullptr && HasMember(*archive_, "ppt/presentation.xml")) {
        AppProperties app;
        app.Load(*archive_);
        const int32_t slides = NumberedPartCount(*archive_, app.slides, "ppt/slides/slide");
        for (int32_t i = 1; i <= slides && !result.full() && !result.stopped(); ++i) {
            AppendSlide(*archive_, NumberedPartName("ppt/slides/slide", i), result);
        }
    }
    return result.TakeOrSpace();
}

}  // namespace quillet
