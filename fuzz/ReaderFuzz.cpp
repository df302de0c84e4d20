// One reader over an arbitrary part text inside a sound package. The executable's compile
// definition QUILLET_FUZZ_TARGET names the row of the reader table it fuzzes.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "package/ZipArchive.h"
#include "platform/Env.h"
#include "props/PropertyRecords.h"
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
    const auto archive = quillet::ZipArchive::Open(
        quillet::platform::SystemEnv().OpenFile(quillet::platform::FilePath(path)));
    // The records first, as a request reads them: the text readers take the extended ones.
    quillet::PropertyRecords records;
    records.Load(archive.get());
    if (name == "titles") {
        quillet::DocumentText text(archive.get(), records.app);
        text.BuildTitles();
    } else if (name != "core_properties" && name != "app_properties") {
        quillet::DocumentText text(archive.get(), records.app);
        text.BuildContent();
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
