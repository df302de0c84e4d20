#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "package/ArchiveFile.h"
#include "package/MemberExtents.h"
#include "package/NameIndex.h"
#include "package/ZipFormat.h"

namespace quillet::zip {

// The entries that a walk of the central directory from its first entry reaches: it ends after
// the entry count, at the first header that is bad or runs past the directory, and after
// MaxEntries entries at most.
class CentralDirectory {
  public:
    static constexpr int32_t MaxEntries = 65535;

    // Walks the `size` bytes of directory at file position `position`, then indexes the names
    // and finds the members that overlap. Throws only std::bad_alloc.
    void Read(ArchiveFile& file, uint64_t position, uint64_t size, uint32_t entryCount);

    // Entries 0 to reachable() - 1 are sound; the walk never gets past them.
    int32_t reachable() const { return static_cast<int32_t>(entries_.size()); }
    const CentralHeader& entry(int32_t index) const { return entries_[static_cast<size_t>(index)]; }
    std::optional<int32_t> FindName(std::string_view wanted) { return index_.Find(wanted); }

    // Entry `index`'s local header and data share bytes with another entry's, by what the
    // directory tells of both: such a member is unreadable.
    bool Overlapped(int32_t index) const { return extents_.Overlapped(index); }
    // Entry `index`, whose data its local header puts before `dataEnd`, reaches into another
    // entry's local header or data.
    bool ReachesAnother(int32_t index, uint64_t dataEnd) const {
        return extents_.ReachesAnother(index, dataEnd);
    }

  private:
    void ReadEntries(ArchiveFile& file, uint64_t position, uint64_t size, uint32_t entryCount);

    std::vector<CentralHeader> entries_;
    NameIndex index_;
    MemberExtents extents_;
};

}  // namespace quillet::zip
