#include "support/TempFile.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace quillet::test {
namespace {

std::string UniquePath(const std::string& suffix) {
    static std::atomic<unsigned> counter{0};
    const auto directory = std::filesystem::temp_directory_path();
    const auto stamp =
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007);
    return (directory / ("quillet-" + stamp + "-" + std::to_string(counter++) + suffix)).string();
}

}  // namespace

TempFile::TempFile(const std::string& bytes, const std::string& suffix)
    : path_(UniquePath(suffix)) {
    Rewrite(bytes);
}

TempFile::~TempFile() {
    std::remove(path_.c_str());
}

void TempFile::Rewrite(const std::string& bytes) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path_;
}

std::string MissingPath() {
    return UniquePath(".missing.docx");
}

}  // namespace quillet::test
