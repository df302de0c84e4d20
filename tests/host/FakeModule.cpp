// A stand-in module with known answers of every form, so the host's decoding, formatting and
// paging can be checked against values chosen here. It also checks that the host keeps the
// paging protocol: a broken sequence is answered wrongly, and one left open is reported on
// standard error when the module is unloaded. Built with FAKE_WITH_TEXT it also lists "Text", a
// full text more complete than its "Content", as a module may. Two environment variables steer
// it:
// QUILLET_FAKE_DETECT replaces its detection string, and QUILLET_FAKE_CALLS names a file to
// which every value request is appended as a line "field<TAB>unit<TAB>file".
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Field {
    const char* name;
    int type;
};

enum Index : int {
    TitleIndex,
    CreatedIndex,
    EpochIndex,
    LeapIndex,
    TotalTimeIndex,
    SharedIndex,
    LinkedIndex,
    PagesIndex,
    WordsIndex,
    SilentIndex,
    BodyIndex,
    NotesIndex,
    EndlessIndex,
    OddIndex,
    TitlesIndex,
    ContentIndex,
    TextIndex,
#ifdef FAKE_WITH_TEXT
    FieldCount,
#else
    FieldCount = TextIndex,
#endif
};

const Field Fields[] = {
    {"Title", 8},   {"Created", 10}, {"Epoch", 10}, {"Leap", 10},   {"TotalTime", 5}, {"Shared", 6},
    {"Linked", 6},  {"Pages", 1},    {"Words", 1},  {"Silent", 8},  {"Body", 9},      {"Notes", 9},
    {"Endless", 9}, {"Odd", 8},      {"Titles", 9}, {"Content", 9}, {"Text", 9},
};

const char* const Title = "Annual \"report\" \\ \xE9t\xE9";
const char* const Body = "line one\tcol\nline two\x01 end";
const char* const Notes = "second text";
const char* const Titles = "Sheet1 Summary";

// 2013-04-26T19:52:25Z plus 0.1234567 s, which the host must not round up.
constexpr uint64_t Created = 130114795450000000ULL + 1234567ULL;
// 2024-02-29T23:59:59Z.
constexpr uint64_t Leap = 133537247990000000ULL;

// The one full-text sequence in progress, as a real module keeps it.
struct Sequence {
    bool open = false;
    int field = 0;
    int size = 0;
    size_t offset = 0;
};
Sequence sequence;

// Runs when the host unloads the module.
struct UnloadCheck {
    ~UnloadCheck() {
        if (sequence.open)
            std::fprintf(stderr, "fake module: full-text sequence of field %d left open\n",
                         sequence.field);
    }
} unloadCheck;

void CopyText(void* value, const std::string& text, int size) {
    const size_t count =
        text.size() < static_cast<size_t>(size - 1) ? text.size() : static_cast<size_t>(size - 1);
    std::memcpy(value, text.data(), count);
    static_cast<char*>(value)[count] = '\0';
}

