#include "oracle/WholeTreeReaders.h"

#include "props/AppProperties.h"
#include "text/ElementText.h"
#include "xml/XmlPart.h"

namespace quillet::test {

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
        table.Add(SharedItemText(*item));
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
        AppendRowText(*row, table, result);
    }
}

std::string DescribeTable(bool loaded, const SharedStringTable& table) {
    std::string described = loaded ? "table " + std::to_string(table.declaredCount) : "none";
    for (size_t i = 0; i < table.size(); ++i) {
        described += "|" + std::string(table.At(static_cast<int64_t>(i)));
    }
    return described;
}

SharedStringTable SheetTestTable() {
    SharedStringTable table;
    table.Add("zero");
    table.Add("one");
    table.declaredCount = 3;
    return table;
}

}  // namespace quillet::test
