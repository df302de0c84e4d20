#include "plugin/ValueRequest.h"

#include "platform/FileSystem.h"
#include "plugin/FieldTable.h"
#include "plugin/FullTextPaging.h"
#include "plugin/ValueConversion.h"
#include "props/AppProperties.h"
#include "props/CoreProperties.h"
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

int32_t FullTextValue(const char* fileName, int32_t fieldIndex, int32_t unitIndex, void* value,
                      int32_t maxLen) {
    DocumentText text(fileName);
    if (fieldIndex == TitlesField) {
        return PageFullText(unitIndex, value, maxLen, [&]() -> const std::string& {
            text.BuildTitles();
            return text.titlesText;
        });
    }
    return PageFullText(unitIndex, value, maxLen, [&]() -> const std::string& {
        text.BuildContent();
        return text.contentText;
    });
}

}  // namespace

int32_t ValueRequest(const char* fileName, int32_t fieldIndex, int32_t unitIndex, void* fieldValue,
                     int32_t maxLen) {
    if (!platform::FileExists(fileName)) {
        return FileError;
    }
    // Every answer depends only on its own field's source, so a field is read without loading
    // the records that other fields need.
    if (!IsFieldIndex(fieldIndex)) {
        return NoSuchField;
    }
    if (fieldIndex == TitlesField || fieldIndex == ContentField) {
        return FullTextValue(fileName, fieldIndex, unitIndex, fieldValue, maxLen);
    }
    if (fieldIndex <= VersionField) {
        CoreProperties core(fileName);
        core.Load();
        return CorePropertyValue(core, fieldIndex, fieldValue, maxLen);
    }
    AppProperties app(fileName);
    app.Load();
    return AppPropertyValue(app, fieldIndex, fieldValue, maxLen);
}

}  // namespace quillet
