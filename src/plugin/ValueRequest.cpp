#include "plugin/ValueRequest.h"

#include <memory>
#include <optional>
#include <string>

#include "package/ZipArchive.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "platform/PackageFile.h"
#include "plugin/FieldTable.h"
#include "plugin/FullTextTransfer.h"
#include "plugin/PropertyCache.h"
#include "plugin/ValueConversion.h"
#include "text/DocumentText.h"

namespace quillet {
namespace {

// The transfer and the cache live as long as the module: the host's calls share them.
FullTextTransfer& Transfer() {
    static FullTextTransfer transfer;
    return transfer;
}

PropertyCache& Properties() {
    static PropertyCache cache;
    return cache;
}

// The file of one request, opened once: its state is read from the handle that reads it, and
// its package is opened and indexed at most once, whatever the request reads of it.
class RequestFile {
  public:
    explicit RequestFile(const char* fileName)
        : fileName_(fileName), file_(platform::PackageFile::Open(fileName)) {
        platform::FileStamp stamp;
        if (file_ && file_->ReadStamp(stamp)) {
            key_ = FileKey{fileName, stamp, platform::ProcessAnsiName()};
        }
    }

    // An open file exists; one that cannot be opened may still (a folder, a locked file).
    bool Exists() const { return file_ != nullptr || platform::FileExists(fileName_); }
    // Null when the file's state cannot be told: then nothing read of it is kept.
    const std::optional<FileKey>& key() const { return key_; }

    // The package, or null when the file holds no readable one.
    ZipArchive* Archive() {
        if (!archiveOpened_) {
            archiveOpened_ = true;
            archive_ = ZipArchive::Open(std::move(file_));
        }
        return archive_.get();
    }

  private:
    const char* fileName_;
    std::unique_ptr<platform::PackageFile> file_;
    std::optional<FileKey> key_;
    bool archiveOpened_ = false;
    std::unique_ptr<ZipArchive> archive_;
};

int32_t PropertyValue(const FieldRow& row, const PropertyRecords& records, void* value,
                      int32_t maxLen) {
    switch (row.type) {
        case FieldString:
            return ConvertText(
                row.coreText != nullptr ? records.core.*row.coreText : records.app.*row.appText,
                value, maxLen);
        case FieldDateTime:
            return ConvertDateTime(records.core.*row.coreText, value, maxLen);
        case FieldNumeric32:
            return ConvertCount(records.app.*row.appCount, value, maxLen);
        case FieldTime:
            return ConvertMinutesToTime(records.app.*row.appCount, value, maxLen);
        case FieldBoolean:
            return ConvertFlag(records.app.*row.appFlag, value, maxLen);
        default:
            return FieldEmpty;
    }
}

std::shared_ptr<const PropertyRecords> RecordsOf(RequestFile& file) {
    const auto& key = file.key();
    if (key) {
        if (auto kept = Properties().Find(*key)) {
            return kept;
        }
    }
    auto records = std::make_shared<PropertyRecords>();
    records->Load(file.Archive());
    if (key) {
        Properties().Keep(*key, records);
    }
    return records;
}

std::string BuildFullText(RequestFile& file, const FieldRow& row) {
    DocumentText text(file.Archive());
    if (row.source == FieldSource::Titles) {
        text.BuildTitles();
        return std::move(text.titlesText);
    }
    text.BuildContent();
    return std::move(text.contentText);
}

}  // namespace

int32_t ValueRequest(const char* fileName, int32_t fieldIndex, int32_t unitIndex, void* fieldValue,
                     int32_t maxLen) {
    const bool fullText = IsFieldIndex(fieldIndex) && FieldRows[fieldIndex].type == FieldFullText;
    if (fullText && unitIndex == QUILLET_FULL_TEXT_END) {
        // The transfer is over, whichever file it was for: its text need not be held any longer.
        Transfer().Drop();
    }
    RequestFile file(fileName);
    if (!file.Exists()) {
        return FileError;
    }
    if (!IsFieldIndex(fieldIndex)) {
        return NoSuchField;
    }
    const FieldRow& row = FieldRows[fieldIndex];
    if (fullText) {
        return Transfer().Step(unitIndex, file.key(), fieldIndex, fieldValue, maxLen,
                               [&] { return BuildFullText(file, row); });
    }
    // Both records are read at once: the host asks for the other columns of the file next.
    return PropertyValue(row, *RecordsOf(file), fieldValue, maxLen);
}

}  // namespace quillet
