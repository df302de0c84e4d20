#include "plugin/ValueConversion.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "plugin/FieldTable.h"
#include "plugin/HostBuffer.h"

namespace quillet {
namespace {

constexpr int64_t TicksPerMinute = 600'000'000;

// Writes the bytes of a fixed-size form; false, writing nothing, when the buffer is smaller.
template <typename Form>
bool WriteForm(const Form& form, void* fieldValue, int32_t maxLen) {
    if (fieldValue == nullptr || maxLen < 0 || static_cast<size_t>(maxLen) < sizeof form) {
        return false;
    }
    std::memcpy(fieldValue, &form, sizeof form);
    return true;
}

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Minutes east of UTC of a "+hh:mm" or "-hh:mm" offset at `text`, or nothing when the text does
// not start with such an offset.
std::optional<int64_t> ParseZoneOffset(const char* text) {
    if ((text[0] != '+' && text[0] != '-') || !IsDigit(text[1]) || !IsDigit(text[2]) ||
        text[3] != ':' || !IsDigit(text[4]) || !IsDigit(text[5])) {
        return std::nullopt;
    }
    const int hours = (text[1] - '0') * 10 + (text[2] - '0');
    const int minutes = (text[4] - '0') * 10 + (text[5] - '0');
    if (hours > 23 || minutes > 59) {
        return std::nullopt;
    }
    const int64_t offset = hours * 60 + minutes;
    return text[0] == '-' ? -offset : offset;
}

}  // namespace

int32_t ConvertText(std::string_view text, void* fieldValue, int32_t maxLen) {
    CopyToHostBuffer(static_cast<char*>(fieldValue), text, static_cast<int64_t>(maxLen) - 1);
    return FieldString;
}

int32_t ConvertTextW(std::string_view utf8, void* fieldValue, int32_t maxLen) {
    CopyToHostBufferW(fieldValue, utf8, static_cast<int64_t>(maxLen) / 2 - 1);
    return FieldStringW;
}

int32_t ConvertCount(int32_t count, void* fieldValue, int32_t maxLen) {
    if (count == -1 || !WriteForm(count, fieldValue, maxLen)) {
        return FieldEmpty;
    }
    return FieldNumeric32;
}

int32_t ConvertFlag(bool flag, void* fieldValue, int32_t maxLen) {
    const int32_t value = flag ? 1 : 0;
    if (!WriteForm(value, fieldValue, maxLen)) {
        return FieldEmpty;
    }
    return FieldBoolean;
}

int32_t ConvertMinutesToTime(int32_t minutes, void* fieldValue, int32_t maxLen) {
    const std::array<uint16_t, 3> words = {static_cast<uint16_t>(minutes / 60),
                                           static_cast<uint16_t>(minutes % 60), 0};
    if (minutes == -1 || !WriteForm(words, fieldValue, maxLen)) {
        return FieldEmpty;
    }
    return FieldTime;
}

std::optional<platform::FileTime> ParseDateTime(const std::string& text) {
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%4u-%02u-%02uT%02u:%02u:%02u%n", &year, &month, &day, &hour,
                    &minute, &second, &consumed) != 6) {
        return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59 ||
        year < 1601 || year > 9999) {
        return std::nullopt;
    }
    platform::SystemTime time;
    time.year = static_cast<uint16_t>(year);
    time.month = static_cast<uint16_t>(month);
    time.day = static_cast<uint16_t>(day);
    time.hour = static_cast<uint16_t>(hour);
    time.minute = static_cast<uint16_t>(minute);
    time.second = static_cast<uint16_t>(second);
    platform::FileTime fileTime = 0;
    if (!platform::SystemTimeToFileTime(time, fileTime)) {
        return std::nullopt;  // a day the month lacks
    }

    const char* rest = text.c_str() + consumed;
    if (*rest == '.') {
        ++rest;
        while (IsDigit(*rest))
            ++rest;
    }
    if (const auto offsetMinutes = ParseZoneOffset(rest)) {
        const int64_t utc = static_cast<int64_t>(fileTime) - *offsetMinutes * TicksPerMinute;
        if (utc < 0) {
            return std::nullopt;
        }
        fileTime = static_cast<platform::FileTime>(utc);
    }
    return fileTime;
}

int32_t ConvertDateTime(const std::string& text, void* fieldValue, int32_t maxLen) {
    const auto fileTime = ParseDateTime(text);
    if (!fileTime) {
        return FieldEmpty;
    }
    const std::array<uint32_t, 2> halves = {static_cast<uint32_t>(*fileTime),
                                            static_cast<uint32_t>(*fileTime >> 32)};
    if (!WriteForm(halves, fieldValue, maxLen)) {
        return FieldEmpty;
    }
    return FieldDateTime;
}

}  // namespace quillet
