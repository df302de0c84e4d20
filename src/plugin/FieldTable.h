#pragma once

#include <cstdint>

namespace quillet {

// The host's type codes for a field's value.
enum FieldType : int32_t {
    FieldNumeric32 = 1,
    FieldTime = 5,
    FieldBoolean = 6,
    FieldString = 8,
    FieldFullText = 9,
    FieldDateTime = 10,
};

// Answers of the entry points besides a FieldType.
enum ValueResult : int32_t {
    NoMoreFields = 0,
    NoSuchField = -1,
    FileError = -2,
    FieldEmpty = -3,
};

struct FieldDescriptor {
    const char* name;
    int32_t type;
    const char* units;
};

// Indexes are part of the host interface: the order never changes.
enum FieldIndex : int32_t {
    CategoryField = 0,
    ContentStatusField,
    ContentTypeField,
    CreatedField,
    CreatorField,
    DescriptionField,
    IdentifierField,
    KeywordsField,
    LanguageField,
    LastModifiedByField,
    LastPrintedField,
    ModifiedField,
    RevisionField,
    SubjectField,
    TitleField,
    VersionField,
    AppVersionField,
    ApplicationField,
    CharactersField,
    CharactersWithSpacesField,
    CompanyField,
    DigitalSigField,
    DigitalSigExtField,
    DocSecurityLevelField,
    HiddenSlidesField,
    HyperlinkBaseField,
    HyperlinksChangedField,
    LinesField,
    LinksUpToDateField,
    MMClipsField,
    ManagerField,
    NotesField,
    PagesField,
    ParagraphsField,
    PresentationFormatField,
    ScaleCropField,
    SharedDocField,
    SheetsField,
    SlidesField,
    TemplateField,
    TotalTimeField,
    TotalTimeMinField,
    WordsField,
    TitlesField,
    ContentField,
};

constexpr int32_t FieldCount = 45;

extern const FieldDescriptor FieldTable[FieldCount];

// The expression over file extensions that tells the host which files to hand over.
extern const char* const DetectionExpression;

inline bool IsFieldIndex(int32_t index) {
    return index >= 0 && index < FieldCount;
}

}  // namespace quillet
