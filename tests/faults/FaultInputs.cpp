#include "faults/FaultInputs.h"

#include <fstream>
#include <functional>
#include <iterator>
#include <map>

#include "support/PackageBuilder.h"
#include "support/SoundPackage.h"

namespace quillet::test {
namespace {

std::string ReadData(const std::string& name) {
    std::ifstream in(std::string(QUILLET_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

// A sound document cut off in its central directory.
std::string Truncated() {
    const std::string whole = PackageOf(SoundParts(WordMarker)).Build();
    return whole.substr(0, whole.size() - 40);
}

// A title nested far beyond the parser's limit.
std::string DeeplyNested() {
    auto parts = SoundParts(WordMarker);
    parts["docProps/core.xml"] = "<cp:coreProperties>" + Repeated("<a>", 3000) + "x" +
                                 Repeated("</a>", 3000) + "</cp:coreProperties>";
    return PackageOf(parts).Build();
}

// An element of the extended properties with far more attributes than the parser allows.
std::string ManyAttributes() {
    auto parts = SoundParts(PresentationMarker);
    std::string attributes;
    for (int i = 0; i < 3000; ++i)
        attributes += " a" + std::to_string(i) + "=\"v\"";
    parts["docProps/app.xml"] = "<Properties><Company" + attributes + ">C</Company></Properties>";
    return PackageOf(parts).Build();
}

// A body that claims gigabytes, and a workbook's shared strings claiming more than they hold.
std::string ClaimsHuge() {
    auto builder = PackageOf(SoundParts(WorkbookMarker));
    MemberOptions body;
    body.name = "xl/worksheets/sheet2.xml";
    body.data = "<worksheet/>";
    body.method = 8;
    body.centralUncompressedSize = 0xFFFFFFF0u;
    body.localUncompressedSize = 0xFFFFFFF0u;
    builder.Add(body);
    return builder.Build();
}

// A damaged deflate stream for the extended properties and a title that is not UTF-8.
std::string DamagedStreams() {
    auto parts = SoundParts(WordMarker);
    parts["docProps/core.xml"] =
        "<cp:coreProperties><dc:title>\xff\xfe\xc3(</dc:title></cp:coreProperties>";
    parts.erase("docProps/app.xml");
    auto builder = PackageOf(parts);
    MemberOptions app;
    app.name = "docProps/app.xml";
    app.data = "<Properties><Company>C</Company></Properties>";
    app.method = 8;
    app.rawData = std::string("\x05\xff\x00\x13garbage-not-deflate", 22);
    builder.Add(app);
    return builder.Build();
}

struct InputKind {
    std::string suffix;
    std::function<std::string()> bytes;
};

const std::map<std::string, InputKind>& Inputs() {
    static const std::map<std::string, InputKind> inputs{
        {"lo_writer", {".docx", [] { return ReadData("lo_writer.docx"); }}},
        {"lo_calc", {".xlsx", [] { return ReadData("lo_calc.xlsx"); }}},
        {"lo_impress", {".pptx", [] { return ReadData("lo_impress.pptx"); }}},
        {"truncated", {".docx", Truncated}},
        {"deeply_nested", {".docx", DeeplyNested}},
        {"many_attributes", {".pptx", ManyAttributes}},
        {"claims_huge", {".xlsx", ClaimsHuge}},
        {"damaged_streams", {".docx", DamagedStreams}},
    };
    return inputs;
}

}  // namespace

const std::vector<std::string>& SweepInputNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const auto& entry : Inputs())
            all.push_back(entry.first);
        return all;
    }();
    return names;
}

std::unique_ptr<TempFile> SweepInput(const std::string& name) {
    const InputKind& kind = Inputs().at(name);
    return std::make_unique<TempFile>(kind.bytes(), kind.suffix);
}

}  // namespace quillet::test
