#include "text/ElementText.h"

#include <string_view>

#include "props/AppProperties.h"
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

namespace {

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

}  // namespace quillet
