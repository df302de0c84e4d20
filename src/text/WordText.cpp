#include "package/MemberSource.h"
#include "text/BoundedText.h"
#include "text/DocumentText.h"
#include "text/ElementText.h"
#include "text/StreamedReaders.h"
#include "xml/ElementStream.h"

namespace quillet {

void AppendWordBody(PartSource& part, BoundedText& result) {
    const size_t before = result.size();
    ElementStreamHandlers handlers;
    handlers.child = [&result](const TiXmlElement& block) {
        if (result.stopped()) {
            return false;
        }
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
    BoundedText result(stop_);
    if (archive_ != nullptr) {
        MemberSource part(*archive_, "word/document.xml");
        AppendWordBody(part, result);
    }
    return result.TakeOrSpace();
}

}  // namespace quillet
