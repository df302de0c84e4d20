#include "ValueText.h"

#include <cstdio>

#include "ModuleClient.h"
#include "platform/CalendarTime.h"

namespace quillet::host {
namespace {

void AppendEscape(std::string& out, const char* format, unsigned value) {
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

}  // namespace

std::string FileTimeToIso(uint64_t fileTime) {
    const quillet::platform::SystemTime time = quillet::platform::FileTimeToCalendar(fileTime);
    char text[40];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", unsigned{time.year},
                  unsigned{time.month}, unsigned{time.day}, unsigned{time.hour},
                  unsigned{time.minute}, unsigned{time.second});
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
        case QUILLET_FIELD_NUMERIC32:
            return "int32";
        case QUILLET_FIELD_TIME:
            return "time";
        case QUILLET_FIELD_BOOLEAN:
            return "boolean";
        case QUILLET_FIELD_STRING:
            return "string";
        case QUILLET_FIELD_FULL_TEXT:
            return "fulltext";
        case QUILLET_FIELD_DATE_TIME:
            return "datetime";
        default:
            return "type" + std::to_string(type);
    }
}

}  // namespace quillet::host
