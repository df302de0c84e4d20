// One reader over an arbitrary part text inside a sound package. The executable's compile
// definition QUILLET_FUZZ_TARGET names the row of the reader table it fuzzes.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "plugin/FullTextPaging.h"
#include "props/AppProperties.h"
#include "props/CoreProperties.h"
#include "text/DocumentText.h"

namespace {

const quillet::fuzz::ReaderTarget& Target() {
    static const quillet::fuzz::ReaderTarget* const target =
        quillet::fuzz::FindReaderTarget(QUILLET_FUZZ_TARGET);
    if (target == nullptr) {
        std::fprintf(stderr, "no reader target %s\n", QUILLET_FUZZ_TARGET);
        std::abort();
    }
    return *target;
}

void RunReader(const std::string& name, const char* path) {
    if (name == "core_properties") {
        quillet::CoreProperties core(path);
        core.Load();
    } else if (name == "app_properties") {
        quillet::AppProperties app(path);
        app.Load();
    } else if (name == "titles") {
        quillet::DocumentText text(path);
        text.BuildTitles();
        quillet::SetFullTextOffset(0);
        (void)text.TitlesPiece(1024);
    } else {
        quillet::DocumentText text(path);
        text.BuildContent();
        quillet::SetFullTextOffset(0);
        (void)text.ContentPiece(1024);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const quillet::fuzz::InputFile file(QUILLET_FUZZ_TARGET);
    const std::string text(reinterpret_cast<const char*>(data), size);
    quillet::fuzz::CheckParsedNesting(text);
    const auto& target = Target();
    RunReader(target.name, file.Write(quillet::fuzz::SoundPackageAround(target, text)).c_str());
    return 0;
}
