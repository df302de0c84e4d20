#include "xml/QualifiedNames.h"

#include <cstring>

namespace quillet {
namespace {

struct KnownNamespace {
    Namespace space;
    std::string_view transitional;
    std::string_view strict;
};

constexpr KnownNamespace KnownNamespaces[] = {
    {Namespace::Word, "http://schemas.openxmlformats.org/wordprocessingml/2006/main",
     "http://purl.oclc.org/ooxml/wordprocessingml/main"},
    {Namespace::Math, "http://schemas.openxmlformats.org/officeDocument/2006/math",
     "http://purl.oclc.org/ooxml/officeDocument/math"},
    {Namespace::WordDrawing,
     "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing",
     "http://purl.oclc.org/ooxml/drawingml/wordprocessingDrawing"},
    {Namespace::Drawing, "http://schemas.openxmlformats.org/drawingml/2006/main",
     "http://purl.oclc.org/ooxml/drawingml/main"},
    {Namespace::Presentation, "http://schemas.openxmlformats.org/presentationml/2006/main",
     "http://purl.oclc.org/ooxml/presentationml/main"},
    {Namespace::Spreadsheet, "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
     "http://purl.oclc.org/ooxml/spreadsheetml/main"},
    {Namespace::Relationships,
     "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
     "http://purl.oclc.org/ooxml/officeDocument/relationships"},
    {Namespace::PackageRelationships,
     "http://schemas.openxmlformats.org/package/2006/relationships",
     "http://schemas.openxmlformats.org/package/2006/relationships"},
    {Namespace::MarkupCompatibility, "http://schemas.openxmlformats.org/markup-compatibility/2006",
     "http://schemas.openxmlformats.org/markup-compatibility/2006"},
    {Namespace::Xml, "http://www.w3.org/XML/1998/namespace",
     "http://www.w3.org/XML/1998/namespace"},
};

constexpr std::string_view DeclarationPrefix = "xmlns";

}  // namespace

Namespace NamespaceOf(std::string_view uri) {
    for (const KnownNamespace& known : KnownNamespaces) {
        if (uri == known.transitional || uri == known.strict) {
            return known.space;
        }
    }
    // "xmlns=''" undeclares the default namespace.
    return uri.empty() ? Namespace::None : Namespace::Other;
}

void NamespaceScope::Open(const TiXmlElement& element, int depth) {
    for (const TiXmlAttribute* a = element.FirstAttribute(); a != nullptr; a = a->Next()) {
        const std::string_view name = a->NameTStr();
        if (name.compare(0, DeclarationPrefix.size(), DeclarationPrefix) != 0) {
            continue;
        }
        const std::string_view rest = name.substr(DeclarationPrefix.size());
        if (rest.empty()) {
            bindings_.push_back({std::string(), NamespaceOf(a->ValueStr()), depth});
        } else if (rest.front() == ':' && rest.size() > 1) {
            bindings_.push_back({std::string(rest.substr(1)), NamespaceOf(a->ValueStr()), depth});
        }
    }
}

void NamespaceScope::Close(int depth) {
    while (!bindings_.empty() && bindings_.back().depth >= depth) {
        bindings_.pop_back();
    }
}

QualifiedName NamespaceScope::Resolve(std::string_view qualified, bool element) const {
    const size_t colon = PrefixEnd(qualified);
    if (colon == std::string_view::npos && !element) {
        return {Namespace::None, qualified};
    }
    const std::string_view prefix =
        colon == std::string_view::npos ? std::string_view() : qualified.substr(0, colon);
    const std::string_view local =
        colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
    for (auto binding = bindings_.rbegin(); binding != bindings_.rend(); ++binding) {
        if (binding->prefix == prefix) {
            return {binding->space, local};
        }
    }
    return {prefix == "xml" ? Namespace::Xml : Namespace::None, local};
}

const char* NamespaceScope::AttributeValue(const TiXmlElement& element, Namespace space,
                                           std::string_view local) const {
    for (const TiXmlAttribute* a = element.FirstAttribute(); a != nullptr; a = a->Next()) {
        if (Attribute(a->NameTStr()).Is(space, local)) {
            return a->Value();
        }
    }
    return nullptr;
}

}  // namespace quillet
