#include "oracle/WholeTreeReaders.h"

#include <cstring>
#include <string_view>

#include "package/RequestBudget.h"
#include "platform/AsciiText.h"
#include "platform/Unicode.h"
#include "props/ParseCount.h"
#include "xml/TextConversion.h"
#include "xml/XmlPart.h"

namespace quillet::test {
namespace {

bool IsNamed(const TiXmlElement& element, std::string_view name) {
    return element.Value() == name;
}

void AppendDatum(const char* utf8, BoundedText& result) {
    result.Append(utf8 != nullptr ? WellFormedText(utf8) : std::string(" "));
    result.Append('\t');
}

// A block of "w:body": the texts three levels below the body, each followed by a TAB, and a line
// feed when a run holds anything.
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
            result.Append(text != nullptr ? WellFormedText(text) : std::string(" "));
            result.Append('\t');
        }
    }
    if (hasContent) {
        result.Append('\n');
    }
}

std::string SharedItemText(const TiXmlElement& item) {
    const TiXmlElement* first = item.FirstChildElement();
    if (first == nullptr || !IsNamed(*first, "t")) {
        return std::string();
    }
    const char* text = first->GetText();
    return text != nullptr ? WellFormedText(text) : std::string(" ");
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

void AppendRowText(const TiXmlElement& row, const SharedStringTable* table, BoundedText& result) {
    bool hasCell = false;
    for (const TiXmlElement* cell = row.FirstChildElement(); cell != nullptr;
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

// The plain text of one element and everything inside it, through TinyXML's own printer.
std::string PlainTextOf(const TiXmlElement& element) {
    TiXmlPrinter printer;
    printer.SetIndent("");
    element.Accept(&printer);
    // Made well-formed before the markup goes, so bytes on both sides of a tag never join.
    return DecodePrinterEscapes(StripMarkup(WellFormedText(printer.CStr())));
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
        if (!table.Add(SharedItemText(*item))) {
            break;
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
        AppendRowText(*row, table, result);
    }
}

void WholeTreeSlide(const std::string& partText, BoundedText& result) {
    TiXmlDocument document;
    if (!ParseXmlPart(document, partText)) {
        return;
    }
    const TiXmlElement* slide = document.FirstChildElement("p:sld");
    const TiXmlElement* common = slide != nullptr ? slide->FirstChildElement("p:cSld") : nullptr;
    const TiXmlElement* tree = common != nullptr ? common->FirstChildElement("p:spTree") : nullptr;
    for (const TiXmlElement* shape = tree != nullptr ? tree->FirstChildElement() : nullptr;
         shape != nullptr && !result.full(); shape = shape->NextSiblingElement()) {
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

std::string StripMarkup(const std::string& text) {
    std::string output;
    output.reserve(text.size());
    bool insideTag = false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '<') {
            insideTag = true;
        } else if (c == '>') {
            insideTag = false;
        } else if (insideTag) {
            continue;
        } else if (byte < 32) {
            output += ' ';
        } else {
            output += c;
        }
    }
    return output.empty() ? std::string(" ") : output;
}

std::string DecodePrinterEscapes(const std::string& text) {
    static const std::pair<const char*, char> named[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''},
    };
    std::string output;
    output.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '&') {
            output += text[i++];
            continue;
        }
        bool decoded = false;
        for (const auto& [sequence, character] : named) {
            const size_t length = std::strlen(sequence);
            if (text.compare(i, length, sequence) == 0) {
                output += character;
                i += length;
                decoded = true;
                break;
            }
        }
        if (!decoded && text.compare(i, 3, "&#x") == 0 && i + 5 < text.size() &&
            text[i + 5] == ';' && platform::HexDigitValue(text[i + 3]) >= 0 &&
            platform::HexDigitValue(text[i + 4]) >= 0) {
            const int value =
                platform::HexDigitValue(text[i + 3]) * 16 + platform::HexDigitValue(text[i + 4]);
            if (value < 32) {
                output += ' ';
            } else {
                platform::AppendUtf8(output, static_cast<char32_t>(value));
            }
            i += 6;
            decoded = true;
        }
        if (!decoded) {
            output += text[i++];
        }
    }
    return output;
}

std::string DescribeTable(bool loaded, const SharedStringTable& table) {
    std::string described = loaded ? "table " + std::to_string(table.declaredCount) : "none";
    for (size_t i = 0; i < table.size(); ++i) {
        described += "|" + std::string(table.At(static_cast<int64_t>(i)));
    }
    return described;
}

SharedStringTable SheetTestTable() {
    SharedStringTable table(RequestBudget::MaxFullTextBytes);
    table.Add("zero");
    table.Add("one");
    table.declaredCount = 3;
    return table;
}

}  // namespace quillet::test
