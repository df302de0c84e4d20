// What the module keeps between calls: a file's property records and the text of the transfer in
// progress, only for as long as the file is the same file in the same state.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <clocale>

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

// A file rewritten in place with the same size and modification time (as cp -p, rsync -a, unzip
// or a restore leave it) is another file: what was kept of the old one is never answered.
TEST(KeptBetweenCalls, NothingOfAFileRewrittenWithItsSizeAndTime) {
    const PluginModule& module = PluginModule::Get();
    TempFile file(Document("First", "abcdef"));
    SetModified(file, 0);
    EXPECT_EQ(module.Text(file.path(), TitleField), "First");
    EXPECT_EQ(Piece(file, 0), "abc");

    Rewrite(file, Document("Other", "uvwxyz"), 0);
    EXPECT_EQ(module.Text(file.path(), TitleField), "Other");
    EXPECT_EQ(module.Text(file.path(), CompanyField), "Other");
    EXPECT_EQ(Piece(file, 1), "xyz");
    EXPECT_EQ(EndCall(file), 9);
}

TEST(KeptBetweenCalls, TransferTextUntilTheEndCall) {
    TempFile file(Document("T", "abcdef"));
    EXPECT_EQ(Piece(file, 0), "abc");
    EXPECT_EQ(Piece(file, 1), "def");
    EXPECT_EQ(Piece(file, 2), "\t\n");
    EXPECT_EQ(Piece(file, 3), "<result -3>");
    // The end call drops the text and the offset: a next call builds it again from the start.
    EXPECT_EQ(EndCall(file), 9);
    EXPECT_EQ(Piece(file, 1), "abc");
    EXPECT_EQ(EndCall(file), 9);
}

#ifndef _WIN32
// Another file put in place under the same name, of the same size and time: by rename, or by
// retargeting a link.
TEST(KeptBetweenCalls, NothingOfAFileReplacedUnderItsName) {
    namespace fs = std::filesystem;
    const PluginModule& module = PluginModule::Get();
    TempFile file(Document("First", "x"));
    TempFile other(Document("Other", "x"));
    SetModified(file, 0);
    SetModified(other, 0);
    EXPECT_EQ(module.Text(file.path(), TitleField), "First");
    fs::copy_file(other.path(), other.path() + ".new");
    fs::last_write_time(other.path() + ".new", fs::last_write_time(other.path()));
    fs::rename(other.path() + ".new", file.path());
    EXPECT_EQ(module.Text(file.path(), TitleField), "Other");

    TempFile first(Document("First", "x"));
    SetModified(first, 0);
    const std::string link = MissingPath() + ".docx";
    fs::create_symlink(first.path(), link);
    EXPECT_EQ(module.Text(link, TitleField), "First");
    fs::remove(link);
    fs::create_symlink(other.path(), link);
    EXPECT_EQ(module.Text(link, TitleField), "Other");
    fs::remove(link);
}

// The same relative name in another working directory names another file.
TEST(KeptBetweenCalls, NothingOfARelativeNameAfterTheHostChangesDirectory) {
    namespace fs = std::filesystem;
    const fs::path base = MissingPath();
    const fs::path previous = fs::current_path();
    for (const char* title : {"First", "Other"}) {
        fs::create_directories(base / title);
        const TempFile made(Document(title, "x"));
        fs::copy_file(made.path(), base / title / "doc.docx");
        fs::last_write_time(base / title / "doc.docx", fs::last_write_time(made.path()));
    }
    for (const char* title : {"First", "Other", "First"}) {
        fs::current_path(base / title);
        EXPECT_EQ(PluginModule::Get().Text("doc.docx", TitleField), title);
    }
    fs::current_path(previous);
    fs::remove_all(base);
}

// A file that can no longer be opened answers as an unreadable one, never from what was kept.
// Root opens any file: the check runs as an unprivileged user in a child process.
TEST(KeptBetweenCalls, NothingOfAFileThatCanNoLongerBeOpened) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(2);
        }
        const TempFile file(Document("First", "x"));
        const bool before = PluginModule::Get().Text(file.path(), TitleField) == "First";
        chmod(file.path().c_str(), 0);
        const bool after = PluginModule::Get().Text(file.path(), TitleField).empty();
        chmod(file.path().c_str(), 0600);
        _exit(before && after ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "2: cannot drop privileges; 1: answered from the cache";
}

// Texts are converted into the host's character set: a change of locale converts them anew.
TEST(KeptBetweenCalls, NothingConvertedForAnotherLocale) {
    const TempFile file(Document("Caf\xC3\xA9", "x"));
    EXPECT_EQ(PluginModule::Get().Text(file.path(), TitleField), "Caf\xC3\xA9");
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(PluginModule::Get().Text(file.path(), TitleField), "Caf?");
    std::setlocale(LC_ALL, "C.UTF-8");
    EXPECT_EQ(PluginModule::Get().Text(file.path(), TitleField), "Caf\xC3\xA9");
}
#endif

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
