#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <tinyxml.h>

namespace quillet {

// The namespaces the readers match names in. Each stands for both URIs office programs write it
// with (the transitional and the strict form of the format); any other URI is Other, and a name
// whose prefix is not declared, or an unprefixed one without a default namespace, is None.
enum class Namespace : uint8_t {
    None,
    Other,
    Word,                  // w: wordprocessingml
    Math,                  // m: office math
    WordDrawing,           // wp: drawings placed in a word-processing document
    Drawing,               // a: drawingml
    Presentation,          // p: presentationml
    Spreadsheet,           // the default namespace of a workbook's parts, or x:
    Relationships,         // r: the attributes that name a relationship
    PackageRelationships,  // the elements of a relationships part
    MarkupCompatibility,   // mc:
    Xml,                   // xml:, declared by XML itself
};

struct QualifiedName {
    Namespace space = Namespace::None;
    std::string_view local;

    bool Is(Namespace wanted, std::string_view name) const {
        return space == wanted && local == name;
    }
};

// The prefixes in scope while a part is read element by element, streamed or as a tree: Open
// takes an element's declarations before its name is resolved, Close lets go of those declared
// at that depth. Costs a few bytes for each declaration in scope, never for the elements.
class NamespaceScope {
  public:
    void Open(const TiXmlElement& element, int depth);
    void Close(int depth);

    // An element's or an attribute's name; unprefixed attributes are in no namespace.
    QualifiedName Element(std::string_view name) const { return Resolve(name, true); }
    QualifiedName Attribute(std::string_view name) const { return Resolve(name, false); }

    // The value of the attribute with that namespace and local name, or null.
    const char* AttributeValue(const TiXmlElement& element, Namespace space,
                               std::string_view local) const;

  private:
    struct Binding {
        std::string prefix;  // empty for the default namespace
        Namespace space;
        int depth;
    };

    QualifiedName Resolve(std::string_view qualified, bool element) const;

    std::vector<Binding> bindings_;
};

// Where a qualified name's prefix ends (its colon), or npos for an unprefixed name. Names are
// short: a loop of a few bytes, not a call.
inline size_t PrefixEnd(std::string_view qualified) {
    for (size_t at = 0; at < qualified.size(); ++at) {
        if (qualified[at] == ':') {
            return at;
        }
    }
    return std::string_view::npos;
}

// The namespace a URI names.
Namespace NamespaceOf(std::string_view uri);

}  // namespace quillet
