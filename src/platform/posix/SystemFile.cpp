#include "platform/SystemFile.h"

#include "platform/posix/StatStamp.h"

#include <cerrno>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::platform {
namespace {

int Descriptor(intptr_t handle) {
    return static_cast<int>(handle);
}

}  // namespace

std::unique_ptr<SystemFile> SystemFile::Open(const FilePath& path) {
    if (path.empty()) {
        return nullptr;
    }
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; it changes nothing for a
    // regular file.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat status {};
    const bool seekable = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    std::unique_ptr<SystemFile> file(new (std::nothrow) SystemFile(descriptor, seekable));
    if (!file) {
        ::close(descriptor);
        return nullptr;
    }
    // One fstat serves the open, the size and the stamp: each system call counts when a host
    // fills a row of columns for every file of a folder.
    file->stamped_ = seekable && StampOfStatus(status, file->stamp_);
    return file;
}

SystemFile::~SystemFile() {
    ::close(Descriptor(handle_));
}

bool SystemFile::Size(uint64_t& size) {
    if (stamped_) {
        size = stamp_.size;
        return true;
    }
    struct stat status {};
    if (::fstat(Descriptor(handle_), &status) != 0 || status.st_size < 0) {
        return false;
    }
    size = static_cast<uint64_t>(status.st_size);
    return true;
}

bool SystemFile::ReadStamp(FileStamp& stamp) const {
    stamp = stamp_;
    return stamped_;
}

bool SystemFile::ReadStampNow(FileStamp& stamp) const {
    struct stat status {};
    return seekable_ && ::fstat(Descriptor(handle_), &status) == 0 && StampOfStatus(status, stamp);
}

size_t SystemFile::ReadFromSystem(uint64_t position, void* buffer, size_t length) {
    auto* const bytes = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < length) {
        const uint64_t at = position + done;
        if (at > static_cast<uint64_t>(INT64_MAX)) {
            break;
        }
        const ssize_t got =
            ::pread(Descriptor(handle_), bytes + done, length - done, static_cast<off_t>(at));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            break;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<size_t>(got);
    }
    return done;
}

}  // namespace quillet::platform
