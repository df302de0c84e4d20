#include "text/DocumentText.h"

#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "plugin/FullTextPaging.h"

namespace quillet {

std::string TakePiece(const std::string& text, int64_t offset, int64_t maxLen) {
    const auto size = static_cast<int64_t>(text.size());
    if (offset + maxLen > size) {
        maxLen = size - offset;
    }
    if (maxLen <= 0 || offset < 0 || offset >= size) {
        return std::string();
    }
    return text.substr(static_cast<size_t>(offset), static_cast<size_t>(maxLen));
}

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
    workText.clear();
    PackageKind kind = PackageKind::None;
    if (const auto archive = ZipArchive::Open(fileName)) {
        kind = DetectPackageKind(*archive);
    }
    switch (kind) {
        case PackageKind::Word:
            workText = ReadWordText();
            break;
        case PackageKind::Workbook:
            workText = ReadWorkbookText();
            break;
        case PackageKind::Presentation:
            workText = ReadPresentationText();
            break;
        case PackageKind::None:
            break;
    }
    contentText = workText;
}

std::string DocumentText::ContentPiece(int32_t maxLen) const {
    return TakePiece(contentText, FullTextOffset(), maxLen);
}

std::string DocumentText::TitlesPiece(int32_t maxLen) const {
    return TakePiece(titlesText, FullTextOffset(), maxLen);
}

const std::string& DocumentText::SharedString(int32_t index) const {
    static const std::string none;
    return index >= 0 && static_cast<size_t>(index) < sharedStrings.size()
               ? sharedStrings[static_cast<size_t>(index)]
               : none;
}

}  // namespace quillet
