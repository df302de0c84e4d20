#include <string_view>

#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "props/AppProperties.h"
#include "text/BoundedText.h"
#include "text/DocumentText.h"
#include "text/NumberedParts.h"
#include "xml/TextConversion.h"
#include "xml/XmlPart.h"

namespace quillet {
namespace {

bool IsNamed(const TiXmlElement& element, std::string_view name) {
    return element.Value() == name;
}

void AppendDatum(const char* utf8, BoundedText& result) {
    result.Append(utf8 != nullptr ? WellFormedText(utf8) : std::string(" "));
    result.Append('\t');
}

}  // namespace

bool DocumentText::LoadSharedStrings() {
    if (archive_ == nullptr) {
        return false;
    }
    const auto partText = ReadPartText(*archive_, "xl/sharedStrings.xml");
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
            sharedStrings.push_back(text != nullptr ? WellFormedText(text) : std::string(" "));
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
    BoundedText& result;

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
                result.Append(text.SharedString(index));
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

    void AppendRows(const TiXmlElement& sheetData) const {
        for (const TiXmlElement* row = sheetData.FirstChildElement();
             row != nullptr && !result.full() && !result.stopped();
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
                result.Append('\n');
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
        result.Append("\n\n");
    }
};

}  // namespace

std::string DocumentText::ReadWorkbookText() {
    BoundedText result(stop_);
    const bool haveTable = LoadSharedStrings();
    if (archive_ != nullptr && HasMember(*archive_, "xl/workbook.xml")) {
        AppProperties app;
        app.Load(*archive_);
        const int32_t sheets = NumberedPartCount(*archive_, app.sheets, "xl/worksheets/sheet");
        const SheetReader reader{*this, haveTable, result};
        for (int32_t i = 1; i <= sheets && !result.full() && !result.stopped(); ++i) {
            reader.AppendSheet(*archive_, NumberedPartName("xl/worksheets/sheet", i));
        }
    }
    return result.TakeOrSpace();
}

}  // namespace quillet
