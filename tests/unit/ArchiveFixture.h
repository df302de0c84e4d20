#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "package/ZipArchive.h"
#include "support/PackageBuilder.h"
#include "support/TempFile.h"

namespace quillet {

// Tests of the package layer: a built package written to a file and opened as an archive that
// lives as long as the test.
class ArchiveFixture : public ::testing::Test {
  protected:
    ZipArchive& Open(const test::PackageBuilder& builder) {
        file_ = std::make_unique<test::TempFile>(builder.Build());
        archive_ = ZipArchive::Open(file_->path().c_str());
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
