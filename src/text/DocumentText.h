#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillet {

class ZipArchive;

enum class PackageKind { Word, Workbook, Presentation, None };

// The text behind "Titles" and "Content". Builds nothing until a full-text field asks.
class DocumentText {
  public:
    explicit DocumentText(const char* packagePath) : fileName(packagePath) {}

    void BuildContent();
    void BuildTitles();
    std::string ContentPiece(int32_t maxLen) const;
    std::string TitlesPiece(int32_t maxLen) const;

    // The per-kind readers; each answers " " when it finds nothing.
    std::string ReadWordText() const;
    bool LoadSharedStrings();
    std::string ReadWorkbookText();
    std::string ReadPresentationText() const;

    // The shared string at `index`: entries past the items the table holds are empty.
    const std::string& SharedString(int32_t index) const;

    std::string workText;
    std::string contentText;
    std::string titlesText;
    // At most one entry per item of the table, however large its declared count.
    std::vector<std::string> sharedStrings;
    int32_t sharedStringCount = -1;
    const char* fileName;  // borrowed from the request
};

PackageKind DetectPackageKind(ZipArchive& archive);

// The bytes of `text` from `offset` on, at most `maxLen` of them; empty at or past the end.
std::string TakePiece(const std::string& text, int64_t offset, int64_t maxLen);

}  // namespace quillet
