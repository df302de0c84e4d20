#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "xml/QualifiedNames.h"

namespace quillet {

class ZipArchive;

// What a relationship is for, as far as the readers of "Text" follow relationships.
enum class RelationKind : uint8_t {
    OfficeDocument,
    Header,
    Footer,
    Footnotes,
    Endnotes,
    Comments,
    Worksheet,
    Chartsheet,
    SharedStrings,
    Slide,
    NotesSlide,
    Other
};

struct Relationship {
    std::string id;
    RelationKind kind = RelationKind::Other;
    std::string target;  // the member it names; empty when it names none inside the package
};

// The relationships of `sourcePart` ("" for the package's own), in the order its relationships
// part lists them: a small part read whole, through the tree filter. None when it cannot be read.
std::vector<Relationship> ReadRelationships(ZipArchive& archive, std::string_view sourcePart);

// The member a relationship of `sourcePart` names by `target`: relative to the source's folder,
// or absolute from the package's root, ".." climbing one folder. Empty for a target that climbs
// above the package's root, names a scheme ("http:"), or is empty.
std::string ResolveTarget(std::string_view sourcePart, std::string_view target);

// The package's main part: the target of its officeDocument relationship when that member
// exists, else `fallback`.
std::string MainPart(ZipArchive& archive, const char* fallback);

// One entry of a list in a part read whole, such as a workbook's sheets or a presentation's
// slides: its "name" attribute (empty when it has none) and the relationship it names ("r:id").
struct ListedPart {
    std::string name;
    std::string relationshipId;
};

// The elements `item` of the element `list` below the root of the part `partName`, both in
// `space`, in document order. None when the part cannot be read or does not parse.
std::vector<ListedPart> ReadListedParts(ZipArchive& archive, const std::string& partName,
                                        Namespace space, std::string_view list,
                                        std::string_view item);

// The members one request has read: none is read twice, however often relationships name it.
class PartsRead {
  public:
    // True the first time a member is named (letter case ignored, as lookups ignore it).
    bool First(const std::string& name);

  private:
    std::unordered_set<std::string> names_;
};

}  // namespace quillet
