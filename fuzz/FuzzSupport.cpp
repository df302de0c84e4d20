#include "FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include <tinyxml.h>

#include "support/SoundPackage.h"
#include "xml/XmlPart.h"

namespace quillet::fuzz {
namespace {

constexpr const char* SharedStringsPart = "xl/sharedStrings.xml";
constexpr const char* FirstSheetPart = "xl/worksheets/sheet1.xml";

bool IsWorkbookTarget(const ReaderTarget& target) {
    return std::string(target.partName) == SharedStringsPart;
}

}  // namespace

const std::vector<ReaderTarget>& ReaderTargets() {
    static const std::vector<ReaderTarget> targets{
        {"core_properties", "word/document.xml", "docProps/core.xml"},
        {"app_properties", "ppt/presentation.xml", "docProps/app.xml"},
        {"titles", "xl/workbook.xml", "docProps/app.xml"},
        {"word_text", "word/document.xml", "word/document.xml"},
        // The shared strings and sheet 1 together, so that indexes meet tables.
        {"workbook_text", "xl/workbook.xml", SharedStringsPart},
        {"presentation_text", "ppt/presentation.xml", "ppt/slides/slide1.xml"},
    };
    return targets;
}

const ReaderTarget* FindReaderTarget(const std::string& name) {
    for (const ReaderTarget& target : ReaderTargets()) {
        if (name == target.name)
            return &target;
    }
    return nullptr;
}

std::string SoundPackageAround(const ReaderTarget& target, const std::string& text) {
    auto parts = test::SoundParts(target.kind);
    if (IsWorkbookTarget(target)) {
        const size_t nul = text.find('\0');
        if (nul == std::string::npos) {
            parts[FirstSheetPart] = text;
        } else {
            parts[SharedStringsPart] = text.substr(0, nul);
            parts[FirstSheetPart] = text.substr(nul + 1);
        }
    } else {
        parts[target.partName] = text;
    }
    return test::PackageOf(parts).Build();
}

std::string SoundPackage(const char* kind, bool deflated) {
    return test::PackageOf(test::SoundParts(kind), deflated).Build();
}

std::string SeedFromParts(const ReaderTarget& target, const std::string& firstPart,
                          const std::string& secondPart) {
    return IsWorkbookTarget(target) ? firstPart + std::string(1, '\0') + secondPart : firstPart;
}

const std::vector<std::string>& ReaderPartNames() {
    static const std::vector<std::string> names{
        "docProps/core.xml",        "docProps/app.xml",     "word/document.xml",
        "xl/workbook.xml",          SharedStringsPart,      FirstSheetPart,
        "xl/worksheets/sheet2.xml", "ppt/presentation.xml", "ppt/slides/slide1.xml",
        "ppt/slides/slide2.xml",
    };
    return names;
}

InputFile::InputFile(const std::string& label) {
    const char* shm = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    path_ = std::string(shm) + "/quillet-fuzz-" + label + "-" + std::to_string(getpid());
}

InputFile::~InputFile() {
    std::remove(path_.c_str());
}

const std::string& InputFile::Write(const std::string& bytes) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.good()) {
        std::perror(path_.c_str());
        std::abort();
    }
    return path_;
}

void CheckParsedNesting(const std::string& text) {
    TiXmlDocument document;
    if (!ParseXmlPart(document, text))
        return;
    // Depth-first over the tree with an explicit position, as deep as TinyXML built it.
    int depth = 0;
    const TiXmlNode* node = document.FirstChild();
    while (node != nullptr) {
        if (node->ToElement() != nullptr && depth + 1 > MaxXmlNesting) {
            std::fprintf(stderr, "parsed tree nests deeper than %d\n", MaxXmlNesting);
            std::abort();
        }
        if (node->FirstChild() != nullptr) {
            node = node->FirstChild();
            ++depth;
            continue;
        }
        while (node != nullptr && node->NextSibling() == nullptr) {
            node = node->Parent();
            --depth;
            if (node == &document)
                node = nullptr;
        }
        if (node != nullptr)
            node = node->NextSibling();
    }
}

}  // namespace quillet::fuzz
