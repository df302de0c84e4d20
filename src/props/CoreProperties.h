#pragma once

#include <string>

namespace quillet {

class ZipArchive;

// The sixteen core properties of "docProps/core.xml", as ANSI texts (dates as their text).
class CoreProperties {
  public:
    // Reads the part from the request's package; whatever cannot be read stays empty.
    void Load(ZipArchive& archive);

    std::string category;
    std::string contentStatus;
    std::string contentType;
    std::string created;
    std::string creator;
    std::string description;
    std::string identifier;
    std::string keywords;
    std::string language;
    std::string lastModifiedBy;
    std::string lastPrinted;
    std::string modified;
    std::string revision;
    std::string subject;
    std::string title;
    std::string version;
};


}  // namespace quillet
