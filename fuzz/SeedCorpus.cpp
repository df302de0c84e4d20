// Writes the seed corpora: corpus/<target>/ under the given folder, from the real documents named
// on the command line and from small built packages. Usage: quillet_fuzz_seeds DIR FILE...
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "platform/Env.h"
#include "support/MemberNames.h"

namespace fs = std::filesystem;

namespace {

void WriteSeed(const fs::path& folder, const std::string& name, const std::string& bytes) {
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string PartOf(const std::string& path, const char* partName) {
    const auto archive = quillet::ZipArchive::Open(
        quillet::platform::SystemEnv().OpenFile(quillet::platform::FilePath(path.c_str())));
    const auto text = archive ? quillet::ReadPartText(*archive, partName) : std::nullopt;
    return text.value_or(std::string());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR FILE...\n", argv[0]);
        return 2;
    }
    const fs::path corpus = fs::path(argv[1]);
    int seed = 0;
    for (int i = 2; i < argc; ++i) {
        const std::string path = argv[i];
        const std::string name = fs::path(path).filename().string();
        WriteSeed(corpus / "zip_archive", name, ReadFile(path));
        WriteSeed(corpus / "content_get_value", name, ReadFile(path));
        for (const auto& target : quillet::fuzz::ReaderTargets()) {
            const std::string seedText = quillet::fuzz::SeedFromParts(
                target, PartOf(path, target.partName), PartOf(path, "xl/worksheets/sheet1.xml"));
            // A package without the part gives no seed.
            if (seedText.find('<') != std::string::npos) {
                WriteSeed(corpus / target.name, name + ".xml", seedText);
            }
        }
        // The parsers' differential target: every XML member, its first 16 KiB, so that
        // mutations stay quick.
        int member = 0;
        for (const std::string& part : quillet::test::MemberNames(ReadFile(path))) {
            const std::string text = PartOf(path, part.c_str());
            if (text.find('<') != std::string::npos) {
                WriteSeed(corpus / "tinyxml_diff", name + "." + std::to_string(member++) + ".xml",
                          text.substr(0, 16 << 10));
            }
        }
        // The streamed readers' differential target: reader byte, piece byte, part.
        const char* const streamed[] = {"word/document.xml", "xl/worksheets/sheet1.xml",
                                        "xl/sharedStrings.xml", "ppt/slides/slide1.xml"};
        for (char reader = 0; reader < 4; ++reader) {
            const std::string part = PartOf(path, streamed[static_cast<size_t>(reader)]);
            if (!part.empty()) {
                WriteSeed(corpus / "stream_diff", name + "." + std::to_string(reader) + ".xml",
                          std::string{reader, static_cast<char>(seed % 32)} + part);
            }
        }
        ++seed;
    }
    // Small built packages of every kind, stored and deflated alike.
    for (const char* kind : {"word/document.xml", "xl/workbook.xml", "ppt/presentation.xml"}) {
        for (const bool deflated : {false, true}) {
            const std::string name = std::string("built-") + fs::path(kind).parent_path().string() +
                                     (deflated ? "-deflated" : "-stored");
            const std::string package = quillet::fuzz::SoundPackage(kind, deflated);
            WriteSeed(corpus / "zip_archive", name, package);
            WriteSeed(corpus / "content_get_value", name, package);
        }
    }
    std::printf("seeds from %d files in %s\n", seed, corpus.string().c_str());
    return 0;
}
