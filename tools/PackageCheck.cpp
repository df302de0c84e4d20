#include "PackageCheck.h"

#include <memory>

#include "package/ZipArchive.h"
#include "platform/Env.h"

namespace quillet::host {

PackageKind InspectPackage(const std::string& path) {
    auto file = platform::SystemEnv().OpenFile(platform::FilePath(path.c_str()));
    if (!file)
        return PackageKind::CannotOpen;
    const std::unique_ptr<ZipArchive> archive = ZipArchive::Open(std::move(file));
    if (!archive)
        return PackageKind::NotReadable;
    const std::pair<const char*, PackageKind> parts[] = {
        {"word/document.xml", PackageKind::Document},
        {"xl/workbook.xml", PackageKind::Workbook},
        {"ppt/presentation.xml", PackageKind::Presentation},
        {"docProps/core.xml", PackageKind::PropertiesOnly},
        {"docProps/app.xml", PackageKind::PropertiesOnly},
    };
    for (const auto& [part, kind] : parts)
        if (archive->HasMember(part))
            return kind;
    return PackageKind::NotReadable;
}

std::string ExtensionOf(PackageKind kind) {
    switch (kind) {
        case PackageKind::Workbook:
            return "xlsx";
        case PackageKind::Presentation:
            return "pptx";
        default:
            return "docx";
    }
}

}  // namespace quillet::host
