// The Windows platform layer on the real Win32 services (under wine in the cross build).
#ifdef _WIN32

#include "platform/win32/WindowsApi.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/CalendarTime.h"
#include "platform/CodePage.h"
#include "platform/DynamicLibrary.h"
#include "platform/FileSystem.h"
#include "platform/Time.h"
#include "support/TempFile.h"

namespace quillet::platform {
namespace {

// 2013-04-26T19:52:25Z and 1980-01-01T00:00:00 as FILETIMEs.
constexpr FileTime April2013 = 130'114'795'450'000'000ull;
constexpr FileTime January1980 = 119'600'064'000'000'000ull;
constexpr FileTime Untouched = 0x0123'4567'89AB'CDEFull;

// UTF-8 spellings of the characters the conversions are tried on.
const char* const EAcute = "\xC3\xA9";         // U+00E9, 0xE9 in 1252, 0x82 in 850
const char* const Euro = "\xE2\x82\xAC";       // U+20AC, 0x80 in 1252
const char* const AMacron = "\xC4\x81";        // U+0101, not in 1252
const char* const CjkMiddle = "\xE4\xB8\xAD";  // U+4E2D, not in 1252 and no best fit
const char* const SharpS = "Gro\xC3\x9F\x65";  // "Große"

SystemTime Calendar(uint16_t year, uint16_t month, uint16_t day, uint16_t hour = 0,
                    uint16_t minute = 0, uint16_t second = 0, uint16_t milliseconds = 0) {
    SystemTime time;
    time.year = year;
    time.month = month;
    time.day = day;
    time.hour = hour;
    time.minute = minute;
    time.second = second;
    time.milliseconds = milliseconds;
    return time;
}

class ProcessAnsi : public ::testing::Test {
  protected:
    void SetUp() override {
        // The expectations below are those of the Western European code page that wine uses in
        // the C.UTF-8 locale (scripts/wine-run.sh sets it).
        ASSERT_EQ(::GetACP(), 1252u) << "the tests expect the ANSI code page 1252";
    }
};

TEST_F(ProcessAnsi, EmptyAndAsciiTextsPassUnchanged) {
    EXPECT_EQ(Utf8ToProcessAnsi(""), "");
    EXPECT_EQ(Utf8ToProcessAnsi(nullptr), "");
    EXPECT_EQ(Utf8ToProcessAnsi("Quarterly report, v2 (draft) ~ 100%"),
              "Quarterly report, v2 (draft) ~ 100%");
}

TEST_F(ProcessAnsi, WesternLettersBecomeTheirSingleByte) {
    EXPECT_EQ(Utf8ToProcessAnsi(EAcute), "\xE9");
    EXPECT_EQ(Utf8ToProcessAnsi(SharpS), "Gro\337e");
    // Not Latin-1: the euro sign has a byte of its own in 1252.
    EXPECT_EQ(Utf8ToProcessAnsi(Euro), "\x80");
    EXPECT_EQ(Utf8ToProcessAnsi((std::string("caf") + EAcute + " " + Euro + "5").c_str()),
              "caf\351 \2005");
}

TEST_F(ProcessAnsi, CharactersTheCodePageLacksBecomeOneByteEach) {
    // Windows maps U+0101 to its best fit "a"; without best fit it is the default character.
    const std::string macron = Utf8ToProcessAnsi(AMacron);
    EXPECT_TRUE(macron == "a" || macron == "?") << macron;
    EXPECT_EQ(Utf8ToProcessAnsi(CjkMiddle), "?");
    EXPECT_EQ(Utf8ToProcessAnsi((std::string("<") + CjkMiddle + CjkMiddle + ">").c_str()),
              "<\?\?>");
}

TEST_F(ProcessAnsi, MalformedUtf8IsReplacedNotDropped) {
    EXPECT_EQ(Utf8ToProcessAnsi("a\377b"), "a?b");
    EXPECT_EQ(Utf8ToProcessAnsi("a\200b"), "a?b");
    EXPECT_EQ(Utf8ToProcessAnsi("end\xC3"), "end?");
    const std::string mixed = Utf8ToProcessAnsi((std::string("\xFE") + EAcute + "\xFE").c_str());
    EXPECT_EQ(mixed, "?\xE9?");
    EXPECT_EQ(mixed.find('\0'), std::string::npos);
}

TEST(FileExists, FindsFilesAndDirectoriesButNotMissingPaths) {
    const test::TempFile file("x");
    EXPECT_TRUE(FileExists(file.path().c_str()));
    const std::string directory = std::filesystem::path(file.path()).parent_path().string();
    EXPECT_TRUE(FileExists(directory.c_str())) << directory;
    EXPECT_FALSE(FileExists(test::MissingPath().c_str()));
    EXPECT_FALSE(FileExists((directory + "\\no-such-folder\\file.docx").c_str()));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(nullptr));
}

TEST(FileExists, FollowsTheFileAway) {
    std::string path;
    {
        const test::TempFile file("x", ".xlsx");
        path = file.path();
        EXPECT_TRUE(FileExists(path.c_str()));
    }
    EXPECT_FALSE(FileExists(path.c_str()));
}

TEST(SystemTimeToFileTime, KnownTimes) {
    FileTime fileTime = Untouched;
    ASSERT_TRUE(SystemTimeToFileTime(Calendar(1601, 1, 1), fileTime));
    EXPECT_EQ(fileTime, 0u);
    ASSERT_TRUE(SystemTimeToFileTime(Calendar(1970, 1, 1), fileTime));
    EXPECT_EQ(fileTime, 116'444'736'000'000'000ull);
    ASSERT_TRUE(SystemTimeToFileTime(Calendar(2013, 4, 26, 19, 52, 25), fileTime));
    EXPECT_EQ(fileTime, April2013);
    ASSERT_TRUE(SystemTimeToFileTime(Calendar(2013, 4, 26, 19, 52, 25, 999), fileTime));
    EXPECT_EQ(fileTime, April2013 + 9'990'000);
    // The day of the week is not checked.
    SystemTime wrongWeekday = Calendar(2013, 4, 26, 19, 52, 25);
    wrongWeekday.dayOfWeek = 6;
    ASSERT_TRUE(SystemTimeToFileTime(wrongWeekday, fileTime));
    EXPECT_EQ(fileTime, April2013);
}

TEST(SystemTimeToFileTime, InvalidTimesFailAndLeaveTheResult) {
    const SystemTime invalid[] = {
        Calendar(1600, 12, 31, 23, 59, 59),
        Calendar(2013, 2, 29),
        Calendar(2100, 2, 29),
        Calendar(2013, 4, 31),
        Calendar(2013, 13, 1),
        Calendar(2013, 0, 1),
        Calendar(2013, 4, 0),
        Calendar(2013, 4, 26, 24),
        Calendar(2013, 4, 26, 0, 60),
        Calendar(2013, 4, 26, 0, 0, 60),
        Calendar(2013, 4, 26, 0, 0, 0, 1000),
    };
    for (const SystemTime& time : invalid) {
        SCOPED_TRACE(std::to_string(time.year) + "-" + std::to_string(time.month) + "-" +
                     std::to_string(time.day));
        FileTime fileTime = Untouched;
        EXPECT_FALSE(SystemTimeToFileTime(time, fileTime));
        EXPECT_EQ(fileTime, Untouched);
    }
    FileTime leapDay = Untouched;
    EXPECT_TRUE(SystemTimeToFileTime(Calendar(2000, 2, 29), leapDay));
    EXPECT_TRUE(SystemTimeToFileTime(Calendar(2012, 2, 29), leapDay));
}

TEST(SystemTimeToFileTime, AgreesWithTheCalendarArithmeticOfThePosixBuild) {
    // Every day of years around the century rules, plus the last day Windows knows.
    const uint16_t years[] = {1601, 1700, 1899, 1900, 1904, 1999, 2000, 2001, 2024, 2100};
    for (const uint16_t year : years) {
        for (uint16_t month = 1; month <= 12; ++month) {
            for (uint16_t day = 1; day <= DaysInMonth(year, month); ++day) {
                const SystemTime time = Calendar(year, month, day, 13, 14, 15, 16);
                const SYSTEMTIME win{year, month, 0, day, 13, 14, 15, 16};
                FILETIME system{};
                ASSERT_TRUE(::SystemTimeToFileTime(&win, &system)) << year << "-" << month;
                FileTime viaLayer = Untouched;
                FileTime portable = Untouched;
                ASSERT_TRUE(SystemTimeToFileTime(time, viaLayer));
                ASSERT_TRUE(CalendarToFileTime(time, portable));
                const FileTime native =
                    (static_cast<FileTime>(system.dwHighDateTime) << 32) | system.dwLowDateTime;
                ASSERT_EQ(viaLayer, native) << year << "-" << month << "-" << day;
                ASSERT_EQ(portable, native) << year << "-" << month << "-" << day;
            }
        }
    }
    FileTime last = Untouched;
    ASSERT_TRUE(SystemTimeToFileTime(Calendar(30827, 12, 31, 23, 59, 59, 999), last));
    FileTime portableLast = Untouched;
    ASSERT_TRUE(CalendarToFileTime(Calendar(30827, 12, 31, 23, 59, 59, 999), portableLast));
    EXPECT_EQ(last, portableLast);
}

TEST(DynamicLibrary, LoadsASystemModuleAndFindsItsExports) {
    DynamicLibrary kernel;
    ASSERT_TRUE(kernel.Load("kernel32.dll")) << kernel.error();
    EXPECT_TRUE(kernel.loaded());
    EXPECT_NE(kernel.Find("GetACP"), nullptr);
    EXPECT_EQ(kernel.Find("NoSuchFunctionAnywhere"), nullptr);
}

TEST(DynamicLibrary, AMissingModuleFailsWithTheSystemsReason) {
    DynamicLibrary missing;
    EXPECT_FALSE(missing.Load(test::MissingPath()));
    EXPECT_FALSE(missing.loaded());
    EXPECT_FALSE(missing.error().empty());
    EXPECT_EQ(missing.Find("ContentGetValue"), nullptr);
}

}  // namespace
}  // namespace quillet::platform

#endif  // _WIN32
