#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quillet {

enum class PackageKind { Word, Workbook, Presentation, None };

// The text behind "Titles" and "Content". Builds nothing until a full-text field asks.
class DocumentText {
  public:
    explicit DocumentText(const char* packagePath) : fileName(packagePath) {}

    void BuildContent();
    void BuildTitles();
    std::string ContentPiece(int32_t maxLen) const;
    std::string TitlesPiece(int32_t maxLen) const;

    std::string ReadWordText() const;
    bool LoadSharedStrings();
    std::string ReadWorkbookText();
    std::string ReadPresentationText() const;

    std::string workText;
    std::string contentText;
    std::string titlesText;
    std::unique_ptr<std::string[]> sharedStrings;
    int32_t sharedStringCount = -1;
    const char* fileName;  // borrowed from the request
};

// The bytes of `text` from `offset` on, at most `maxLen` of them; empty at or past the end.
std::string TakePiece(const std::string& text, int64_t offset, int64_t maxLen);

}  // namespace quillet