unsigned LittleEndian(const std::string& bytes, size_t offset, size_t count) {
    unsigned value = 0;
    for (size_t i = count; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

// The text of a file: the data of its first member when it is a ZIP package whose first member
// is stored (the host reads only packages), else its own bytes. So a test chooses the text.
[[maybe_unused]] std::string FileText(const char* fileName) {
    std::ifstream in(fileName, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 30 || bytes.compare(0, 4, "PK\x03\x04") != 0)
        return bytes;
    const size_t size = LittleEndian(bytes, 18, 4);
    const size_t start = 30 + LittleEndian(bytes, 26, 2) + LittleEndian(bytes, 28, 2);
    return start + size <= bytes.size() ? bytes.substr(start, size) : bytes;
}

[[maybe_unused]] std::string FullTextOf(int field, const char* fileName) {
    switch (field) {
        case BodyIndex:
            return Body;
        case NotesIndex:
            return Notes;
        case TitlesIndex:
            return Titles;
        case ContentIndex: {
            // Where "Text" is listed, "Content" is its part before a '|'.
            const std::string text = FileText(fileName);
            return FieldCount > TextIndex ? text.substr(0, text.find('|')) : text;
        }
        case TextIndex:
            return FileText(fileName);
        default:
            return "x";
    }
}

[[maybe_unused]] void LogCall(const char* fileName, int field, int unit) {
    const char* const log = std::getenv("QUILLET_FAKE_CALLS");
    if (log == nullptr)
        return;
    std::ofstream(log, std::ios::app) << field << '\t' << unit << '\t' << fileName << '\n';
}

[[maybe_unused]] int FullText(const char* fileName, int field, int unit, void* value, int size) {
    const std::string text = FullTextOf(field, fileName);
    const auto step = static_cast<size_t>(size - 1);
    if (unit == -1) {
        sequence.open = false;
        return 9;
    }
    if (unit == 0) {
        // A first call while another sequence is open: the host skipped an end call.
        if (sequence.open)
            return 5;
        sequence = Sequence{true, field, size, 0};
    } else if (!sequence.open || sequence.field != field || sequence.size != size) {
        return -1;
    } else if (field == EndlessIndex) {
        return 9;  // never ends and writes nothing
    } else if (sequence.offset >= text.size()) {
        return -3;
    }
    CopyText(value, sequence.offset < text.size() ? text.substr(sequence.offset) : "", size);
    sequence.offset += step;
    return 9;
}

}  // namespace

FAKE_EXPORT int ContentGetDetectString(char* detectString, int maxLen) {
    const char* const replaced = std::getenv("QUILLET_FAKE_DETECT");
    CopyText(detectString, replaced != nullptr ? replaced : "EXT=\"FAKE\"", maxLen);
    return 0;
}

FAKE_EXPORT int ContentGetSupportedField(int fieldIndex, char* fieldName, char* units, int maxLen) {
    if (fieldIndex < 0 || fieldIndex >= FieldCount)
        return 0;
    CopyText(fieldName, Fields[fieldIndex].name, maxLen);
    CopyText(units, fieldIndex == PagesIndex ? "pages|sheets" : "", maxLen);
    return Fields[fieldIndex].type;
}

#ifndef FAKE_WITHOUT_VALUE
FAKE_EXPORT int ContentGetValue(const char* fileName, int fieldIndex, int unitIndex,
                                void* fieldValue, int maxLen, int /*flags*/) {
    LogCall(fileName, fieldIndex, unitIndex);
    if (!std::ifstream(fileName))
        return -2;
    const auto put32 = [fieldValue](int32_t number) {
        std::memcpy(fieldValue, &number, sizeof number);
    };
    const auto put64 = [fieldValue](uint64_t fileTime) {
        const uint32_t halves[2] = {static_cast<uint32_t>(fileTime),
                                    static_cast<uint32_t>(fileTime >> 32)};
        std::memcpy(fieldValue, halves, sizeof halves);
    };
    switch (fieldIndex) {
        case TitleIndex:
            CopyText(fieldValue, Title, maxLen);
            return 8;
        case CreatedIndex:
            put64(Created);
            return 10;
        case EpochIndex:
            put64(0);
            return 10;
        case LeapIndex:
            put64(Leap);
            return 10;
        case TotalTimeIndex: {
            const uint16_t words[3] = {25, 7, 3};
            std::memcpy(fieldValue, words, sizeof words);
            return 5;
        }
        case SharedIndex:
            put32(2);  // any value but 0 is true
            return 6;
        case LinkedIndex:
            put32(0);
            return 6;
        case PagesIndex:
            put32(-7);
            return 1;
        case WordsIndex:
            return -3;
        case SilentIndex:
            return 8;  // claims a string but writes nothing
        case BodyIndex:
        case NotesIndex:
        case EndlessIndex:
        case TitlesIndex:
        case ContentIndex:
        case TextIndex:
            if (fieldIndex >= FieldCount)
                return -1;
            return FullText(fileName, fieldIndex, unitIndex, fieldValue, maxLen);
        case OddIndex:
            return 42;
        default:
            return -1;
    }
}
#endif
