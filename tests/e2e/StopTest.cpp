// A host stops a value that takes long from another thread: the build of that file ends at its
// next element and its request answers -3; builds of other files go on untouched.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "support/PackageBuilder.h"
#include "support/PluginModule.h"
#include "support/Repeat.h"
#include "support/TempFile.h"

namespace quillet::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int ContentField = 44;

// How long a stopped build may take to answer: one element, and the part being parsed when the
// stop came. Sanitizers and wine slow everything down.
milliseconds StopLatencyBound() {
#if defined(_WIN32) || defined(__SANITIZE_ADDRESS__)
    return milliseconds(1000);
#else
    return milliseconds(100);
#endif
}

// A workbook of `sheets` sheets, each of about `sheetBytes` of XML: rows of five numbers.
std::string Workbook(int sheets, size_t sheetBytes) {
    std::string sheet = "<?xml version=\"1.0\"?><worksheet><sheetData>";
    for (int row = 0; sheet.size() < sheetBytes; ++row) {
        sheet += "<row>";
        for (int cell = 0; cell < 5; ++cell) {
            sheet += "<c><v>" + std::to_string(row * 5 + cell) + "</v></c>";
        }
        sheet += "</row>";
    }
    sheet += "</sheetData></worksheet>";
    PackageBuilder builder;
    builder.AddDeflated("xl/workbook.xml", "<?xml version=\"1.0\"?><workbook/>");
    for (int i = 1; i <= sheets; ++i) {
        builder.AddDeflated("xl/worksheets/sheet" + std::to_string(i) + ".xml", sheet);
    }
    return builder.Build();
}

struct TimedAnswer {
    int result = 0;
    Clock::time_point end;
};

// The first call of a "Content" transfer through ContentGetValueW, on a thread of its own.
class FirstCallThread {
  public:
    explicit FirstCallThread(const std::string& path, bool wide = true)
        : thread_([this, path, wide] {
              const PluginModule& module = PluginModule::Get();
              answer_.result = wide ? module.ValueW(Widen(path), ContentField, 0, 2048).result
                                    : module.Value(path, ContentField, 0, 2048).result;
              answer_.end = Clock::now();
              done_.store(true);
          }) {}
    ~FirstCallThread() {
        if (thread_.joinable())
            thread_.join();
    }
    FirstCallThread(const FirstCallThread&) = delete;
    FirstCallThread& operator=(const FirstCallThread&) = delete;

    bool done() const { return done_.load(); }
    TimedAnswer Wait() {
        thread_.join();
        return answer_;
    }

