#include "ValueText.h"

#include <cstdio>

#include "ModuleClient.h"

namespace quillet::host {
namespace {

constexpr uint64_t TicksPerSecond = 10'000'000;
constexpr int64_t SecondsPerDay = 86'400;
// Days from 1601-01-01 to 1970-01-01.
constexpr int64_t DaysFrom1601To1970 = 134'774;

struct CivilDate {
    int64_t year;
    unsigned month;
    unsigned day;
};

// The proleptic Gregorian date of a count of days since 1970-01-01 (H. Hinnant's algorithm),
// free of the C library's time_t range.
CivilDate CivilFromDays(int64_t days) {
    days += 719'468;
    const int64_t era = (days >= 0 ? days : days - 146'096) / 146'097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146'097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const unsigned month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const int64_t year = static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

void AppendEscape(std::string& out, const char* format, unsigned value) {
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

}  // namespace

std::string FileTimeToIso(uint64_t fileTime) {
    const uint64_t seconds = fileTime / TicksPerSecond;
    const auto days = static_cast<int64_t>(seconds / SecondsPerDay);
    const auto secondOfDay = static_cast<unsigned>(seconds % SecondsPerDay);
    const CivilDate date = CivilFromDays(days - DaysFrom1601To1970);
    char text[40];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02u:%02u:%02uZ",
                  static_cast<long long>(date.year), date.month, date.day, secondOfDay / 3600,
                  secondOfDay / 60 % 60, secondOfDay % 60);
    return text;
}

std::string TimeText(uint16_t hour, uint16_t minute, uint16_t second) {
    char text[24];
    std::snprintf(text, sizeof text, "%u:%02u:%02u", unsigned{hour}, unsigned{minute},
                  unsigned{second});
    return text;
}

std::string QuotedPlain(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F)
                    AppendEscape(out, "\\x%02X", byte);
                else
                    out += c;
        }
    }
    return out + "\"";
}

std::string QuotedJson(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            AppendEscape(out, "\\u%04x", byte);
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string TypeName(int type) {
    switch (type) {
        case TypeNumeric32:
            return "int32";
        case TypeTime:
            return "time";
        case TypeBoolean:
            return "boolean";
        case TypeString:
            return "string";
        case TypeFullText:
            return "fulltext";
        case TypeDateTime:
            return "datetime";
        default:
            return "type" + std::to_string(type);
    }
}

}  // namespace quillet::host
