#pragma once

#include <cstdint>
#include <string>

class TiXmlDocument;

namespace quillet {

class ZipArchive;
struct FieldRow;

// The extended properties of "docProps/app.xml". A count of -1 is a value the package does not
// give; a flag has no absent state.
class AppProperties {
  public:
    // Reads the part from the request's package; whatever cannot be read keeps its default.
    void Load(ZipArchive& archive);

    std::string templateName;
    std::string manager;
    std::string company;
    int32_t pages = -1;
    int32_t words = -1;
    int32_t characters = -1;
    std::string presentationFormat;
    int32_t lines = -1;
    int32_t paragraphs = -1;
    int32_t slides = -1;
    int32_t notes = -1;
    int32_t totalTime = -1;  // minutes
    int32_t hiddenSlides = -1;
    int32_t mmClips = -1;
    std::string scaleCrop;
    bool linksUpToDate = false;
    int32_t charactersWithSpaces = -1;
    bool sharedDoc = false;
    std::string hyperlinkBase;
    bool hyperlinksChanged = false;
    std::string application;
    std::string appVersion;
    int32_t docSecurity = -1;
    bool digSig = false;
    bool digSigExt = false;
    int32_t sheets = -1;

  private:
    // Sets the member of one row from the parsed part (null when it did not parse).
    void ReadMember(const FieldRow& row, const TiXmlDocument* document, bool workbook);
};


}  // namespace quillet
