#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "package/ZipArchive.h"
#include "platform/PackageFile.h"
#include "support/PackageBuilder.h"
#include "support/TempFile.h"

namespace quillet {

// The archive in the file at `path`, as a request opens it; null when there is none.
inline std::unique_ptr<ZipArchive> OpenArchiveFile(const char* path) {
    return ZipArchive::Open(platform::PackageFile::Open(path));
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
