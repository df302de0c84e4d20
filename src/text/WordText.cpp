#include "package/MemberSource.h"
#include "text/BoundedText.h"
#include "text/DocumentText.h"
#include "text/StreamedReaders.h"
#include "xml/ElementStream.h"
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
            result.Append(text != nullptr ? Utf8ToAnsi(text) : std::string(" "));
            result.Append('\t');
        }
    }
    if (hasContent) {
        result.Append('\n');
    }
}

}  // namespace

void AppendWordBody(PartSource& part, BoundedText& result) {
    const size_t before = result.size();
    ElementStreamHandlers handlers;
    handlers.child = [&result](const TiXmlElement& block) {
        if (!result.full()) {
            AppendBlockText(block, result);
        }
        return true;
    };
    if (!KeepsWhatWasRead(ReadElementStream(part, {"w:document", "w:body"}, handlers))) {
        result.Truncate(before);
    }
}

std::string DocumentText::ReadWordText() {
    BoundedText result;
    if (archive_ != nullptr) {
        MemberSource part(*archive_, "word/document.xml");
        AppendWordBody(part, result);
    }
    return result.TakeOrSpace();
}

}  // namespace quillet
