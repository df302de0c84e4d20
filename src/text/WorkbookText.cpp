#include <string_view>

#include "package/MemberSource.h"
#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "props/AppProperties.h"
#include "text/BoundedText.h"
#include "text/DocumentText.h"
#include "text/ElementText.h"
#include "text/NumberedParts.h"
#include "text/StreamedReaders.h"
#include "xml/ElementStream.h"
#include "xml/TextConversion.h"
#include "xml/XmlPart.h"

namespace quillet {

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
            table.Add(SharedItemText(item));
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
    ElementStreamHandlers handlers;
    handlers.child = [&](const TiXmlElement& row) {
        if (result.stopped()) {
            return false;
        }
        if (!result.full()) {
            AppendRowText(row, table, result);
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
    BoundedText result(stop_);
    const bool haveTable = LoadSharedStrings();
    if (archive_ != nullptr && HasMember(*archive_, "xl/workbook.xml")) {
        AppProperties app;
        app.Load(*archive_);
        const int32_t sheets = NumberedPartCount(*archive_, app.sheets, "xl/worksheets/sheet");
        for (int32_t i = 1; i <= sheets && !result.full() && !result.stopped(); ++i) {
            MemberSource part(*archive_, NumberedPartName("xl/worksheets/sheet", i).c_str());
            AppendSheetRows(part, haveTable ? &sharedStrings : nullptr, result);
            result.Append("\n\n");
        }
    }
    return result.TakeOrSpace();
}

}  // namespace quillet
