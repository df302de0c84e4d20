#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/File.h"
#include "platform/FilePath.h"

namespace quillet::platform {

// A file of the file system. When the first read lies among its last TailBytes, those are read
// at once and kept: later reads within them cost no system call. A package is first read at its
// end, where it keeps its directory, and a small one all its members.
class SystemFile final : public File {
  public:
    static constexpr uint64_t TailBytes = 64 * 1024;

    // Null when the file cannot be opened.
    static std::unique_ptr<SystemFile> Open(const FilePath& path);
    ~SystemFile() override;
    SystemFile(const SystemFile&) = delete;
    SystemFile& operator=(const SystemFile&) = delete;

    bool seekable() const override { return seekable_; }
    bool ReadStamp(FileStamp& stamp) const override;
    bool ReadStampNow(FileStamp& stamp) const override;
    bool Size(uint64_t& size) override;
    size_t ReadAt(uint64_t position, void* buffer, size_t length) override;

  private:
    SystemFile(intptr_t handle, bool seekable) : handle_(handle), seekable_(seekable) {}
    // The system's own read.
    size_t ReadFromSystem(uint64_t position, void* buffer, size_t length);
    // Keeps the file's last bytes when the first read, at `position`, lies among them.
    void KeepTailFor(uint64_t position);

    intptr_t handle_;
    bool seekable_;

    bool tailTried_ = false;
    std::unique_ptr<unsigned char[]> tail_;
    size_t tailSize_ = 0;
    uint64_t tailStart_ = 0;
    // What the system told of the file when it was opened, where it keeps that at hand.
    FileStamp stamp_;
    bool stamped_ = false;
};

}  // namespace quillet::platform
