#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "package/CentralDirectory.h"
#include "package/MemberReader.h"
#include "package/RequestBudget.h"
#include "package/ZipTypes.h"
#include "platform/PackageFile.h"

namespace quillet {

// One ZIP package open for reading: single disk, 32-bit sizes, stored and deflated members,
// its central directory read and its names indexed once.
class ZipArchive {
  public:
    // Opens the archive in an open file; null when there is no file or it holds no readable
    // archive.
    static std::unique_ptr<ZipArchive> Open(std::unique_ptr<platform::PackageFile> file);
    // Closes an open member, the archive and its file; a null archive answers ZipBadArgument.
    static ZipResult Close(std::unique_ptr<ZipArchive> archive);

    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // The first member whose name equals `name` with ASCII letter case ignored.
    ZipResult FindMember(const char* name, int32_t& index, ZipEntry& entry);
    // The entry of member `index`; -1 asks for the entry count (in the entry's index).
    ZipResult DescribeMember(int32_t index, ZipEntry& entry);
    // Writes up to `size` further bytes of member `index` into `buffer`: ZipBufferFilled when it
    // wrote any and keeps the member open, ZipOk when it wrote none and closed it. Fewer than
    // `size` bytes are written only at the end of the member's data; `written`, when given,
    // receives the count.
    ZipResult ExtractMember(int32_t index, void* buffer, uint32_t size,
                            uint32_t* written = nullptr);

    int32_t entryCount() const { return entryCount_; }
    // Whether something of this request's reading failed for a reason that may pass: a read
    // that came short, or memory that ran out. What was read then must not be kept.
    bool metPassingFailure() const { return file_->shortRead() || shortOfMemory_; }
    // Notes that a step gave up for lack of memory, not because of the package.
    void NoteShortOfMemory() const { shortOfMemory_ = true; }
    uint64_t prefixLength() const { return prefixLength_; }
    // A request reads one archive: its account is the request's.
    RequestBudget& budget() { return budget_; }
    // The most bytes that extracting member `index` can deliver: its declared size, bounded by
    // what its compressed data can yield. 0 for a member that the directory walk cannot reach.
    uint64_t DeliverableSize(int32_t index) const;

  private:
    // Where the local header puts the member's data.
    struct LocalLayout {
        uint64_t dataOffset = 0;
    };

    explicit ZipArchive(std::unique_ptr<platform::PackageFile> file);

    ScanStatus FindEndRecord(uint64_t& position);
    ScanStatus ReadEndRecord();
    // Where a ZIP64 end record stands that ends at a locator right before the end record at
    // `endRecordPos`; false when there is none.
    bool FindZip64Records(uint64_t endRecordPos, uint64_t& recordPos) const;
    bool ReadExactly(uint64_t position, unsigned char* buffer, size_t length) const;
    bool Zip64RecordEndsAt(uint64_t candidate, uint64_t locatorPos) const;

    // The directory entry of member `index`, or null when the walk did not reach it.
    const zip::DirectoryEntry* EntryAt(int32_t index) const;
    ScanStatus CheckLocalHeader(int32_t index, LocalLayout& layout) const;
    ZipResult FillEntry(int32_t index, ZipEntry& entry) const;

    ScanStatus OpenMember(int32_t index);
    int64_t ReadMember(void* buffer, uint32_t size);
    void CloseMember();

    std::unique_ptr<platform::PackageFile> file_;
    int32_t entryCount_ = 0;
    uint64_t prefixLength_ = 0;
    uint64_t endRecordPos_ = 0;
    uint32_t centralDirSize_ = 0;
    uint32_t centralDirOffset_ = 0;
    zip::CentralDirectory directory_;

    mutable bool shortOfMemory_ = false;  // noted by reads that change nothing else
    std::unique_ptr<zip::MemberReader> openMember_;
    int32_t openMemberIndex_ = -1;
    ZipEntry cachedEntry_;
    int32_t cachedIndex_ = -1;
    RequestBudget budget_;
    uint64_t fileSize_ = 0;
    // The member whose local header was checked last, and where it puts the data.
    mutable int32_t checkedIndex_ = -1;
    mutable LocalLayout checkedLayout_;
};

}  // namespace quillet
