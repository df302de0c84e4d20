#include "plugin/ValueRequest.h"

#include <memory>
#include <optional>
#include <string>

#include "package/ZipArchive.h"
#include "platform/CodePage.h"
#include "platform/FileStamp.h"
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

// The file of one request. Its state is read by path to look up what is kept of it; the file is
// opened, and its package opened and indexed, at most once, and only when something must be
// read. What is read is kept under the state of the handle that read it, so a file changed
// between the look-up and the read is never kept under its old state.
class RequestFile {
  public:
    explicit RequestFile(const char* fileName) : fileName_(fileName) {
        platform::FileStamp stamp;
        if (platform::ReadFileStamp(fileName, stamp)) {
            lookupKey_ = FileKey{fileName, stamp, platform::ProcessAnsiName()};
        }
    }

    // A stamped file exists; one without a stamp may still (a folder, a link to nowhere).
    bool Exists() const { return lookupKey_.has_value() || platform::FileExists(fileName_); }
    // Null when the file's state cannot be told: nothing kept then serves it.
    const std::optional<FileKey>& lookupKey() const { return lookupKey_; }
    // The state what was read came from; null when nothing may be kept of it: also after a read
    // that came short or memory that ran out, so that the next request reads the file afresh.
    std::optional<FileKey> keepKey() const {
        if (archive_ && archive_->metPassingFailure()) {
            return std::nullopt;
        }
        return keepKey_;
    }

    // The package, or null when the file holds no readable one.
    ZipArchive* Archive() {
        if (!opened_) {
            opened_ = true;
            auto file = platform::PackageFile::Open(fileName_);
            platform::FileStamp stamp;
            if (lookupKey_ && file && file->ReadStamp(stamp)) {
                keepKey_ = FileKey{fileName_, stamp, lookupKey_->form};
            }
            archive_ = ZipArchive::Open(std::move(file));
            if (!archive_) {
                keepKey_.reset();  // nothing of a package that did not open is worth keeping
            }
        }
        return archive_.get();
    }

  private:
    const char* fileName_;
    std::optional<FileKey> lookupKey_;
    std::optional<FileKey> keepKey_;
    bool opened_ = false;
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
    if (file.lookupKey()) {
        if (auto kept = Properties().Find(*file.lookupKey())) {
            return kept;
        }
    }
    auto records = std::make_shared<PropertyRecords>();
    records->Load(file.Archive());
    if (file.keepKey()) {
        Properties().Keep(*file.keepKey(), records);
    }
    return records;
}

FullTextTransfer::Built BuildFullText(RequestFile& file, const FieldRow& row) {
    DocumentText text(file.Archive());
    if (row.source == FieldSource::Titles) {
        text.BuildTitles();
        return {std::move(text.titlesText), file.keepKey()};
    }
    text.BuildContent();
    return {std::move(text.contentText), file.keepKey()};
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
        return Transfer().Step(unitIndex, file.lookupKey(), fieldIndex, fieldValue, maxLen,
                               [&] { return BuildFullText(file, row); });
    }
    // Both records are read at once: the host asks for the other columns of the file next.
    return PropertyValue(row, *RecordsOf(file), fieldValue, maxLen);
}

}  // namespace quillet
