#include "text/DocumentText.h"

#include "package/ZipArchive.h"

namespace quillet {

PackageKind DetectPackageKind(ZipArchive& archive) {
    if (archive.HasMember("word/document.xml"))
        return PackageKind::Word;
    if (archive.HasMember("xl/workbook.xml"))
        return PackageKind::Workbook;
    if (archive.HasMember("ppt/presentation.xml"))
        return PackageKind::Presentation;
    return PackageKind::None;
}

void DocumentText::BuildContent() {
    contentText.clear();
    switch (archive_ != nullptr ? DetectPackageKind(*archive_) : PackageKind::None) {
        case PackageKind::Word:
            contentText = ReadWordText();
            break;
        case PackageKind::Workbook:
            contentText = ReadWorkbookText();
            break;
        case PackageKind::Presentation:
            contentText = ReadPresentationText();
            break;
        case PackageKind::None:
            break;
    }
}

}  // namespace quillet
