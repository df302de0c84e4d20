#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillet {

class AppProperties;
class StopSignal;
class ZipArchive;

enum class PackageKind { Word, Workbook, Presentation, None };

// The text behind "Titles", "Content" and "Text", read from the request's open package (null when
// the file is no readable package), whose extended properties the request read as `app`: they
// count the sheets and slides. Builds nothing until a full-text field asks. A build that `stop`
// (null: none) asks to stop ends at its next element; its text is then not the whole text.
class DocumentText {
  public:
    DocumentText(ZipArchive* archive, const AppProperties& app, const StopSignal* stop = nullptr)
        : archive_(archive), app_(app), stop_(stop) {}

    void BuildContent();
    void BuildTitles();
    // Every word of the document for search (src/text/SearchText.cpp).
    void BuildText();

    // The per-kind readers; each answers " " when it finds nothing.
    std::string ReadWordText();
    std::string ReadWorkbookText();
    std::string ReadPresentationText();

    std::string contentText;
    std::string titlesText;
    std::string searchText;

  private:
    ZipArchive* archive_;
    const AppProperties& app_;
    const StopSignal* stop_;
};

PackageKind DetectPackageKind(ZipArchive& archive);

}  // namespace quillet
