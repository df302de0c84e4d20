#pragma once

#include <string_view>

#include <tinyxml.h>

namespace quillet {

// Whether the element's name is `name` exactly, prefix included: a length check and an inline
// compare, since the readers ask this of every element.
inline bool IsNamed(const TiXmlElement& element, std::string_view name) {
    return std::string_view(element.ValueStr()) == name;
}

// The value of the attribute named `name` exactly, or null, as TiXmlElement::Attribute answers,
// without a strcmp call for each attribute.
inline const char* AttributeNamed(const TiXmlElement& element, std::string_view name) {
    for (const TiXmlAttribute* a = element.FirstAttribute(); a != nullptr; a = a->Next()) {
        if (std::string_view(a->NameTStr()) == name) {
            return a->Value();
        }
    }
    return nullptr;
}

}  // namespace quillet
