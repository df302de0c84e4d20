#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/FileStamp.h"

namespace quillet::platform {

// The file under a package, open for reading at arbitrary positions.
class File {
  public:
    virtual ~File() = default;

    // Only a disk file can be read at arbitrary positions; a pipe, a device or a directory
    // cannot hold an archive.
    virtual bool seekable() const = 0;
    // The state of the file this handle reads, from the handle itself, so that what is read is
    // the state stamped. False for anything but a regular file, or when the system cannot tell.
    virtual bool ReadStamp(FileStamp& stamp) const = 0;
    // The state of the file now, asked of the handle again: a file written while it was read
    // shows it here. False when the system cannot tell.
    virtual bool ReadStampNow(FileStamp& stamp) const = 0;
    // The file's size in bytes; false when the system cannot tell it.
    virtual bool Size(uint64_t& size) = 0;
    // Reads up to `length` bytes from the absolute `position`; answers how many arrived, fewer
    // at the end of the file or when the system fails the read.
    virtual size_t ReadAt(uint64_t position, void* buffer, size_t length) = 0;
};

}  // namespace quillet::platform
