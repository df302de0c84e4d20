// The ZIP reader over arbitrary file bytes: open, look up every part name the readers use,
// describe every member, and extract members whole and in several calls.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "package/PartText.h"
#include "package/ZipArchive.h"
#include "platform/PackageFile.h"

namespace {

// Enough to walk a member's data in steps without letting a deflate bomb set the pace.
constexpr uint32_t MostBytesPerMember = 1u << 20;
constexpr int32_t MostMembersExtracted = 64;

void ExtractWhole(quillet::ZipArchive& archive, int32_t index) {
    const auto size = static_cast<uint32_t>(
        std::min<uint64_t>(archive.DeliverableSize(index), MostBytesPerMember));
    std::vector<char> buffer(size + 1);
    (void)archive.ExtractMember(index, buffer.data(), size);
}

void ExtractInSteps(quillet::ZipArchive& archive, int32_t index, uint32_t step) {
    std::vector<char> buffer(step);
    uint32_t delivered = 0;
    while (delivered < MostBytesPerMember &&
           archive.ExtractMember(index, buffer.data(), step) == quillet::ZipBufferFilled) {
        delivered += step;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const quillet::fuzz::InputFile file("zip_archive");
    const std::string& path = file.Write(std::string(reinterpret_cast<const char*>(data), size));
    auto archive = quillet::ZipArchive::Open(quillet::platform::PackageFile::Open(path.c_str()));
    if (!archive)
        return 0;
    quillet::ZipEntry entry;
    int32_t index = -1;
    for (const std::string& name : quillet::fuzz::ReaderPartNames()) {
        if (archive->FindMember(name.c_str(), index, entry) == quillet::ZipOk) {
            (void)quillet::ReadPartText(*archive, name.c_str());
        }
    }
    (void)archive->DescribeMember(-1, entry);
    const int32_t count = std::min(archive->entryCount(), MostMembersExtracted);
    // One past the last member and a negative index besides -1 must be refused, not read.
    (void)archive->DescribeMember(archive->entryCount(), entry);
    (void)archive->DescribeMember(-2, entry);
    for (int32_t i = 0; i < count; ++i) {
        (void)archive->DescribeMember(i, entry);
        ExtractWhole(*archive, i);
        ExtractInSteps(*archive, i, 1 + static_cast<uint32_t>(i % 3) * 511);
        // Stopping in the middle of a member, then switching to another one.
        if (i + 1 < count) {
            std::vector<char> buffer(7);
            (void)archive->ExtractMember(i, buffer.data(), 7);
        }
    }
    (void)quillet::ZipArchive::Close(std::move(archive));
    return 0;
}
