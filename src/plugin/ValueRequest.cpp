#include "plugin/ValueRequest.h"

#include <memory>
#include <string>

#include "platform/FileStamp.h"
#include "platform/FileSystem.h"
#include "plugin/FieldTable.h"
#include "plugin/FullTextCache.h"
#include "plugin/FullTextPaging.h"
#include "plugin/PropertyCache.h"
#include "plugin/ValueConversion.h"
#include "text/DocumentText.h"

namespace quillet {
namespace {

int32_t CorePropertyValue(const CoreProperties& core, int32_t fieldIndex, void* value,
                          int32_t maxLen) {
    switch (fieldIndex) {
        case CategoryField:
            return ConvertText(core.category, value, maxLen);
        case ContentStatusField:
            return ConvertText(core.contentStatus, value, maxLen);
        case ContentTypeField:
            return ConvertText(core.contentType, value, maxLen);
        case CreatedField:
            return ConvertDateTime(core.created, value);
        case CreatorField:
            return ConvertText(core.creator, value, maxLen);
        case DescriptionField:
            return ConvertText(core.description, value, maxLen);
        case IdentifierField:
            return ConvertText(core.identifier, value, maxLen);
        case KeywordsField:
            return ConvertText(core.keywords, value, maxLen);
        case LanguageField:
            return ConvertText(core.language, value, maxLen);
        case LastModifiedByField:
            return ConvertText(core.lastModifiedBy, value, maxLen);
        case LastPrintedField:
            return ConvertDateTime(core.lastPrinted, value);
        case ModifiedField:
            return ConvertDateTime(core.modified, value);
        case RevisionField:
            return ConvertText(core.revision, value, maxLen);
        case SubjectField:
            return ConvertText(core.subject, value, maxLen);
        case TitleField:
            return ConvertText(core.title, value, maxLen);
        default:
            return ConvertText(core.version, value, maxLen);
    }
}

int32_t AppPropertyValue(const AppProperties& app, int32_t fieldIndex, void* value,
                         int32_t maxLen) {
    switch (fieldIndex) {
        case AppVersionField:
            return ConvertText(app.appVersion, value, maxLen);
        case ApplicationField:
            return ConvertText(app.application, value, maxLen);
        case CharactersField:
            return ConvertCount(app.characters, value);
        case CharactersWithSpacesField:
            return ConvertCount(app.charactersWithSpaces, value);
        case CompanyField:
            return ConvertText(app.company, value, maxLen);
        case DigitalSigField:
            return ConvertFlag(app.digSig, value);
        case DigitalSigExtField:
            return ConvertFlag(app.digSigExt, value);
        case DocSecurityLevelField:
            return ConvertCount(app.docSecurity, value);
        case HiddenSlidesField:
            return ConvertCount(app.hiddenSlides, value);
        case HyperlinkBaseField:
            return ConvertText(app.hyperlinkBase, value, maxLen);
        case HyperlinksChangedField:
            return ConvertFlag(app.hyperlinksChanged, value);
        case LinesField:
            return ConvertCount(app.lines, value);
        case LinksUpToDateField:
            return ConvertFlag(app.linksUpToDate, value);
        case MMClipsField:
            return ConvertCount(app.mmClips, value);
        case ManagerField:
            return ConvertText(app.manager, value, maxLen);
        case NotesField:
            return ConvertCount(app.notes, value);
        case PagesField:
            return ConvertCount(app.pages, value);
        case ParagraphsField:
            return ConvertCount(app.paragraphs, value);
        case PresentationFormatField:
            return ConvertText(app.presentationFormat, value, maxLen);
        case ScaleCropField:
            return ConvertText(app.scaleCrop, value, maxLen);
        case SharedDocField:
            return ConvertFlag(app.sharedDoc, value);
        case SheetsField:
            return ConvertCount(app.sheets, value);
        case SlidesField:
            return ConvertCount(app.slides, value);
        case TemplateField:
            return ConvertText(app.templateName, value, maxLen);
        case TotalTimeField:
            return ConvertMinutesToTime(app.totalTime, value);
        case TotalTimeMinField:
            return ConvertCount(app.totalTime, value);
        default:
            return ConvertCount(app.words, value);
    }
}

// The caches live as long as the module: the host's calls share them.
FullTextCache& FullTexts() {
    static FullTextCache cache;
    return cache;
}

PropertyCache& Properties() {
    static PropertyCache cache;
    return cache;
}

std::shared_ptr<const std::string> BuildFullText(const char* fileName, int32_t fieldIndex) {
    DocumentText text(fileName);
    if (fieldIndex == TitlesField) {
        text.BuildTitles();
        return std::make_shared<const std::string>(std::move(text.titlesText));
    }
    text.BuildContent();
    return std::make_shared<const std::string>(std::move(text.contentText));
}

// `stamp` is null for a file whose state the system cannot tell: its text is never kept.
int32_t FullTextValue(const char* fileName, const platform::FileStamp* stamp, int32_t fieldIndex,
                      int32_t unitIndex, void* value, int32_t maxLen) {
    std::shared_ptr<const std::string> text;
    return PageFullText(unitIndex, value, maxLen, [&]() -> const std::string& {
        // A first call reads the file afresh; the next calls take the text it built for as long
        // as the file stays the same.
        if (stamp != nullptr && unitIndex != 0) {
            text = FullTexts().Find(fileName, *stamp, fieldIndex);
        }
        if (!text) {
            text = BuildFullText(fileName, fieldIndex);
            if (stamp != nullptr) {
                FullTexts().Keep(fileName, *stamp, fieldIndex, text);
            }
        }
        return *text;
    });
}

std::shared_ptr<const PropertyRecords> RecordsOf(const char* fileName,
                                                 const platform::FileStamp* stamp) {
    if (stamp == nullptr) {
        return LoadPropertyRecords(fileName);
    }
    auto records = Properties().Find(fileName, *stamp);
    if (!records) {
        records = LoadPropertyRecords(fileName);
        Properties().Keep(fileName, *stamp, records);
    }
    return records;
}

}  // namespace

int32_t ValueRequest(const char* fileName, int32_t fieldIndex, int32_t unitIndex, void* fieldValue,
                     int32_t maxLen) {
    const bool fullText = fieldIndex == TitlesField || fieldIndex == ContentField;
    if (fullText && unitIndex == -1) {
        // The transfer is over, whichever file it was for: its text need not be held any longer.
        FullTexts().Drop();
    }
    // The stamp is read before the package, so a rewrite during the read shows at the next call.
    // A file with a stamp exists; only without one is the existence asked on its own.
    platform::FileStamp stamp;
    const bool stamped = platform::ReadFileStamp(fileName, stamp);
    if (!stamped && !platform::FileExists(fileName)) {
        return FileError;
    }
    if (!IsFieldIndex(fieldIndex)) {
        return NoSuchField;
    }
    const platform::FileStamp* const state = stamped ? &stamp : nullptr;
    if (fullText) {
        return FullTextValue(fileName, state, fieldIndex, unitIndex, fieldValue, maxLen);
    }
    // Both records are read at once: the host asks for the other columns of the file next.
    const auto records = RecordsOf(fileName, state);
    if (fieldIndex <= VersionField) {
        return CorePropertyValue(records->core, fieldIndex, fieldValue, maxLen);
    }
    return AppPropertyValue(records->app, fieldIndex, fieldValue, maxLen);
}

}  // namespace quillet