  private:
    TimedAnswer answer_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

// Builds the text once, unstopped, and answers how long that took.
milliseconds WholeBuild(const std::string& path, std::u16string& text) {
    const auto start = Clock::now();
    text = PluginModule::Get().FullTextW(Widen(path), ContentField, 1 << 20);
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

// Stops the transfer of `path` 50 ms after it started; the stopped call must answer -3 within
// the bound, and the next first call must build the whole text again.
void ExpectStopped(const std::string& path, bool wide, const std::u16string& whole) {
    const PluginModule& module = PluginModule::Get();
    FirstCallThread transfer(path, wide);
    std::this_thread::sleep_for(milliseconds(50));
    ASSERT_FALSE(transfer.done()) << "the build ended before the stop: too small to stop";
    const auto stopped = Clock::now();
    if (wide) {
        module.stopW(WideName(Widen(path)).c_str());
    } else {
        module.stop(path.c_str());
    }
    const TimedAnswer answer = transfer.Wait();
    EXPECT_EQ(answer.result, -3);
    EXPECT_LT(std::chrono::duration_cast<milliseconds>(answer.end - stopped).count(),
              StopLatencyBound().count())
        << "ms from the stop to the answer";
    EXPECT_EQ(module.ValueW(Widen(path), ContentField, -1).result, 12);
    // Nothing of the stopped build was kept: the next transfer builds the whole text.
    EXPECT_EQ(module.FullTextW(Widen(path), ContentField, 64 * 1024), whole);
}

TEST(Stop, AStopForAnotherFileOrWithNothingBuiltChangesNothing) {
    const PluginModule& module = PluginModule::Get();
    const TempFile file(Workbook(60, 150 * 1024), ".xlsx");
    const TempFile other(Workbook(1, 1024), ".xlsx");
    module.stopW(WideName(Widen(file.path())).c_str());  // nothing is built yet
    module.stop(file.path().c_str());
    std::u16string whole;
    WholeBuild(file.path(), whole);

    FirstCallThread transfer(file.path());
    while (!transfer.done()) {
        module.stopW(WideName(Widen(other.path())).c_str());
        module.stop(other.path().c_str());
        module.stop((file.path() + "x").c_str());
        std::this_thread::sleep_for(milliseconds(5));
    }
    EXPECT_EQ(transfer.Wait().result, 12);
    EXPECT_EQ(module.FullTextW(Widen(file.path()), ContentField, 64 * 1024), whole);
}

// How large the stop tests' parts are: where the time bound is 100 ms, a sheet of 60 MB; a
// quarter of that under the sanitizers and wine, whose bound is looser and whose builds cost
// many times more, and where the parts' builds would take most of the test's time.
size_t Scale() {
#if defined(_WIN32) || defined(__SANITIZE_ADDRESS__)
    return 1;
#else
    return 4;
#endif
}

// A document whose paragraphs each hold 400,000 empty elements, read step for step. Their long
// names make the build last: as many short ones as one request may build are read within the
// 50 ms the stop waits.
std::string ParagraphsOfEmptyElements() {
    const std::string element = "<w:" + std::string(94, 'x') + "/>";
    const std::string paragraph =
        "<w:p><w:r><w:t>a</w:t></w:r>" + Repeat(element, 400'000) + "</w:p>";
    PackageBuilder builder;
    builder.AddDeflated("word/document.xml",
                        "<w:document><w:body>" + Repeat(paragraph, 4) + "</w:body></w:document>");
    return builder.Build();
}

// A workbook whose shared-string table holds millions of items, read before its sheet.
std::string WorkbookOfManyStrings() {
    const size_t items = 500'000 * Scale();
    std::string shared = "<sst uniqueCount=\"" + std::to_string(items) + "\">";
    for (size_t i = 0; i < items; ++i)
        shared += "<si><t>s" + std::to_string(i) + "</t></si>";
    PackageBuilder builder;
    builder.AddDeflated("xl/workbook.xml", "<workbook/>");
    builder.AddDeflated("xl/sharedStrings.xml", shared + "</sst>");
    builder.AddDeflated("xl/worksheets/sheet1.xml",
                        "<worksheet><sheetData><row><c t=\"s\"><v>7</v></c></row></sheetData>"
                        "</worksheet>");
    return builder.Build();
}

struct StopCase {
    const char* name;
    std::string (*bytes)();
};

const StopCase StopCases[] = {
    // One sheet read one row at a time: the stop lands inside the part.
    {"SheetOf60MB", [] { return Workbook(1, 15'000'000 * Scale()); }},
    {"ParagraphsOfMillionsOfElements", ParagraphsOfEmptyElements},
    {"SharedStringTableOfMillionsOfItems", WorkbookOfManyStrings},
};

class StopWithin100ms : public testing::TestWithParam<StopCase> {};

TEST_P(StopWithin100ms, EndsTheTransferAndKeepsNothing) {
    const TempFile file(GetParam().bytes(), ".xlsx");
    std::u16string whole;
    WholeBuild(file.path(), whole);
    ASSERT_FALSE(whole.empty());
    ExpectStopped(file.path(), true, whole);
    ExpectStopped(file.path(), false, whole);
}

INSTANTIATE_TEST_SUITE_P(Parts, StopWithin100ms, testing::ValuesIn(StopCases),
                         [](const testing::TestParamInfo<StopCase>& param) {
                             return std::string(param.param.name);
                         });

}  // namespace
}  // namespace quillet::test
