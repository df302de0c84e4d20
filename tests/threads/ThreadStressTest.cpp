// The module under a host that calls it from many threads while the files change under it. Built
// by the tsan preset (ThreadSanitizer over the module, TinyXML and zlib alike) and run there for
// QUILLET_STRESS_SECONDS; the other Linux builds run it briefly.
//
// A "version" of a file is one whole package written at once: its core properties, extended
// properties, titles of parts and body all carry the same tag ("f07 vA" or "f07 vB"). Each file
// alternates between its two versions, which have exactly the same size (stored members, texts
// of equal length), either by a rename of a fresh file over it or by a rewrite of its bytes in
// place. An answer is right when it equals, byte for byte, the answer the module gives for one
// version when nothing changes. Every answer must be of one version, except while the file is
// rewritten in place (then it is in neither, and may read as a damaged package); answers asked
// while nothing changed the file must all be of the same version; a transfer during which the
// file was replaced is read afresh after the change, so each of its pieces is of one version.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "support/PluginModule.h"
#include "support/SoundPackage.h"
#include "support/TempFile.h"

#ifndef QUILLET_STRESS_SECONDS
#define QUILLET_STRESS_SECONDS 3
#endif

namespace quillet::test {
namespace {

constexpr int FileCount = 20;  // more files than the property cache keeps
constexpr int PropertyThreads = 8;
constexpr int PropertyFields = 43;
constexpr int TitleField = 14;
constexpr int CompanyField = 20;
constexpr int TitlesField = 43;
constexpr int ContentField = 44;
constexpr int ValueBytes = 256;
constexpr int PieceBytes = 100;  // every body takes several pieces
constexpr std::array<const char*, 3> Markers{WordMarker, WorkbookMarker, PresentationMarker};

void Replace(std::string& text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

// Version `version` (0 or 1) of file `index`: every part carries the same tag.
std::string VersionBytes(int index, int version) {
    char tag[16];
    std::snprintf(tag, sizeof tag, "f%02d v%c", index, version == 0 ? 'A' : 'B');
    const std::string marker = Markers[static_cast<size_t>(index) % Markers.size()];
    auto parts = SoundParts(marker);
    std::string body;
    for (int i = 0; i < 40; ++i)
        body += std::string("Body ") + tag + " " + std::to_string(i % 10) + ". ";
    Replace(parts["docProps/core.xml"], ">Title<", std::string(">Title ") + tag + "<");
    Replace(parts["docProps/app.xml"], "</Properties>",
            std::string("<Company>Company ") + tag + "</Company></Properties>");
    Replace(parts["docProps/app.xml"], ">Sheet1<", std::string(">Part ") + tag + "<");
    if (marker == WorkbookMarker) {
        Replace(parts["xl/sharedStrings.xml"], ">Name<", ">" + body + "<");
    } else {
        Replace(parts[marker == WordMarker ? "word/document.xml" : "ppt/slides/slide1.xml"],
                ">Hello<", ">" + body + "<");
    }
    return PackageOf(parts, false).Build();
}

// What one call answered: its code and the whole buffer.
struct Answer {
    int result = 0;
    std::string bytes;
    bool operator==(const Answer& other) const {
        return result == other.result && bytes == other.bytes;
    }
};

Answer AskField(const std::string& path, int field) {
    Answer answer;
    answer.bytes.assign(ValueBytes, '\0');
    answer.result =
        PluginModule::Get().value(path.c_str(), field, 0, answer.bytes.data(), ValueBytes, 0);
    return answer;
}

// A whole transfer as the protocol allows: first call, next calls until empty, end call. The
// joined text, or a description of the broken step.
// A transfer whose first call answered -3 was stopped (`stopped` is set).
std::string Transfer(const std::string& path, int field, bool& kept, bool& stopped) {
    const auto value = PluginModule::Get().value;
    std::string joined;
    kept = true;
    stopped = false;
    for (int unit = 0;; ++unit) {
        char piece[PieceBytes + 1] = {};
        const int result = value(path.c_str(), field, unit, piece, PieceBytes, 0);
        if (result == -3 && unit == 0) {
            stopped = true;
            break;
        }
        if (result == -3)
            break;
        if (result != 9 || unit > 100000 || std::strlen(piece) >= PieceBytes) {
            kept = false;
            joined = "call " + std::to_string(unit) + " answered " + std::to_string(result);
            break;
        }
        joined += piece;
    }
    char end[PieceBytes] = {};
    if (value(path.c_str(), field, -1, end, PieceBytes, 0) != 9) {
        kept = false;
    }
    return joined;
}

// One file under test: the path the host names, its two versions, their answers.
struct StressFile {
    std::unique_ptr<TempFile> file;
    std::array<std::string, 2> bytes;
    std::array<std::vector<Answer>, 2> fields;        // fields 0 to 42 of each version
    std::array<std::array<std::string, 2>, 2> texts;  // [version][Titles, Content]
    // Odd while a stop for the file is being called: a transfer that saw it even and unchanged
    // from start to end was not stopped.
    std::atomic<unsigned> stops{0};
    // Odd while the file is being changed; a row of answers read between two equal even
    // values saw one version only.
    std::atomic<unsigned> writes{0};
    std::atomic<unsigned> inPlaceWrites{0};  // the same, for rewrites in place only
    int current = 0;                         // the version on disk; the writer's alone
};

// The version whose answer equals `answer`, -1 for none; 2 when both versions answer alike.
int VersionOf(const StressFile& file, int field, const Answer& answer) {
    const bool a = file.fields[0][static_cast<size_t>(field)] == answer;
    const bool b = file.fields[1][static_cast<size_t>(field)] == answer;
    return a && b ? 2 : a ? 0 : b ? 1 : -1;
}

class Findings {
  public:
    void Add(const std::string& finding) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (findings_.size() < 20)
            findings_.push_back(finding);
        ++count_;
    }
    std::string Summary() {
        const std::lock_guard<std::mutex> lock(mutex_);
        std::string summary = std::to_string(count_) + " wrong answers";
        for (const auto& finding : findings_)
            summary += "\n  " + finding;
        return count_ == 0 ? std::string() : summary;
    }

  private:
    std::mutex mutex_;
    std::vector<std::string> findings_;
    size_t count_ = 0;
};

class ThreadStress : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < FileCount; ++i) {
            auto& file = files_[static_cast<size_t>(i)];
            file.bytes = {VersionBytes(i, 0), VersionBytes(i, 1)};
            ASSERT_EQ(file.bytes[0].size(), file.bytes[1].size());
            file.file = std::make_unique<TempFile>(file.bytes[1], ".pptx");
            for (int version : {0, 1}) {
                // A fresh file for each version, so nothing kept of the other can serve it.
                ReplaceByRename(file, version);
                auto& answers = file.fields[static_cast<size_t>(version)];
                for (int field = 0; field < PropertyFields; ++field)
                    answers.push_back(AskField(file.file->path(), field));
                bool kept = false;
                bool stopped = false;
                for (int text : {0, 1}) {
                    file.texts[static_cast<size_t>(version)][static_cast<size_t>(text)] =
                        Transfer(file.file->path(), TitlesField + text, kept, stopped);
                    ASSERT_TRUE(kept);
                    ASSERT_FALSE(stopped);
                }
            }
            ASSERT_FALSE(file.fields[0][TitleField] == file.fields[1][TitleField]);
            ASSERT_FALSE(file.fields[0][CompanyField] == file.fields[1][CompanyField]);
            ASSERT_NE(file.texts[0][1], file.texts[1][1]);
            ASSERT_GT(file.texts[0][1].size(), 3u * PieceBytes);
        }
    }

    static void ReplaceByRename(StressFile& file, int version) {
        const std::string fresh = file.file->path() + ".new";
        FILE* out = std::fopen(fresh.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        const std::string& bytes = file.bytes[static_cast<size_t>(version)];
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), out), bytes.size());
        ASSERT_EQ(std::fclose(out), 0);
        ASSERT_EQ(std::rename(fresh.c_str(), file.file->path().c_str()), 0);
        file.current = version;
    }

    static void RewriteInPlace(StressFile& file, int version) {
        const int descriptor = ::open(file.file->path().c_str(), O_WRONLY);
        ASSERT_GE(descriptor, 0);
        const std::string& bytes = file.bytes[static_cast<size_t>(version)];
        const ssize_t written = ::pwrite(descriptor, bytes.data(), bytes.size(), 0);
        ::close(descriptor);
        ASSERT_EQ(written, static_cast<ssize_t>(bytes.size()));
        file.current = version;
    }

    // Asks Title, Company and one more field of a random file; the first two must come from one
    // version when no write touched the file meanwhile.
    void AskRow(std::mt19937& random) {
        auto& file = files_[random() % FileCount];
        const int other = static_cast<int>(random() % PropertyFields);
        const unsigned before = file.writes.load();
        const unsigned inPlaceBefore = file.inPlaceWrites.load();
        const Answer title = AskField(file.file->path(), TitleField);
        const Answer company = AskField(file.file->path(), CompanyField);
        const Answer extra = AskField(file.file->path(), other);
        const unsigned after = file.writes.load();
        if (inPlaceBefore != file.inPlaceWrites.load() || inPlaceBefore % 2 != 0) {
            // Rewritten in place while read, the file was in no one version: an answer may be
            // that of a damaged package.
            return;
        }
        const int titleVersion = VersionOf(file, TitleField, title);
        const int companyVersion = VersionOf(file, CompanyField, company);
        if (titleVersion < 0 || companyVersion < 0 || VersionOf(file, other, extra) < 0) {
            findings_.Add(file.file->path() + ": an answer of no version (field " +
                          std::to_string(other) + ", title '" + title.bytes.c_str() + "')");
        } else if (before == after && before % 2 == 0 && titleVersion != companyVersion) {
            findings_.Add(file.file->path() + ": title and company of two versions");
        }
    }

    void TransferOne(std::mt19937& random) {
        auto& file = files_[random() % FileCount];
        const auto text = random() % 2;
        const unsigned before = file.writes.load();
        const unsigned inPlaceBefore = file.inPlaceWrites.load();
        const unsigned stopsBefore = file.stops.load();
        bool kept = false;
        bool stopped = false;
        const std::string joined =
            Transfer(file.file->path(), TitlesField + static_cast<int>(text), kept, stopped);
        const unsigned after = file.writes.load();
        const bool inPlace = inPlaceBefore != file.inPlaceWrites.load() || inPlaceBefore % 2 != 0;
        const bool maybeStopped = stopsBefore != file.stops.load() || stopsBefore % 2 != 0;
        if (!kept) {
            findings_.Add(file.file->path() + ": transfer broke the protocol: " + joined);
        } else if (stopped && !maybeStopped) {
            findings_.Add(file.file->path() + ": a transfer answered -3 with no stop for its file");
        } else if (maybeStopped) {
            // A stop may end the build of any piece: the protocol is all there is to check.
            stoppedTransfers_.fetch_add(stopped ? 1 : 0);
        } else if (before == after && before % 2 == 0 && joined != file.texts[0][text] &&
                   joined != file.texts[1][text]) {
            findings_.Add(file.file->path() +
                          ": a transfer's text of no one version: " + joined.substr(0, 80));
        } else if (before != after && !inPlace &&
                   !PiecesOfVersions(joined, file.texts[0][text], file.texts[1][text])) {
            // A file replaced between two pieces is read afresh for the next piece: each piece
            // is still that of one version.
            findings_.Add(file.file->path() +
                          ": a piece of no one version: " + joined.substr(0, 80));
        }
    }

    static bool PiecesOfVersions(const std::string& joined, const std::string& a,
                                 const std::string& b) {
        if (joined.size() != a.size()) {
            return false;
        }
        for (size_t at = 0; at < joined.size(); at += PieceBytes - 1) {
            const std::string piece = joined.substr(at, PieceBytes - 1);
            if (piece != a.substr(at, PieceBytes - 1) && piece != b.substr(at, PieceBytes - 1)) {
                return false;
            }
        }
        return true;
    }

    void ChangeOne(size_t index, bool byRename) {
        auto& file = files_[index];
        file.writes.fetch_add(1);
        if (byRename) {
            ReplaceByRename(file, 1 - file.current);
        } else {
            file.inPlaceWrites.fetch_add(1);
            RewriteInPlace(file, 1 - file.current);
            file.inPlaceWrites.fetch_add(1);
        }
        file.writes.fetch_add(1);
    }

    // Stops for one file after another, through both entry points.
    void StopOne(std::mt19937& random) {
        auto& file = files_[random() % FileCount];
        const PluginModule& module = PluginModule::Get();
        file.stops.fetch_add(1);
        if (random() % 2 == 0) {
            module.stop(file.file->path().c_str());
        } else {
            module.stopW(WideName(Widen(file.file->path())).c_str());
        }
        file.stops.fetch_add(1);
    }

    std::array<StressFile, FileCount> files_;
    Findings findings_;
    std::atomic<long> stoppedTransfers_{0};
};

