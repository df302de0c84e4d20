#include "plugin/ValueRequest.h"

#include <memory>
#include <optional>
#include <string>

#include "package/ZipArchive.h"
#include "platform/Env.h"
#include "platform/FileStamp.h"
#include "platform/FileSystem.h"
#include "platform/Unicode.h"
#include "plugin/ActiveBuilds.h"
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

ActiveBuilds& Builds() {
    static ActiveBuilds builds;
    return builds;
}

// The file of one request. Its state is read by path to look up what is kept of it; the file is
// opened, and its package opened and indexed, at most once, and only when something must be
// read. What is read is kept under the state of the handle that read it, so a file changed
// between the look-up and the read is never kept under its old state.
class RequestFile {
  public:
    explicit RequestFile(const platform::FilePath& fileName) : fileName_(fileName) {
        platform::FileStamp stamp;
        if (platform::ReadFileStamp(fileName, stamp)) {
            lookupStamp_ = stamp;
        }
    }

    const platform::FilePath& name() const { return fileName_; }
    // A stamped file exists; one without a stamp may still (a folder, a link to nowhere).
    bool Exists() const { return lookupStamp_.has_value() || platform::FileExists(fileName_); }
    // The file's state by its path; null when it cannot be told: nothing kept then serves it.
    const platform::FileStamp* LookupStamp() const {
        return lookupStamp_ ? &*lookupStamp_ : nullptr;
    }
    // The state what was read came from; none when nothing may be kept of it: also after a read
    // that came short or memory that ran out, so that the next request reads the file afresh.
    std::optional<platform::FileStamp> KeepStamp() const {
        if (archive_ && archive_->metPassingFailure()) {
            return std::nullopt;
        }
        return keepStamp_;
    }
    // Whether the file was not written while it was read, asked once what is needed is read. A
    // request that read a file written meanwhile may have read it torn: it answers as for a
    // package it could not read, and keeps nothing.
    bool Unchanged() { return archive_ == nullptr || archive_->FileUnchanged(); }
    std::optional<FileKey> LookupKey(const std::string& form) const {
        return KeyOf(lookupStamp_, form);
    }
    std::optional<FileKey> KeepKey(const std::string& form) const {
        return KeyOf(KeepStamp(), form);
    }

    // The package, or null when the file holds no readable one.
    ZipArchive* Archive() {
        if (!opened_) {
            opened_ = true;
            auto file = platform::DefaultEnv().OpenFile(fileName_);
            platform::FileStamp stamp;
            if (lookupStamp_ && file && file->ReadStamp(stamp)) {
                keepStamp_ = stamp;
            }
            archive_ = ZipArchive::Open(std::move(file));
            if (!archive_) {
                keepStamp_.reset();  // nothing of a package that did not open is worth keeping
            }
        }
        return archive_.get();
    }

  private:
    std::optional<FileKey> KeyOf(const std::optional<platform::FileStamp>& stamp,
                                 const std::string& form) const {
        if (!stamp) {
            return std::nullopt;
        }
        return FileKey{std::string(fileName_.text()), *stamp, form};
    }

    const platform::FilePath& fileName_;
    std::optional<platform::FileStamp> lookupStamp_;
    std::optional<platform::FileStamp> keepStamp_;
    bool opened_ = false;
    std::unique_ptr<ZipArchive> archive_;
};

// Only what the host's buffer can take is converted: a record may hold megabytes.
int32_t TextValue(TextForm form, const std::string& utf8, void* value, int32_t maxLen) {
    if (form == TextForm::Utf16) {
        return ConvertTextW(utf8, value, maxLen);
    }
    const size_t room = maxLen > 1 ? static_cast<size_t>(maxLen) - 1 : 0;
    const std::string_view head = std::string_view(utf8).substr(0, room);
    if (platform::IsAscii(head)) {
        return ConvertText(head, value, maxLen);  // the same bytes in every code page
    }
    return ConvertText(AnsiPrefixOf(utf8, room), value, maxLen);
}

int32_t PropertyValue(TextForm form, const FieldRow& row, const PropertyRecords& records,
                      void* value, int32_t maxLen) {
    switch (row.type) {
        case FieldString:
            return TextValue(
                form,
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
    if (const platform::FileStamp* stamp = file.LookupStamp()) {
        if (auto kept = Properties().Find(file.name().text(), *stamp)) {
            return kept;
        }
    }
    auto records = std::make_shared<PropertyRecords>();
    records->Load(file.Archive());
    if (!file.Unchanged()) {
        return std::make_shared<PropertyRecords>();
    }
    if (const auto stamp = file.KeepStamp()) {
        Properties().Keep(std::string(file.name().text()), *stamp, records);
    }
    return records;
}

// The UTF-8 text of the field; the build ends early when a stop for the file comes.
std::string BuildUtf8(RequestFile& file, const FieldRow& row, const StopSignal& stop) {
    // The extended properties count the sheets and slides; the host has mostly read them already.
    const auto records = RecordsOf(file);
    DocumentText text(file.Archive(), records->app, &stop);
    if (row.source == FieldSource::Titles) {
        text.BuildTitles();
        return std::move(text.titlesText);
    }
    if (row.source == FieldSource::Text) {
        text.BuildText();
        return std::move(text.searchText);
    }
    text.BuildContent();
    return std::move(text.contentText);
}

FullTextTransfer::Built BuildFullText(RequestFile& file, const FieldRow& row, TextForm form) {
    const ActiveBuilds::Registration build(Builds(), std::string(file.name().text()));
    std::string utf8 = BuildUtf8(file, row, build.signal());
    if (!file.Unchanged()) {
        utf8.clear();
    }
    FullTextTransfer::Built built;
    built.stopped = build.signal().requested();
    if (built.stopped) {
        return built;  // nothing of a stopped build is handed over or kept
    }
    built.key = file.KeepKey(FormName(form));
    // A UTF-16 transfer keeps the UTF-8 and converts each piece as it hands it over.
    built.text = form == TextForm::Ansi ? AnsiOf(std::move(utf8)) : std::move(utf8);
    return built;
}

}  // namespace

void StopValueRequests(const platform::FilePath& fileName) {
    Builds().Stop(fileName.text());
}

void DropKeptAnswers() {
    Transfer().Drop();
    Properties().Clear();
}

int32_t AnswerValue(const platform::FilePath& fileName, TextForm form, int32_t fieldIndex,
                    int32_t unitIndex, void* fieldValue, int32_t maxLen) {
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
        return Transfer().Step(form, unitIndex, file.LookupKey(FormName(form)), fieldIndex,
                               fieldValue, maxLen, [&] { return BuildFullText(file, row, form); });
    }
    // Both records are read at once: the host asks for the other columns of the file next.
    return PropertyValue(form, row, *RecordsOf(file), fieldValue, maxLen);
}

}  // namespace quillet
