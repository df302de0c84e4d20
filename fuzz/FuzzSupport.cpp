#include "FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <vector>

#include <tinyxml.h>

#include "props/XmlPart.h"
#include "support/PackageBuilder.h"

namespace quillet::fuzz {
namespace {

constexpr const char* SharedStringsPart = "xl/sharedStrings.xml";
constexpr const char* FirstSheetPart = "xl/worksheets/sheet1.xml";

const char* const CorePart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><cp:coreProperties xmlns:cp=\"c\" xmlns:dc=\"d\" "
    "xmlns:dcterms=\"t\"><dc:title>Title</dc:title><dc:creator>Creator</dc:creator>"
    "<dcterms:modified>2020-01-02T03:04:05Z</dcterms:modified></cp:coreProperties>";
const char* const AppPart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Properties xmlns:vt=\"v\"><Pages>1</Pages>"
    "<Slides>1</Slides><TotalTime>5</TotalTime><TitlesOfParts><vt:vector size=\"1\" "
    "baseType=\"lpstr\"><vt:lpstr>Sheet1</vt:lpstr></vt:vector></TitlesOfParts></Properties>";

// The parts of a small sound package of each kind, keyed by its marker part.
std::map<std::string, std::string> SoundParts(const std::string& kind) {
    std::map<std::string, std::string> parts{{"docProps/core.xml", CorePart},
                                             {"docProps/app.xml", AppPart}};
    if (kind == "word/document.xml") {
        parts[kind] =
            "<?xml version=\"1.0\"?><w:document xmlns:w=\"w\"><w:body><w:p><w:r><w:t>Hello</w:t>"
            "</w:r></w:p></w:body></w:document>";
    } else if (kind == "xl/workbook.xml") {
        parts[kind] =
            "<?xml version=\"1.0\"?><workbook><sheets><sheet name=\"Sheet1\"/></sheets>"
            "</workbook>";
        parts[SharedStringsPart] =
            "<?xml version=\"1.0\"?><sst uniqueCount=\"2\"><si><t>Name</t>"
            "</si><si><t>Value</t></si></sst>";
        parts[FirstSheetPart] =
            "<?xml version=\"1.0\"?><worksheet><sheetData><row><c t=\"s\"><v>0</v></c><c><v>42</v>"
            "</c><c t=\"inlineStr\"><is><t>X</t></is></c></row></sheetData></worksheet>";
    } else {
        parts[kind] = "<?xml version=\"1.0\"?><p:presentation xmlns:p=\"p\"/>";
        parts["ppt/slides/slide1.xml"] =
            "<?xml version=\"1.0\"?><p:sld xmlns:a=\"a\" xmlns:p=\"p\"><p:cSld><p:spTree><p:sp>"
            "<p:txBody><a:p><a:r><a:t>Hello</a:t></a:r></a:p></p:txBody></p:sp></p:spTree>"
            "</p:cSld></p:sld>";
    }
    return parts;
}

std::string BuildPackage(const std::map<std::string, std::string>& parts, bool deflated) {
    test::PackageBuilder package;
    for (const auto& [name, data] : parts) {
        if (deflated) {
            package.AddDeflated(name, data);
        } else {
            package.AddStored(name, data);
        }
    }
    return package.Build();
}

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
    auto parts = SoundParts(target.kind);
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
    return BuildPackage(parts, true);
}

std::string SoundPackage(const char* kind, bool deflated) {
    return BuildPackage(SoundParts(kind), deflated);
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
