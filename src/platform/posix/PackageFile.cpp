#include "platform/PackageFile.h"
#include "platform/ReadFaults.h"

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

std::unique_ptr<PackageFile> PackageFile::Open(const char* path) {
    if (path == nullptr || path[0] == '\0') {
        return nullptr;
    }
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; it changes nothing for a
    // regular file.
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat status {};
    const bool seekable = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    std::unique_ptr<PackageFile> file(new (std::nothrow) PackageFile(descriptor, seekable));
    if (!file) {
        ::close(descriptor);
    }
    return file;
}

PackageFile::~PackageFile() {
    ::close(Descriptor(handle_));
}

bool PackageFile::Size(uint64_t& size) {
    struct stat status {};
    if (::fstat(Descriptor(handle_), &status) != 0 || status.st_size < 0) {
        return false;
    }
    size = static_cast<uint64_t>(status.st_size);
    return true;
}

bool PackageFile::ReadStamp(FileStamp& stamp) const {
    struct stat status {};
    return ::fstat(Descriptor(handle_), &status) == 0 && StampOfStatus(status, stamp);
}

size_t PackageFile::ReadAt(uint64_t position, void* buffer, size_t length) {
#ifdef QUILLET_READ_FAULTS
    const size_t done = ReadUpTo(position, buffer, ReadFaultLimit(position, length));
#else
    const size_t done = ReadUpTo(position, buffer, length);
#endif
    shortRead_ = shortRead_ || done < length;
    return done;
}

size_t PackageFile::ReadUpTo(uint64_t position, void* buffer, size_t length) {
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