TEST_F(ThreadStress, AnswersAreOfOneWholeVersionWhileFilesChange) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(QUILLET_STRESS_SECONDS);
    const auto running = [&] { return std::chrono::steady_clock::now() < deadline; };
    std::atomic<long> rows{0};
    std::atomic<long> transfers{0};
    std::atomic<long> changes{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < PropertyThreads; ++t) {
        threads.emplace_back([&, t] {
            std::mt19937 random(static_cast<unsigned>(t) + 1);
            while (running()) {
                AskRow(random);
                rows.fetch_add(1);
            }
        });
    }
    threads.emplace_back([&] {
        std::mt19937 random(99);
        while (running()) {
            TransferOne(random);
            transfers.fetch_add(1);
        }
    });
    std::atomic<long> stops{0};
    threads.emplace_back([&] {
        std::mt19937 random(7);
        while (running()) {
            StopOne(random);
            stops.fetch_add(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    threads.emplace_back([&] {
        // A file changes again only after all the others changed, each change a few
        // milliseconds apart: far beyond the file system's time-stamp granularity.
        for (size_t round = 0; running(); ++round) {
            for (size_t index = 0; index < FileCount && running(); ++index) {
                ChangeOne(index, (round + index) % 2 == 0);
                changes.fetch_add(1);
                std::this_thread::sleep_for(std::chrono::milliseconds(3));
            }
        }
    });
    for (auto& thread : threads)
        thread.join();
    std::printf("%ld rows, %ld transfers (%ld stopped), %ld changes, %ld stops in %d s\n",
                rows.load(), transfers.load(), stoppedTransfers_.load(), changes.load(),
                stops.load(), QUILLET_STRESS_SECONDS);
    EXPECT_EQ(findings_.Summary(), "");
    EXPECT_GT(transfers.load(), 0);
    EXPECT_GT(changes.load(), FileCount);

    // Once the files rest, every answer is that of the version on disk: nothing kept of a mix.
    for (auto& file : files_) {
        const auto version = static_cast<size_t>(file.current);
        for (int field = 0; field < PropertyFields; ++field) {
            EXPECT_TRUE(AskField(file.file->path(), field) ==
                        file.fields[version][static_cast<size_t>(field)])
                << file.file->path() << " field " << field;
        }
        bool kept = false;
        bool stopped = false;
        // Stopped builds kept nothing: the whole text of the version on disk.
        EXPECT_EQ(Transfer(file.file->path(), ContentField, kept, stopped), file.texts[version][1]);
        EXPECT_TRUE(kept);
        EXPECT_FALSE(stopped);
    }
}

}  // namespace
}  // namespace quillet::test
