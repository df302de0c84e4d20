// What the module keeps between calls: a file's property records and the text of the transfer in
// progress, for as long as the file's path, size and modification time stay the same.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/PackageBuilder.h"
#include "support/PluginModule.h"
#include "support/TempFile.h"

namespace quillet::test {
namespace {

constexpr int TitleField = 14;
constexpr int CompanyField = 20;
constexpr int ContentField = 44;

// A stored (uncompressed) package, so that texts of equal length give packages of equal size.
std::string Document(const std::string& title, const std::string& body) {
    PackageBuilder builder;
    builder.AddStored("docProps/core.xml",
                      "<cp:coreProperties><dc:title>" + title + "</dc:title></cp:coreProperties>");
    builder.AddStored("docProps/app.xml",
                      "<Properties><Company>" + title + "</Company></Properties>");
    builder.AddStored("word/document.xml", "<w:document><w:body><w:p><w:r><w:t>" + body +
                                               "</w:t></w:r></w:p></w:body></w:document>");
    return builder.Build();
}

// Whole seconds, which every platform's call sets exactly, so a time can be put back as it was.
void SetModified(const TempFile& file, int second) {
    namespace fs = std::filesystem;
    static const auto base =
        std::chrono::time_point_cast<std::chrono::seconds>(fs::file_time_type::clock::now()) -
        std::chrono::hours(24);
    fs::last_write_time(file.path(), base + std::chrono::seconds(second));
}

// Rewrites the file's bytes in place and gives it the modification time `second`.
void Rewrite(const TempFile& file, const std::string& bytes, int second) {
    file.Rewrite(bytes);
    SetModified(file, second);
}

// One piece of "Content" through a 4-byte buffer.
std::string Piece(const TempFile& file, int unitIndex) {
    const PluginModule::Answer answer =
        PluginModule::Get().Value(file.path(), ContentField, unitIndex, 4);
    return answer.result == 9 ? std::string(reinterpret_cast<const char*>(answer.bytes.data()))
                              : "<result " + std::to_string(answer.result) + ">";
}

int EndCall(const TempFile& file) {
    return PluginModule::Get().Value(file.path(), ContentField, -1, 4).result;
}

TEST(KeptBetweenCalls, PropertyRecordsUntilTheFileChanges) {
    const PluginModule& module = PluginModule::Get();
    TempFile file(Document("First", "x"));
    SetModified(file, 0);
    EXPECT_EQ(module.Text(file.path(), TitleField), "First");

    // Same size and modification time: the same file, so the package is not read again, and the
    // one read gave the extended record too.
    Rewrite(file, Document("Other", "x"), 0);
    EXPECT_EQ(module.Text(file.path(), TitleField), "First");
    EXPECT_EQ(module.Text(file.path(), CompanyField), "First");

    SetModified(file, 1);
    EXPECT_EQ(module.Text(file.path(), CompanyField), "Other");
    EXPECT_EQ(module.Text(file.path(), TitleField), "Other");

    Rewrite(file, Document("Longer", "x"), 1);
    EXPECT_EQ(module.Text(file.path(), TitleField), "Longer");
}

TEST(KeptBetweenCalls, TransferTextUntilTheEndCallOrAChange) {
    TempFile file(Document("T", "abcdef"));
    SetModified(file, 0);
    EXPECT_EQ(Piece(file, 0), "abc");

    // The next call takes its piece from the text the first call built.
    Rewrite(file, Document("T", "uvwxyz"), 0);
    EXPECT_EQ(Piece(file, 1), "def");

    // The end call drops the text: the next call builds it again, from offset 0.
    EXPECT_EQ(EndCall(file), 9);
    EXPECT_EQ(Piece(file, 1), "uvw");

    // A new modification time in the middle of a transfer: the text is built again.
    Rewrite(file, Document("T", "ABCDEF"), 2);
    EXPECT_EQ(Piece(file, 2), "DEF");
    EXPECT_EQ(EndCall(file), 9);
}

// Host threads asking at once, for more files than the module keeps, each get their own file's
// answer.
TEST(KeptBetweenCalls, RecordsServeThreadsCallingAtOnce) {
    std::vector<std::unique_ptr<TempFile>> files;
    for (int i = 0; i < 7; ++i) {
        files.push_back(std::make_unique<TempFile>(Document("File" + std::to_string(i), "x")));
    }
    std::vector<int> wrong(4, 0);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < wrong.size(); ++t) {
        threads.emplace_back([&files, &wrong, t] {
            for (size_t round = 0; round < 150; ++round) {
                const size_t i = (round * 3 + t) % files.size();
                if (PluginModule::Get().Text(files[i]->path(), TitleField) !=
                    "File" + std::to_string(i)) {
                    ++wrong[t];
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace quillet::test
