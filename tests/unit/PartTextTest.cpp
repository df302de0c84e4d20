#include "package/PartText.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/PackageBuilder.h"
#include "support/TempFile.h"

namespace quillet {
namespace {

using test::MemberOptions;
using test::PackageBuilder;
using test::TempFile;

class PartText : public ::testing::Test {
  protected:
    ZipArchive& Open(const PackageBuilder& builder) {
        file_ = std::make_unique<TempFile>(builder.Build());
        archive_ = ZipArchive::Open(file_->path().c_str());
        EXPECT_TRUE(archive_);
        return *archive_;
    }

    std::unique_ptr<TempFile> file_;
    std::unique_ptr<ZipArchive> archive_;
};

TEST_F(PartText, ReadsStoredAndDeflatedPartsByNameInAnyCase) {
    const std::string core = "<cp:coreProperties>title</cp:coreProperties>";
    const std::string document(50000, 'w');
    ZipArchive& archive = Open(PackageBuilder()
                                   .AddStored("docProps/core.xml", core)
                                   .AddDeflated("word/document.xml", document));
    EXPECT_EQ(ReadPartText(archive, "docProps/core.xml"), core);
    EXPECT_EQ(ReadPartText(archive, "DOCPROPS/CORE.XML"), core);
    EXPECT_EQ(ReadPartText(archive, "Word/Document.xml"), document);
    EXPECT_EQ(ReadPartText(archive, "docProps\\core.xml"), std::nullopt);
    EXPECT_TRUE(HasMember(archive, "word/DOCUMENT.xml"));
    EXPECT_FALSE(HasMember(archive, "xl/workbook.xml"));
}

}  // namespace
}  // namespace quillet
