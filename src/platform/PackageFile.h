#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/FilePath.h"
#include "platform/FileStamp.h"

namespace quillet::platform {

// The file under a package, opened for reading only and shared with writers, so a document that
// an office program holds open can still be read.
class PackageFile {
  public:
    // Null when the file cannot be opened.
    static std::unique_ptr<PackageFile> Open(const FilePath& path);
    static std::unique_ptr<PackageFile> Open(const char* path) { return Open(FilePath(path)); }
    ~PackageFile();
    PackageFile(const PackageFile&) = delete;
    PackageFile& operator=(const PackageFile&) = delete;

    // Only a disk file can be read at arbitrary positions; a pipe, a device or a directory
    // cannot hold an archive.
    bool seekable() const { return seekable_; }
    // The state of the file this handle reads, from the handle itself, so that what is read is
    // the state stamped. False for anything but a regular file, or when the system cannot tell.
    bool ReadStamp(FileStamp& stamp) const;

    // The file's size in bytes; false when the system cannot tell it.
    bool Size(uint64_t& size);
    // Reads up to `length` bytes from the absolute `position`; answers how many arrived, fewer
    // at the end of the file or when the system fails the read.
    size_t ReadAt(uint64_t position, void* buffer, size_t length);
    // The file's last `length` bytes (all of a shorter file), read once and kept: later reads
    // within them cost no system call. A package keeps its directory, and a small one all its
    // members, at its end. False when the system cannot deliver them.
    bool KeepTail(uint64_t length, const unsigned char*& bytes, size_t& size, uint64_t& start);
    // Whether a read delivered fewer bytes than it asked for: the file ended early, changed, or
    // the system failed the read. What was read then need not be what the file holds.
    bool shortRead() const { return shortRead_; }

  private:
    PackageFile(intptr_t handle, bool seekable) : handle_(handle), seekable_(seekable) {}
    // The system's own read.
    size_t ReadFromSystem(uint64_t position, void* buffer, size_t length);

    intptr_t handle_;
    bool seekable_;

    std::unique_ptr<unsigned char[]> tail_;
    size_t tailSize_ = 0;
    uint64_t tailStart_ = 0;
    // What the system told of the file when it was opened, where it keeps that at hand.
    FileStamp stamp_;
    bool stamped_ = false;
    bool shortRead_ = false;
};

}  // namespace quillet::platform
