#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "package/MemberSource.h"
#include "package/ZipArchive.h"
#include "platform/Env.h"
#include "support/PackageBuilder.h"
#include "support/TempFile.h"

namespace quillet {

// The archive in the file at `path`, as a request opens it; null when there is none.
inline std::unique_ptr<ZipArchive> OpenArchiveFile(const char* path) {
    return ZipArchive::Open(platform::SystemEnv().OpenFile(platform::FilePath(path)));
}

// What a member delivered through its source, read in pieces of `piece` bytes to its end.
struct MemberBytes {
    Status status;
    std::string bytes;
};

inline MemberBytes ReadMemberBytes(ZipArchive& archive, const char* name, size_t piece = 4096) {
    MemberSource source(archive, name);
    MemberBytes read;
    std::string buffer(piece, '\0');
    for (size_t got = source.Read(buffer.data(), piece); got > 0;
         got = source.Read(buffer.data(), piece)) {
        read.bytes.append(buffer, 0, got);
    }
    read.status = source.status();
    return read;
}

// Tests of the package layer: a built package written to a file and opened as an archive that
// lives as long as the test.
class ArchiveFixture : public ::testing::Test {
  protected:
    ZipArchive& Open(const test::PackageBuilder& builder) {
        file_ = std::make_unique<test::TempFile>(builder.Build());
        archive_ = OpenArchiveFile(file_->path().c_str());
        if (!archive_) {
            ADD_FAILURE() << "the built package does not open";
            std::abort();  // the test cannot go on without its archive
        }
        return *archive_;
    }

    std::unique_ptr<test::TempFile> file_;
    std::unique_ptr<ZipArchive> archive_;
};

}  // namespace quillet
