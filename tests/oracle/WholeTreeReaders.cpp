#include "oracle/WholeTreeReaders.h"

#include <string_view>

#include "props/AppProperties.h"
#include "xml/TextConversion.h"
#include "xml/XmlPart.h"

namespace quillet::test {
namespace {

bool IsNamed(const TiXmlElement& element, std::string_view name) {
    return element.Value() == name;
}

void AppendDatum(const char* utf8, BoundedText& result) {
    result.Append(utf8 != nullptr ? Utf8ToAnsi(utf8) : std::string(" "));
    result.Append('\t');
}

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

void AppendCellElement(const TiXmlElement& element, std::string_view type,
                       const SharedStringTable* table, BoundedText& result) {
    if (IsNamed(element, "is") && type == "inlineStr") {
        const TiXmlElement* first = element.FirstChildElement();
        AppendDatum(first != nullptr && IsNamed(*first, "t") ? FirstChildText(*first) : nullptr,
                    result);
    } else if (IsNamed(element, "v") && type == "s") {
        if (table == nullptr) {
            return;
        }
        const char* value = FirstChildText(element);
        const int32_t index = value != nullptr ? ParseCount(value) : -1;
        if (index >= 0 && index < table->declaredCount) {
            result.Append(table->At(index));
            result.Append('\t');
        } else {
            result.Append(" \t");
        }
    } else if (IsNamed(element, "v")) {
        AppendDatum(FirstChildText(element), result);
    } else {
        result.Append(" \t");
    }
}

}  // namespace

void WholeTreeWordBody(const std::string& partText, BoundedText& result) {
    TiXmlDocument document;
    if (!ParseXmlPart(document, partText)) {
        return;
    }
    const TiXmlElement* root = document.FirstChildElement("w:document");
    const TiXmlElement* body = root != nullptr ? root->FirstChildElement("w:body") : nullptr;
    if (body == nullptr) {
        return;
    }
    for (const TiXmlElement* block = body->FirstChildElement(); block != nullptr && !result.full();
         block = block->NextSiblingElement()) {
        AppendBlockText(*block, result);
    }
}

bool WholeTreeSharedStrings(const std::string& partText, SharedStringTable& table) {
    table.Clear();
    TiXmlDocument document;
    if (!ParseXmlPart(document, partText)) {
        return false;
    }
    const TiXmlElement* sst = document.FirstChildElement("sst");
    const char* uniqueCount = sst != nullptr ? sst->Attribute("uniqueCount") : nullptr;
    const int32_t count = uniqueCount != nullptr ? ParseCount(uniqueCount) : -1;
    if (count <= 0) {
        return false;
    }
    table.declaredCount = count;
    for (const TiXmlElement* item = sst->FirstChildElement();
         item != nullptr && static_cast<int64_t>(table.size()) < count;
         item = item->NextSiblingElement()) {
        const TiXmlElement* first = item->FirstChildElement();
        if (first != nullptr && IsNamed(*first, "t")) {
            const char* text = first->GetText();
            table.Add(text != nullptr ? Utf8ToAnsi(text) : std::string(" "));
        } else {
            table.Add("");
        }
    }
    return true;
}

void WholeTreeSheetRows(const std::string& partText, const SharedStringTable* table,
                        BoundedText& result) {
    TiXmlDocument document;
    if (!ParseXmlPart(document, partText)) {
        return;
    }
    const TiXmlElement* sheet = document.FirstChildElement("worksheet");
    const TiXmlElement* sheetData =
        sheet != nullptr ? sheet->FirstChildElement("sheetData") : nullptr;
    if (sheetData == nullptr) {
        return;
    }
    for (const TiXmlElement* row = sheetData->FirstChildElement(); row != nullptr && !result.full();
         row = row->NextSiblingElement()) {
        bool hasCell = false;
        for (const TiXmlElement* cell = row->FirstChildElement(); cell != nullptr;
             cell = cell->NextSiblingElement()) {
            hasCell = true;
            const char* typeAttribute = cell->Attribute("t");
            const std::string_view type = typeAttribute != nullptr ? typeAttribute : " ";
            for (const TiXmlElement* element = cell->FirstChildElement(); element != nullptr;
                 element = element->NextSiblingElement()) {
                AppendCellElement(*element, type, table, result);
            }
        }
        if (hasCell) {
            result.Append('\n');
        }
    }
}

}  // namespace quillet::test
