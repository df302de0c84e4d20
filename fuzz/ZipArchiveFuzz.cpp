// The ZIP reader over arbitrary file bytes: open, look up every part name the readers use, and
// read each member whole and through its source in pieces of several sizes.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "package/MemberSource.h"
#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "platform/Env.h"

namespace {

// Enough to walk a member's data in steps without letting a deflate bomb set the pace.
constexpr size_t MostBytesPerMember = 1u << 20;

void ReadInSteps(quillet::ZipArchive& archive, const std::string& name, size_t step) {
    quillet::MemberSource source(archive, name.c_str());
    std::vector<char> buffer(step);
    size_t delivered = 0;
    for (size_t got = 1; got > 0 && delivered < MostBytesPerMember; delivered += got) {
        got = source.Read(buffer.data(), step);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const quillet::fuzz::InputFile file("zip_archive");
    const std::string& path = file.Write(std::string(reinterpret_cast<const char*>(data), size));
    auto archive = quillet::ZipArchive::Open(
        quillet::platform::SystemEnv().OpenFile(quillet::platform::FilePath(path.c_str())));
    if (!archive)
        return 0;
    size_t step = 1;
    for (const std::string& name : quillet::fuzz::ReaderPartNames()) {
        if (archive->HasMember(name)) {
            (void)quillet::ReadPartText(*archive, name.c_str());
        }
        ReadInSteps(*archive, name, step);
        step = step % 1023 + 511;
        // Stopping in the middle of a member, with another one open beside it.
        quillet::MemberSource first(*archive, name.c_str());
        char piece[7];
        (void)first.Read(piece, sizeof piece);
        ReadInSteps(*archive, name, 4096);
    }
    return 0;
}
