#include "text/PackageParts.h"

#include <vector>

#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "xml/XmlPart.h"

namespace quillet {
namespace {

constexpr std::string_view RelationshipTypeBases[] = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/",
    "http://purl.oclc.org/ooxml/officeDocument/relationships/",
};

struct KindName {
    RelationKind kind;
    std::string_view name;
};

constexpr KindName RelationKinds[] = {
    {RelationKind::OfficeDocument, "officeDocument"},
    {RelationKind::Header, "header"},
    {RelationKind::Footer, "footer"},
    {RelationKind::Footnotes, "footnotes"},
    {RelationKind::Endnotes, "endnotes"},
    {RelationKind::Comments, "comments"},
    {RelationKind::Worksheet, "worksheet"},
    {RelationKind::Chartsheet, "chartsheet"},
    {RelationKind::SharedStrings, "sharedStrings"},
    {RelationKind::Slide, "slide"},
    {RelationKind::NotesSlide, "notesSlide"},
};

RelationKind KindOf(std::string_view type) {
    for (const std::string_view base : RelationshipTypeBases) {
        if (type.compare(0, base.size(), base) != 0) {
            continue;
        }
        const std::string_view name = type.substr(base.size());
        for (const KindName& kind : RelationKinds) {
            if (name == kind.name) {
                return kind.kind;
            }
        }
    }
    return RelationKind::Other;
}

// "word/document.xml" has its relationships in "word/_rels/document.xml.rels".
std::string RelationshipsPartOf(std::string_view sourcePart) {
    const size_t slash = sourcePart.rfind('/');
    const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    std::string name(sourcePart.substr(0, nameStart));
    name.append("_rels/").append(sourcePart.substr(nameStart)).append(".rels");
    return name;
}

// The root of a small part parsed whole; null when it cannot be read, does not parse or has no
// element.
const TiXmlElement* ReadWholePart(ZipArchive& archive, const std::string& partName,
                                  TiXmlDocument& document) {
    const auto text = ReadPartText(archive, partName.c_str(), BoundedTreeFilter());
    return text && ParseXmlPart(document, *text) ? document.RootElement() : nullptr;
}

const char* AttributeOr(const TiXmlElement& element, const char* name, const char* otherwise) {
    const char* value = element.Attribute(name);
    return value != nullptr ? value : otherwise;
}

}  // namespace

std::string ResolveTarget(std::string_view sourcePart, std::string_view target) {
    if (target.empty()) {
        return std::string();
    }
    std::vector<std::string_view> segments;
    const auto take = [&segments](std::string_view path, bool folderOnly) {
        for (size_t at = 0; at <= path.size();) {
            size_t end = path.find('/', at);
            if (end == std::string_view::npos) {
                if (folderOnly) {
                    break;  // the source's own name
                }
                end = path.size();
            }
            const std::string_view segment = path.substr(at, end - at);
            at = end + 1;
            if (segment == "..") {
                if (segments.empty()) {
                    return false;  // above the package's root
                }
                segments.pop_back();
            } else if (!segment.empty() && segment != ".") {
                segments.push_back(segment);
            }
        }
        return true;
    };
    if ((target.front() != '/' && !take(sourcePart, true)) || !take(target, false) ||
        segments.empty() || target.find(':') != std::string_view::npos) {
        return std::string();  // outside the package, or a URI with a scheme
    }
    std::string path;
    for (const std::string_view segment : segments) {
        path.append(segment).append(1, '/');
    }
    path.pop_back();
    return path;
}

std::vector<Relationship> ReadRelationships(ZipArchive& archive, std::string_view sourcePart) {
    std::vector<Relationship> relationships;
    TiXmlDocument document;
    const TiXmlElement* root = ReadWholePart(archive, RelationshipsPartOf(sourcePart), document);
    if (root == nullptr) {
        return relationships;
    }
    NamespaceScope scope;
    scope.Open(*root, 1);
    for (const TiXmlElement* element = root->FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        scope.Open(*element, 2);
        if (scope.Element(element->ValueStr())
                .Is(Namespace::PackageRelationships, "Relationship")) {
            const bool external =
                std::string_view(AttributeOr(*element, "TargetMode", "")) == "External";
            relationships.push_back(
                {AttributeOr(*element, "Id", ""), KindOf(AttributeOr(*element, "Type", "")),
                 external ? std::string()
                          : ResolveTarget(sourcePart, AttributeOr(*element, "Target", ""))});
        }
        scope.Close(2);
    }
    return relationships;
}

std::string MainPart(ZipArchive& archive, const char* fallback) {
    for (const Relationship& relationship : ReadRelationships(archive, "")) {
        if (relationship.kind == RelationKind::OfficeDocument && !relationship.target.empty() &&
            archive.HasMember(relationship.target.c_str())) {
            return relationship.target;
        }
    }
    return fallback;
}

std::vector<ListedPart> ReadListedParts(ZipArchive& archive, const std::string& partName,
                                        Namespace space, std::string_view list,
                                        std::string_view item) {
    std::vector<ListedPart> listed;
    TiXmlDocument document;
    const TiXmlElement* root = ReadWholePart(archive, partName, document);
    if (root == nullptr) {
        return listed;
    }
    NamespaceScope scope;
    scope.Open(*root, 1);
    for (const TiXmlElement* parent = root->FirstChildElement(); parent != nullptr;
         parent = parent->NextSiblingElement()) {
        scope.Open(*parent, 2);
        if (scope.Element(parent->ValueStr()).Is(space, list)) {
            for (const TiXmlElement* element = parent->FirstChildElement(); element != nullptr;
                 element = element->NextSiblingElement()) {
                scope.Open(*element, 3);
                if (scope.Element(element->ValueStr()).Is(space, item)) {
                    const char* id = scope.AttributeValue(*element, Namespace::Relationships, "id");
                    listed.push_back({AttributeOr(*element, "name", ""), id != nullptr ? id : ""});
                }
                scope.Close(3);
            }
        }
        scope.Close(2);
    }
    return listed;
}

bool PartsRead::First(const std::string& name) {
    std::string key(name);
    for (char& c : key) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return names_.insert(std::move(key)).second;
}

}  // namespace quillet
