#include "oracle/WholeTreeText.h"

#include "text/TextReaders.h"
#include "xml/KeptWhiteSpace.h"
#include "xml/XmlPart.h"

namespace quillet::test {
namespace {

// Hands `reader` the children of `parent`, `depth` being theirs; false when it stopped.
bool Walk(const TiXmlNode& parent, int depth, TextPartReader& reader) {
    for (const TiXmlNode* node = parent.FirstChild(); node != nullptr; node = node->NextSibling()) {
        const TiXmlElement* element = node->ToElement();
        if (element == nullptr) {
            if (!reader.Leaf(*node, depth)) {
                return false;
            }
            continue;
        }
        const Visit visit = reader.Open(*element, depth);
        if (visit == Visit::Stop) {
            return false;
        }
        if ((visit == Visit::Enter && !Walk(*element, depth + 1, reader)) ||
            !reader.Close(*element, depth)) {
            return false;
        }
    }
    return true;
}

// Parses the part as the streamed reading parses it and walks it; false when it does not parse
// or the reader stopped.
bool ReadWhole(const std::string& partText, TextPartReader& reader) {
    TiXmlDocument document;
    KeepWhiteSpace(document);
    return ParseXmlPart(document, partText) && Walk(document, 1, reader);
}

}  // namespace

void WholeTreeText(const std::string& partText, TextPartReader& reader, BoundedText& result) {
    const size_t before = result.size();
    reader.StartAt(before);
    if (!ReadWhole(partText, reader)) {
        result.Truncate(before);
    }
}

bool WholeTreeRichSharedStrings(const std::string& partText, SharedStringTable& table) {
    table.Clear();
    const auto reader = RichSharedItemsReader(table);
    const bool whole = ReadWhole(partText, *reader);
    table.DropItem();  // one the walk ended in, as the streamed reading leaves none
    if (!whole || table.size() == 0) {
        table.Clear();
        return false;
    }
    table.declaredCount = static_cast<int32_t>(table.size());
    return true;
}

}  // namespace quillet::test
