#include <string>
#include <unordered_map>
#include <vector>

#include "package/MemberSource.h"
#include "package/RequestBudget.h"
#include "text/BoundedText.h"
#include "text/DocumentText.h"
#include "text/PackageParts.h"
#include "text/TextReaders.h"
#include "xml/TextConversion.h"

namespace quillet {
namespace {

// Whether a build may go on to its next part.
bool GoesOn(const BoundedText& result) {
    return !result.full() && !result.stopped();
}

// The relationships of a part by their identifiers; the first of an identifier given twice.
std::unordered_map<std::string, const Relationship*> ById(
    const std::vector<Relationship>& relationships) {
    std::unordered_map<std::string, const Relationship*> byId;
    for (const Relationship& relationship : relationships) {
        byId.emplace(relationship.id, &relationship);
    }
    return byId;
}

const Relationship* Find(const std::unordered_map<std::string, const Relationship*>& byId,
                         const std::string& id, RelationKind kind) {
    const auto found = byId.find(id);
    return found != byId.end() && found->second->kind == kind && !found->second->target.empty()
               ? found->second
               : nullptr;
}

// The target of the first relationship of that kind, not read before; empty when none is.
std::string FirstUnread(const std::vector<Relationship>& relationships, RelationKind kind,
                        PartsRead& read) {
    for (const Relationship& relationship : relationships) {
        if (relationship.kind == kind && !relationship.target.empty() &&
            read.First(relationship.target)) {
            return relationship.target;
        }
    }
    return std::string();
}

// When the parts a word-processing document's body refers to are read: headers and footers,
// footnotes, endnotes, comments; -1 for the parts that are not read.
int ReadingRound(RelationKind kind) {
    switch (kind) {
        case RelationKind::Header:
        case RelationKind::Footer:
            return 0;
        case RelationKind::Footnotes:
            return 1;
        case RelationKind::Endnotes:
            return 2;
        case RelationKind::Comments:
            return 3;
        default:
            return -1;
    }
}

std::string WordText(ZipArchive& archive, const StopSignal* stop) {
    BoundedText result(stop);
    PartsRead read;
    const std::string main = MainPart(archive, "word/document.xml");
    read.First(main);
    MemberSource body(archive, main.c_str());
    AppendWordPartText(body, result);
    const std::vector<Relationship> relationships = ReadRelationships(archive, main);
    for (int round = 0; round < 4; ++round) {
        for (const Relationship& relationship : relationships) {
            if (GoesOn(result) && ReadingRound(relationship.kind) == round &&
                !relationship.target.empty() && read.First(relationship.target)) {
                MemberSource part(archive, relationship.target.c_str());
                AppendWordPartText(part, result);
            }
        }
    }
    return result.TakeOrSpace();
}

std::string WorkbookText(ZipArchive& archive, const StopSignal* stop) {
    PartsRead read;
    const std::string main = MainPart(archive, "xl/workbook.xml");
    read.First(main);
    const std::vector<Relationship> relationships = ReadRelationships(archive, main);
    SharedStringTable table(RequestBudget::MaxFullTextBytes);
    bool haveTable = false;
    const std::string sharedStrings = FirstUnread(relationships, RelationKind::SharedStrings, read);
    if (!sharedStrings.empty()) {
        MemberSource part(archive, sharedStrings.c_str());
        haveTable = ReadRichSharedStrings(part, table, stop);
    }
    // The table and the text made of it share the full text's bound.
    BoundedText result(stop, RequestBudget::MaxFullTextBytes - table.bytes());
    const auto byId = ById(relationships);
    std::string scratch;
    for (const ListedPart& sheet :
         ReadListedParts(archive, main, Namespace::Spreadsheet, "sheets", "sheet")) {
        if (!GoesOn(result)) {
            break;
        }
        result.Append(WellFormedView(sheet.name, scratch));
        result.Append('\n');
        const Relationship* rows = Find(byId, sheet.relationshipId, RelationKind::Worksheet);
        if (rows == nullptr || !read.First(rows->target)) {
            continue;  // a chartsheet, a sheet that is not there or read already: its name alone
        }
        MemberSource part(archive, rows->target.c_str());
        AppendSheetCellText(part, haveTable ? &table : nullptr, result);
        const std::string comments =
            FirstUnread(ReadRelationships(archive, rows->target), RelationKind::Comments, read);
        if (!comments.empty() && GoesOn(result)) {
            MemberSource commentsPart(archive, comments.c_str());
            AppendCellCommentText(commentsPart, result);
        }
    }
    return result.TakeOrSpace();
}

std::string PresentationText(ZipArchive& archive, const StopSignal* stop) {
    BoundedText result(stop);
    PartsRead read;
    const std::string main = MainPart(archive, "ppt/presentation.xml");
    read.First(main);
    const auto relationships = ReadRelationships(archive, main);
    const auto byId = ById(relationships);
    for (const ListedPart& slide :
         ReadListedParts(archive, main, Namespace::Presentation, "sldIdLst", "sldId")) {
        const Relationship* found = Find(byId, slide.relationshipId, RelationKind::Slide);
        if (!GoesOn(result)) {
            break;
        }
        if (found == nullptr || !read.First(found->target)) {
            continue;
        }
        MemberSource part(archive, found->target.c_str());
        AppendSlideText(part, result);
        const std::string notes =
            FirstUnread(ReadRelationships(archive, found->target), RelationKind::NotesSlide, read);
        if (!notes.empty() && GoesOn(result)) {
            MemberSource notesPart(archive, notes.c_str());
            AppendNotesText(notesPart, result);
        }
    }
    return result.TakeOrSpace();
}

}  // namespace

void DocumentText::BuildText() {
    searchText.clear();
    switch (archive_ != nullptr ? DetectPackageKind(*archive_) : PackageKind::None) {
        case PackageKind::Word:
            searchText = WordText(*archive_, stop_);
            break;
        case PackageKind::Workbook:
            searchText = WorkbookText(*archive_, stop_);
            break;
        case PackageKind::Presentation:
            searchText = PresentationText(*archive_, stop_);
            break;
        case PackageKind::None:
            break;
    }
}

}  // namespace quillet
