#include "plugin/ValueConversion.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>

#include "platform/CalendarTime.h"
#include "plugin/FieldTable.h"

namespace quillet {
namespace {

// 2013-04-26T19:52:25Z as a FILETIME.
constexpr uint64_t April2013 = 130'114'795'450'000'000ull;

struct Buffer {
    std::array<unsigned char, 16> bytes;
    Buffer() { bytes.fill(0xCC); }
    void* data() { return bytes.data(); }
    uint64_t FileTime() const {
        uint32_t halves[2];
        std::memcpy(halves, bytes.data(), sizeof halves);
        return halves[0] | (static_cast<uint64_t>(halves[1]) << 32);
    }
    bool UntouchedFrom(size_t offset) const {
        for (size_t i = offset; i < bytes.size(); ++i) {
            if (bytes[i] != 0xCC)
                return false;
        }
        return true;
    }
};

TEST(ConvertDateTime, AnswersTheUtcFileTimeOfTheSixNumbers) {
    Buffer buffer;
    EXPECT_EQ(ConvertDateTime("2013-04-26T19:52:25Z", buffer.data(), 16), FieldDateTime);
    EXPECT_EQ(buffer.FileTime(), April2013);
    EXPECT_TRUE(buffer.UntouchedFrom(8));
    // Low half first.
    EXPECT_EQ(buffer.bytes[0], static_cast<unsigned char>(April2013 & 0xFF));
}

TEST(ConvertDateTime, IgnoresFractionAndZButAppliesZoneOffsets) {
    struct Case {
        const char* text;
        int64_t secondsFromApril2013;
    };
    const Case cases[] = {
        {"2013-04-26T19:52:25", 0},         {"2013-04-26T19:52:25.123Z", 0},
        {"2013-04-26T19:52:25Zjunk", 0},    {"2013-04-26T21:52:25+02:00", 0},
        {"2013-04-26T21:52:25.5+02:00", 0}, {"2013-04-26T14:22:25-05:30", 0},
        {"2013-04-26T19:52:25+0200", 0},  // not an offset of the W3C form: ignored
        {" 2013-04-26T19:52:25Z", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Buffer buffer;
        ASSERT_EQ(ConvertDateTime(c.text, buffer.data(), 16), FieldDateTime);
        EXPECT_EQ(buffer.FileTime(), April2013 + static_cast<uint64_t>(c.secondsFromApril2013));
    }
}

TEST(ConvertDateTime, TextsThatAreNoValidTimeAreEmptyAndWriteNothing) {
    const char* texts[] = {
        "",
        "2013-04-26",
        "2013-04-26 19:52:25",
        "26.04.2013 19:52",
        "2013-02-30T10:00:00Z",
        "2013-13-01T10:00:00Z",
        "2013-00-01T10:00:00Z",
        "2013-04-00T10:00:00Z",
        "2013-04-26T24:00:00Z",
        "2013-04-26T10:60:00Z",
        "2013-04-26T10:00:60Z",
        "1600-12-31T23:59:59Z",
        "1601-01-01T00:00:00+00:01",  // before the start of FILETIME once in UTC
        "-013-04-26T10:00:00Z",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        Buffer buffer;
        EXPECT_EQ(ConvertDateTime(text, buffer.data(), 16), FieldEmpty);
        EXPECT_TRUE(buffer.UntouchedFrom(0));
    }
}

TEST(ConvertDateTime, LeapDaysAndTheFirstFileTime) {
    Buffer buffer;
    EXPECT_EQ(ConvertDateTime("2012-02-29T00:00:00Z", buffer.data(), 16), FieldDateTime);
    EXPECT_EQ(ConvertDateTime("2100-02-29T00:00:00Z", buffer.data(), 16), FieldEmpty);
    EXPECT_EQ(ConvertDateTime("1601-01-01T00:00:00Z", buffer.data(), 16), FieldDateTime);
    EXPECT_EQ(buffer.FileTime(), 0u);
    EXPECT_EQ(ConvertDateTime("1970-01-01T00:00:00Z", buffer.data(), 16), FieldDateTime);
    EXPECT_EQ(buffer.FileTime(), 116'444'736'000'000'000ull);
}

TEST(ConvertMinutesToTime, WritesHoursMinutesAndZeroSeconds) {
    struct Case {
        int32_t minutes;
        uint16_t hour, minute;
    };
    const Case cases[] = {{135, 2, 15}, {1500, 25, 0}, {0, 0, 0}, {59, 0, 59}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.minutes);
        Buffer buffer;
        ASSERT_EQ(ConvertMinutesToTime(c.minutes, buffer.data(), 16), FieldTime);
        uint16_t words[3];
        std::memcpy(words, buffer.bytes.data(), sizeof words);
        EXPECT_EQ(words[0], c.hour);
        EXPECT_EQ(words[1], c.minute);
        EXPECT_EQ(words[2], 0);
        EXPECT_TRUE(buffer.UntouchedFrom(6));
    }
    Buffer buffer;
    EXPECT_EQ(ConvertMinutesToTime(-1, buffer.data(), 16), FieldEmpty);
    EXPECT_TRUE(buffer.UntouchedFrom(0));
}

TEST(ConvertCount, MinusOneIsEmptyAndZeroIsAValue) {
    Buffer buffer;
    EXPECT_EQ(ConvertCount(-1, buffer.data(), 16), FieldEmpty);
    EXPECT_TRUE(buffer.UntouchedFrom(0));
    EXPECT_EQ(ConvertCount(0, buffer.data(), 16), FieldNumeric32);
    int32_t value = 7;
    std::memcpy(&value, buffer.bytes.data(), 4);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(ConvertCount(-7, buffer.data(), 16), FieldNumeric32);
    std::memcpy(&value, buffer.bytes.data(), 4);
    EXPECT_EQ(value, -7);
    EXPECT_TRUE(buffer.UntouchedFrom(4));
}

TEST(ConvertFlag, WritesOneOrZeroAsFourBytes) {
    Buffer buffer;
    EXPECT_EQ(ConvertFlag(true, buffer.data(), 16), FieldBoolean);
    EXPECT_EQ(std::memcmp(buffer.bytes.data(), "\x01\x00\x00\x00", 4), 0);
    EXPECT_EQ(ConvertFlag(false, buffer.data(), 16), FieldBoolean);
    EXPECT_EQ(std::memcmp(buffer.bytes.data(), "\x00\x00\x00\x00", 4), 0);
    EXPECT_TRUE(buffer.UntouchedFrom(4));
}

// A fixed-size form never goes past the host's size: a smaller buffer gets nothing and no value.
TEST(FixedSizeForms, RespectTheHostsSize) {
    struct Form {
        const char* name;
        size_t bytes;
        int32_t type;
        std::function<int32_t(void*, int32_t)> convert;
    };
    const Form forms[] = {
        {"count", 4, FieldNumeric32, [](void* v, int32_t n) { return ConvertCount(7, v, n); }},
        {"flag", 4, FieldBoolean, [](void* v, int32_t n) { return ConvertFlag(true, v, n); }},
        {"time", 6, FieldTime, [](void* v, int32_t n) { return ConvertMinutesToTime(75, v, n); }},
        {"date-time", 8, FieldDateTime,
         [](void* v, int32_t n) { return ConvertDateTime("2013-04-26T19:52:25Z", v, n); }},
    };
    for (const Form& form : forms) {
        for (int32_t size = 0; size <= 7; ++size) {
            SCOPED_TRACE(std::string(form.name) + " in " + std::to_string(size) + " bytes");
            Buffer buffer;
            const int32_t result = form.convert(buffer.data(), size);
            if (static_cast<size_t>(size) < form.bytes) {
                EXPECT_EQ(result, FieldEmpty);
                EXPECT_TRUE(buffer.UntouchedFrom(0));
            } else {
                EXPECT_EQ(result, form.type);
                EXPECT_TRUE(buffer.UntouchedFrom(form.bytes));
            }
        }
    }
    Buffer buffer;
    EXPECT_EQ(ConvertCount(7, buffer.data(), -4), FieldEmpty);
    EXPECT_EQ(ConvertCount(7, nullptr, 64), FieldEmpty);
}

TEST(ConvertText, CutsToTheBufferAndNeverAnswersEmpty) {
    Buffer buffer;
    EXPECT_EQ(ConvertText("", buffer.data(), 16), FieldString);
    EXPECT_EQ(buffer.bytes[0], 0);
    EXPECT_EQ(ConvertText("abcdefgh", buffer.data(), 4), FieldString);
    EXPECT_STREQ(reinterpret_cast<const char*>(buffer.bytes.data()), "abc");
    EXPECT_TRUE(buffer.UntouchedFrom(4));
    Buffer untouched;
    EXPECT_EQ(ConvertText("abc", untouched.data(), 0), FieldString);
    EXPECT_TRUE(untouched.UntouchedFrom(0));
}

TEST(CalendarTime, UnixTimesBreakDownIntoUtcCalendarTimes) {
    const platform::SystemTime epoch = platform::UnixTimeToCalendar(0);
    EXPECT_EQ(epoch.year, 1970);
    EXPECT_EQ(epoch.month, 1);
    EXPECT_EQ(epoch.day, 1);
    const platform::SystemTime april = platform::UnixTimeToCalendar(1'366'998'745);
    EXPECT_EQ(april.year, 2013);
    EXPECT_EQ(april.month, 4);
    EXPECT_EQ(april.day, 26);
    EXPECT_EQ(april.hour, 17);
    EXPECT_EQ(april.minute, 52);
    EXPECT_EQ(april.second, 25);
}

}  // namespace
}  // namespace quillet
