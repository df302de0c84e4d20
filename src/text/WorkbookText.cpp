#include <string_view>

#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "props/AppProperties.h"
#include "props/TextConversion.h"
#include "props/XmlPart.h"
#include "text/DocumentText.h"
#include "text/NumberedParts.h"

namespace quillet {
namespace {

bool IsNamed(const TiXmlElement& element, std::string_view name) {
    return element.Value() == name;
}

void AppendDatum(const char* utf8, std::string& result) {
    result += utf8 != nullptr ? Utf8ToAnsi(utf8) : std::string(" ");
    result += '\t';
}

}  // namespace

bool DocumentText::LoadSharedStrings() {
    const auto archive = ZipArchive::Open(fileName);
    if (!archive) {
        return false;
    }
    const auto partText = ReadPartText(*archive, "xl/sharedStrings.xml");
    TiXmlDocument document;
    if (!partText || !ParseXmlPart(document, *partText)) {
        return false;
    }
    const TiXmlElement* table = document.FirstChildElement("sst");
    const char* uniqueCount = table != nullptr ? table->Attribute("uniqueCount") : nullptr;
    const int32_t count = uniqueCount != nullptr ? ParseCount(uniqueCount) : -1;
    if (count <= 0) {
        return false;
    }
    sharedStringCount = count;
    sharedStrings.clear();
    for (const TiXmlElement* item = table->FirstChildElement();
         item != nullptr && static_cast<int64_t>(sharedStrings.size()) < count;
         item = item->NextSiblingElement()) {
        const TiXmlElement* first = item->FirstChildElement();
        if (first != nullptr && IsNamed(*first, "t")) {
            const char* text = first->GetText();
            sharedStrings.push_back(text != nullptr ? Utf8ToAnsi(text) : std::string(" "));
        } else {
            sharedStrings.emplace_back();  // rich text and empty items keep an empty entry
        }
    }
    return true;
}

namespace {

struct SheetReader {
    const DocumentText& text;
    bool haveTable;
    std::string& result;

    void AppendCellElement(const TiXmlElement& element, std::string_view type) const {
        if (IsNamed(element, "is") && type == "inlineStr") {
            const TiXmlElement* first = element.FirstChildElement();
            AppendDatum(first != nullptr && IsNamed(*first, "t") ? FirstChildText(*first) : nullptr,
                        result);
        } else if (IsNamed(element, "v") && type == "s") {
            if (!haveTable) {
                return;
            }
            const char* value = FirstChildText(element);
            const int32_t index = value != nullptr ? ParseCount(value) : -1;
            if (index >= 0 && index < text.sharedStringCount) {
                result += text.SharedString(index);
                result += '\t';
            } else {
                result += " \t";
            }
        } else if (IsNamed(element, "v")) {
            AppendDatum(FirstChildText(element), result);
        } else {
            result += " \t";
        }
    }

    void AppendRows(const TiXmlElement& sheetData) const {
        for (const TiXmlElement* row = sheetData.FirstChildElement(); row != nullptr;
             row = row->NextSiblingElement()) {
            bool hasCell = false;
            for (const TiXmlElement* cell = row->FirstChildElement(); cell != nullptr;
                 cell = cell->NextSiblingElement()) {
                hasCell = true;
                const char* typeAttribute = cell->Attribute("t");
                const std::string_view type = typeAttribute != nullptr ? typeAttribute : " ";
                for (const TiXmlElement* element = cell->FirstChildElement(); element != nullptr;
                     element = element->NextSiblingElement()) {
                    AppendCellElement(*element, type);
                }
            }
            if (hasCell) {
                result += '\n';
            }
        }
    }

    void AppendSheet(ZipArchive& archive, const std::string& partName) const {
        const auto partText = ReadPartText(archive, partName.c_str());
        TiXmlDocument document;
        if (partText && ParseXmlPart(document, *partText)) {
            const TiXmlElement* sheet = document.FirstChildElement("worksheet");
            const TiXmlElement* sheetData =
                sheet != nullptr ? sheet->FirstChildElement("sheetData") : nullptr;
            if (sheetData != nullptr) {
                AppendRows(*sheetData);
            }
        }
        result += "\n\n";
    }
};

}  // namespace

std::string DocumentText::ReadWorkbookText() {
    std::string result;
    const bool haveTable = LoadSharedStrings();
    const auto archive = ZipArchive::Open(fileName);
    if (archive && HasMember(*archive, "xl/workbook.xml")) {
        AppProperties app(fileName);
        app.Load(*archive);
        const int32_t sheets = NumberedPartCount(*archive, app.sheets, "xl/worksheets/sheet");
        const SheetReader reader{*this, haveTable, result};
        for (int32_t i = 1; i <= sheets; ++i) {
            reader.AppendSheet(*archive, NumberedPartName("xl/worksheets/sheet", i));
        }
    }
    return result.empty() ? std::string(" ") : result;
}

}  // namespace quillet
