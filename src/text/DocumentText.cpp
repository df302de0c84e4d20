#include "text/DocumentText.h"

#include "package/PartText.h"
#include "package/ZipArchive.h"

namespace quillet {

PackageKind DetectPackageKind(ZipArchive& archive) {
    if (HasMember(archive, "word/document.xml"))
        return PackageKind::Word;
    if (HasMember(archive, "xl/workbook.xml"))
        return PackageKind::Workbook;
    if (HasMember(archive, "ppt/presentation.xml"))
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
