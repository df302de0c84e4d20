#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include <quillet/content_plugin.h>

#include "props/AppProperties.h"
#include "props/CoreProperties.h"

namespace quillet {

// Where a field's value comes from.
enum class FieldSource { Core, App, Titles, Content, Text };

// How the extended properties reader turns an element's text into its member. None: the member
// is another row's (TotalTimeMin shows the minutes TotalTime reads).
enum class AppRule { None, Text, Count, Flag, ScaleOrCrop, HasText, SheetCount };

// One field: its name and type as the host sees them, the record and element it is read from,
// and the member that holds it. This one table drives the host's field table, the value a
// request answers, what the property readers read and what the property cache weighs, so a
// field is added in one place.
struct FieldRow {
    const char* name;
    int32_t type;
    FieldSource source;
    const char* element;  // the child element read; null where no element is
    AppRule rule = AppRule::None;
    std::string CoreProperties::*coreText = nullptr;
    std::string AppProperties::*appText = nullptr;
    int32_t AppProperties::*appCount = nullptr;
    bool AppProperties::*appFlag = nullptr;
};

namespace rows {

constexpr FieldRow CoreText(const char* name, const char* element,
                            std::string CoreProperties::*member) {
    return {name, QUILLET_FIELD_STRING, FieldSource::Core, element, AppRule::None, member};
}
constexpr FieldRow CoreDate(const char* name, const char* element,
                            std::string CoreProperties::*member) {
    return {name, QUILLET_FIELD_DATE_TIME, FieldSource::Core, element, AppRule::None, member};
}
constexpr FieldRow AppText(const char* name, const char* element,
                           std::string AppProperties::*member, AppRule rule = AppRule::Text) {
    return {name, QUILLET_FIELD_STRING, FieldSource::App, element, rule, nullptr, member};
}
constexpr FieldRow AppCount(const char* name, const char* element, int32_t AppProperties::*member,
                            AppRule rule = AppRule::Count, int32_t type = QUILLET_FIELD_NUMERIC32) {
    return {name, type, FieldSource::App, element, rule, nullptr, nullptr, member};
}
constexpr FieldRow AppFlag(const char* name, const char* element, bool AppProperties::*member,
                           AppRule rule = AppRule::Flag) {
    return {
        name,  QUILLET_FIELD_BOOLEAN, FieldSource::App, element, rule, nullptr, nullptr, nullptr,
        member};
}
constexpr FieldRow FullText(const char* name, FieldSource source) {
    return {name, QUILLET_FIELD_FULL_TEXT, source, nullptr};
}

}  // namespace rows

// Indexes are part of the host interface: the order never changes. Core properties, then
// extended properties, each group in byte order of the names, then the full texts in the order
// they were added.
inline constexpr FieldRow FieldRows[] = {
    rows::CoreText("Category", "cp:category", &CoreProperties::category),
    rows::CoreText("ContentStatus", "cp:contentStatus", &CoreProperties::contentStatus),
    rows::CoreText("ContentType", "cp:contentType", &CoreProperties::contentType),
    rows::CoreDate("Created", "dcterms:created", &CoreProperties::created),
    rows::CoreText("Creator", "dc:creator", &CoreProperties::creator),
    rows::CoreText("Description", "dc:description", &CoreProperties::description),
    rows::CoreText("Identifier", "dc:identifier", &CoreProperties::identifier),
    rows::CoreText("Keywords", "cp:keywords", &CoreProperties::keywords),
    rows::CoreText("Language", "dc:language", &CoreProperties::language),
    rows::CoreText("LastModifiedBy", "cp:lastModifiedBy", &CoreProperties::lastModifiedBy),
    rows::CoreDate("LastPrinted", "cp:lastPrinted", &CoreProperties::lastPrinted),
    rows::CoreDate("Modified", "dcterms:modified", &CoreProperties::modified),
    rows::CoreText("Revision", "cp:revision", &CoreProperties::revision),
    rows::CoreText("Subject", "dc:subject", &CoreProperties::subject),
    rows::CoreText("Title", "dc:title", &CoreProperties::title),
    rows::CoreText("Version", "cp:version", &CoreProperties::version),
    rows::AppText("AppVersion", "AppVersion", &AppProperties::appVersion),
    rows::AppText("Application", "Application", &AppProperties::application),
    rows::AppCount("Characters", "Characters", &AppProperties::characters),
    rows::AppCount("CharactersWithSpaces", "CharactersWithSpaces",
                   &AppProperties::charactersWithSpaces),
    rows::AppText("Company", "Company", &AppProperties::company),
    rows::AppFlag("DigitalSig", "DigSig", &AppProperties::digSig, AppRule::HasText),
    rows::AppFlag("DigitalSigExt", "DigSigExt", &AppProperties::digSigExt, AppRule::HasText),
    rows::AppCount("DocSecurityLevel", "DocSecurity", &AppProperties::docSecurity),
    rows::AppCount("HiddenSlides", "HiddenSlides", &AppProperties::hiddenSlides),
    rows::AppText("HyperlinkBase", "HyperlinkBase", &AppProperties::hyperlinkBase),
    rows::AppFlag("HyperlinksChanged", "HyperlinksChanged", &AppProperties::hyperlinksChanged),
    rows::AppCount("Lines", "Lines", &AppProperties::lines),
    rows::AppFlag("LinksUpToDate", "LinksUpToDate", &AppProperties::linksUpToDate),
    rows::AppCount("MMClips", "MMClips", &AppProperties::mmClips),
    rows::AppText("Manager", "Manager", &AppProperties::manager),
    rows::AppCount("Notes", "Notes", &AppProperties::notes),
    rows::AppCount("Pages", "Pages", &AppProperties::pages),
    rows::AppCount("Paragraphs", "Paragraphs", &AppProperties::paragraphs),
    rows::AppText("PresentationFormat", "PresentationFormat", &AppProperties::presentationFormat),
    rows::AppText("ScaleCrop", "ScaleCrop", &AppProperties::scaleCrop, AppRule::ScaleOrCrop),
    rows::AppFlag("SharedDoc", "SharedDoc", &AppProperties::sharedDoc),
    rows::AppCount("Sheets", nullptr, &AppProperties::sheets, AppRule::SheetCount),
    rows::AppCount("Slides", "Slides", &AppProperties::slides),
    rows::AppText("Template", "Template", &AppProperties::templateName),
    rows::AppCount("TotalTime", "TotalTime", &AppProperties::totalTime, AppRule::Count,
                   QUILLET_FIELD_TIME),
    rows::AppCount("TotalTimeMin", "TotalTime", &AppProperties::totalTime, AppRule::None),
    rows::AppCount("Words", "Words", &AppProperties::words),
    rows::FullText("Titles", FieldSource::Titles),
    rows::FullText("Content", FieldSource::Content),
    rows::FullText("Text", FieldSource::Text),
};

constexpr int32_t FieldCount = static_cast<int32_t>(std::size(FieldRows));
static_assert(FieldCount == QUILLET_FIELD_COUNT, "the interface names every field");

inline bool IsFieldIndex(int32_t index) {
    return index >= 0 && index < FieldCount;
}

}  // namespace quillet
