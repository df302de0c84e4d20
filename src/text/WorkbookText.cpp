#include <string_view>

#include "package/MemberSource.h"
#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "props/AppProperties.h"
#include "text/BoundedText.h"
#include "text/DocumentText.h"
#include "text/NumberedParts.h"
#include "text/StreamedReaders.h"
#include "xml/ElementStream.h"
#include "xml/TextConversion.h"
#include "xml/XmlPart.h"

namespace quillet {
namespace {

bool IsNamed(const TiXmlElement& element, std::string_view name) {
    return element.Value() == name;
}

void AppendDatum(const char* utf8, BoundedText& result) {
    result.Append(utf8 != nullptr ? Utf8ToAnsi(utf8) : std::string(" "));
    result.Append('\t');
}

// The string an item of the table holds: rich text and empty items keep an empty entry.
std::string ItemText(const TiXmlElement& item) {
    const TiXmlElement* first = item.FirstChildElement();
    if (first == nullptr || !IsNamed(*first, "t")) {
        return std::string();
    }
    const char* text = first->GetText();
    return text != nullptr ? Utf8ToAnsi(text) : std::string(" ");
}

struct RowReader {
    const SharedStringTable* table;
    BoundedText& result;

    void AppendCellElement(const TiXmlElement& element, std::string_view type) const {
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

    void AppendRow(const TiXmlElement& row) const {
        bool hasCell = false;
        for (const TiXmlElement* cell = row.FirstChildElement(); cell != nullptr;
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
};

}  // namespace

bool ReadSharedStringTable(PartSource& part, SharedStringTable& table) {
    table.Clear();
    int32_t count = -1;
    ElementStreamHandlers handlers;
    handlers.frameOpened = [&count](const TiXmlElement& frame) {
        const char* uniqueCount = frame.Attribute("uniqueCount");
        count = uniqueCount != nullptr ? ParseCount(uniqueCount) : -1;
        return count > 0;
    };
    handlers.child = [&](const TiXmlElement& item) {
        if (static_cast<int64_t>(table.size()) < count) {
            table.Add(ItemText(item));
        }
        return true;
    };
    if (!KeepsWhatWasRead(ReadElementStream(part, {"sst"}, handlers)) || count <= 0) {
        table.Clear();
        return false;
    }
    table.declaredCount = count;
    return true;
}

void AppendSheetRows(PartSource& part, const SharedStringTable* table, BoundedText& result) {
    const size_t before = result.size();
    const RowReader reader{table, result};
    ElementStreamHandlers handlers;
    handlers.child = [&](const TiXmlElement& row) {
        if (!result.full()) {
            reader.AppendRow(row);
        }
        return true;
    };
    if (!KeepsWhatWasRead(ReadElementStream(part, {"worksheet", "sheetData"}, handlers))) {
        result.Truncate(before);
    }
}

bool DocumentText::LoadSharedStrings() {
    if (archive_ == nullptr) {
        return false;
    }
    MemberSource part(*archive_, "xl/sharedStrings.xml");
    return ReadSharedStringTable(part, sharedStrings);
}

std::string DocumentText::ReadWorkbookText() {
    BoundedText result;
    const bool haveTable = LoadSharedStrings();
    if (archive_ != nullptr && HasMember(*archive_, "xl/workbook.xml")) {
        AppProperties app;
        app.Load(*archive_);
        const int32_t sheets = NumberedPartCount(*archive_, app.sheets, "xl/worksheets/sheet");
        for (int32_t i = 1; i <= sheets && !result.full(); ++i) {
            MemberSource part(*archive_, NumberedPartName("xl/worksheets/sheet", i).c_str());
            AppendSheetRows(part, haveTable ? &sharedStrings : nullptr, result);
            result.Append("\n\n");
        }
    }
    return result.TakeOrSpace();
}

}  // namespace quillet
