#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "package/ArchiveFile.h"
#include "package/CentralDirectory.h"
#include "package/MemberReader.h"
#include "package/RequestBudget.h"
#include "package/Status.h"
#include "platform/File.h"

namespace quillet {

// One ZIP package open for one request: single disk, 32-bit sizes, stored and deflated members,
// its central directory read and its names indexed once. Members are found by name, ASCII letter
// case ignored.
class ZipArchive {
  public:
    // Members declaring this many bytes or more are unreadable: no part of a real document is
    // that large, and no size a host is told can hold it.
    static constexpr uint64_t UnreadableMemberSize = uint64_t{1} << 31;

    // Opens the archive in a file; null when there is no file or it holds no readable archive.
    static std::unique_ptr<ZipArchive> Open(std::unique_ptr<platform::File> file);

    // A member of that name exists and its local header agrees with the directory.
    bool HasMember(std::string_view name);
    // The member's reader: NotFound, or Unreadable when the member is damaged, shares bytes
    // with another, declares UnreadableMemberSize or more, or memory is short.
    Status OpenMember(std::string_view name, std::unique_ptr<zip::MemberReader>& reader);

    // A request reads one archive: its account is the request's.
    RequestBudget& budget() { return budget_; }
    // Whether something of this request's reading failed for a reason that may pass (see
    // ArchiveFile): what was read then must not be kept.
    bool metPassingFailure() const { return file_.metPassingFailure(); }
    // Whether the file was not written since it was opened, asked once what is needed is read.
    bool FileUnchanged() { return file_.Unchanged(); }
    // Notes that a step gave up for lack of memory, not because of the package.
    void NoteShortOfMemory() { file_.NotePassingFailure(); }

  private:
    ZipArchive(std::unique_ptr<platform::File> file, uint64_t size);

    bool FindEndRecord(uint64_t& position);
    bool ReadEndRecord();
    // Where a ZIP64 end record stands that ends at a locator right before the end record at
    // `endRecordPos`; false when there is none.
    bool FindZip64Records(uint64_t endRecordPos, uint64_t& recordPos);
    bool Zip64RecordEndsAt(uint64_t candidate, uint64_t locatorPos);

    // The member of that name and where its data lies: NotFound or Unreadable.
    Status Locate(std::string_view name, zip::MemberLayout& layout);
    // Checks member `index`'s local header against the directory.
    bool CheckLocalHeader(int32_t index, zip::MemberLayout& layout);

    zip::ArchiveFile file_;
    RequestBudget budget_;
    uint32_t entryCount_ = 0;
    uint64_t prefixLength_ = 0;
    uint32_t centralDirSize_ = 0;
    uint32_t centralDirOffset_ = 0;
    zip::CentralDirectory directory_;
    // The member whose local header was checked last, and where it puts the data: a member is
    // looked for, then opened.
    int32_t checkedIndex_ = -1;
    zip::MemberLayout checkedLayout_;
};

}  // namespace quillet
