#include "ModuleClient.h"

#include <algorithm>
#include <cstring>
#include <optional>

#ifdef _WIN32
#include "platform/win32/WindowsApi.h"
#endif

#include "platform/Unicode.h"

namespace quillet::host {
namespace {

// Buffer sizes the host hands over, like a file manager's own fixed buffers.
constexpr int NameBuffer = 256;
constexpr int DetectBuffer = 4096;
constexpr int ValueBuffer = 64 * 1024;
// Guards against a module that never ends its table or its full text.
constexpr int MaxFields = 10000;
constexpr size_t MaxFullText = size_t{256} * 1024 * 1024;

// The text in a buffer the module may have left unterminated or not written at all.
std::string TextIn(const std::vector<char>& buffer, int size) {
    const char* begin = buffer.data();
    const auto limit = static_cast<size_t>(size);
    return std::string(begin, std::find(begin, begin + limit, '\0'));
}

// The UTF-16 text in a buffer of `size` bytes, up to its terminator or the end of the buffer.
std::u16string UnitsIn(const std::vector<char>& buffer, int size) {
    std::u16string units;
    for (size_t i = 0; i + 1 < static_cast<size_t>(size) && i + 1 < buffer.size(); i += 2) {
        char16_t unit = 0;
        std::memcpy(&unit, buffer.data() + i, sizeof unit);
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    return units;
}

std::string Utf8Of(const std::u16string& units) {
    std::string utf8;
    if (!platform::Utf16ToUtf8(units, utf8)) {
        // A module that hands over half a pair: shown as the replacement it stands for.
        std::u16string mended;
        for (const char16_t unit : units)
            mended.push_back(unit >= 0xD800 && unit <= 0xDFFF ? char16_t(0xFFFD) : unit);
        platform::Utf16ToUtf8(mended, utf8);
    }
    return utf8;
}

// The file's name in UTF-16 as a Unicode host passes it, or nothing when it has none (a Linux
// name that is not UTF-8): such a file is asked for through ContentGetValue.
std::optional<std::basic_string<QuilletWideChar>> WideNameOf(const std::string& file) {
#ifdef _WIN32
    const int count = ::MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, nullptr, 0);
    if (count <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<size_t>(count), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide.data(), count);
    wide.resize(static_cast<size_t>(count) - 1);
    return wide;
#else
    if (platform::WellFormedUtf8(file) != file)
        return std::nullopt;
    return platform::Utf8ToUtf16(file);
#endif
}

template <typename T>
T Read(const std::vector<char>& buffer, size_t offset = 0) {
    T value{};
    std::memcpy(&value, buffer.data() + offset, sizeof value);
    return value;
}

}  // namespace

bool ModuleClient::Load(const std::string& path, std::string& error) {
    if (!library_.Load(path)) {
        error = "cannot load module " + path + ": " + library_.error();
        return false;
    }
    detect_ =
        reinterpret_cast<ContentGetDetectStringFunction>(library_.Find("ContentGetDetectString"));
    field_ = reinterpret_cast<ContentGetSupportedFieldFunction>(
        library_.Find("ContentGetSupportedField"));
    value_ = reinterpret_cast<ContentGetValueFunction>(library_.Find("ContentGetValue"));
    valueW_ = reinterpret_cast<ContentGetValueWFunction>(library_.Find("ContentGetValueW"));
    std::string missing;
    for (const auto& [found, name] :
         {std::pair<bool, const char*>{detect_ != nullptr, "ContentGetDetectString"},
          {field_ != nullptr, "ContentGetSupportedField"},
          {value_ != nullptr, "ContentGetValue"}}) {
        if (!found)
            missing += std::string(missing.empty() ? "" : ", ") + name;
    }
    if (!missing.empty()) {
        error = "module " + path + " lacks " + missing;
        return false;
    }
    return true;
}

std::string ModuleClient::DetectString() const {
    std::vector<char> buffer(DetectBuffer + 1, '\0');
    detect_(buffer.data(), DetectBuffer);
    return TextIn(buffer, DetectBuffer);
}

std::vector<FieldInfo> ModuleClient::Fields() const {
    std::vector<FieldInfo> fields;
    for (int index = 0; index < MaxFields; ++index) {
        std::vector<char> name(NameBuffer + 1, '\0');
        std::vector<char> units(NameBuffer + 1, '\0');
        const int type = field_(index, name.data(), units.data(), NameBuffer);
        // 0 ends the table; a negative answer is not a field either.
        if (type <= 0)
            break;
        fields.push_back({index, TextIn(name, NameBuffer), type, TextIn(units, NameBuffer)});
    }
    return fields;
}

int ModuleClient::Call(const std::string& file, int index, int unit, std::vector<char>& buffer,
                       int size, std::string& text) const {
    // Zeroed before each call, so a module that writes nothing leaves an empty value.
    std::fill(buffer.begin(), buffer.end(), '\0');
    // A buffer without room for one UTF-16 unit and its terminator goes to ContentGetValue.
    const auto wideName = valueW_ != nullptr && size >= 4 ? WideNameOf(file) : std::nullopt;
    if (!wideName) {
        const int result = value_(file.c_str(), index, unit, buffer.data(), size, 0);
        if (result == QUILLET_FIELD_STRING || result == QUILLET_FIELD_FULL_TEXT)
            text = TextIn(buffer, size);
        return result;
    }
    const int result = valueW_(wideName->c_str(), index, unit, buffer.data(), size, 0);
    if (result != QUILLET_FIELD_STRING_W && result != QUILLET_FIELD_FULL_TEXT_W)
        return result;
    text = Utf8Of(UnitsIn(buffer, size));
    return result == QUILLET_FIELD_STRING_W ? QUILLET_FIELD_STRING : QUILLET_FIELD_FULL_TEXT;
}

FieldValue ModuleClient::Value(const std::string& file, const FieldInfo& field,
                               int pieceBuffer) const {
    if (field.type == QUILLET_FIELD_FULL_TEXT)
        return FullTextValue(file, field.index, pieceBuffer);
    const int size = ValueBuffer;
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
    FieldValue value;
    std::string text;
    value.result = Call(file, field.index, 0, buffer, size, text);
    switch (value.result) {
        case QUILLET_FIELD_NUMERIC32:
        case QUILLET_FIELD_BOOLEAN:
            value.number = Read<int32_t>(buffer);
            break;
        case QUILLET_FIELD_TIME:
            for (size_t i = 0; i < 3; ++i)
                value.time[i] = Read<uint16_t>(buffer, i * sizeof(uint16_t));
            break;
        case QUILLET_FIELD_DATE_TIME:
            value.fileTime = static_cast<uint64_t>(Read<uint32_t>(buffer)) |
                             static_cast<uint64_t>(Read<uint32_t>(buffer, 4)) << 32;
            break;
        case QUILLET_FIELD_STRING:
            value.text = std::move(text);
            break;
        default:
            break;
    }
    return value;
}

FieldValue ModuleClient::FullTextValue(const std::string& file, int index, int pieceBuffer) const {
    FieldValue value;
    const TransferResult transfer =
        PageFullText(file, index, pieceBuffer, [&value](std::string_view piece) {
            value.text += piece;
            return true;
        });
    value.result = transfer.result;
    value.cut = transfer.cut;
    return value;
}

TransferResult ModuleClient::PageFullText(const std::string& file, int index, int pieceBuffer,
                                          const PieceReader& read) const {
    // Room for a fixed-size form should the module answer one, and a terminator past the end.
    std::vector<char> buffer(static_cast<size_t>(std::max(pieceBuffer, 16)) + 1, '\0');
    TransferResult transfer;
    std::string piece;
    transfer.result = Call(file, index, QUILLET_FULL_TEXT_FIRST, buffer, pieceBuffer, piece);
    if (transfer.result != QUILLET_FIELD_FULL_TEXT)
        return transfer;
    size_t total = piece.size();
    transfer.stopped = !read(piece);
    for (int unit = 1; !transfer.stopped; ++unit) {
        piece.clear();
        const int result = Call(file, index, unit, buffer, pieceBuffer, piece);
        if (result == QUILLET_FIELD_EMPTY)
            break;
        if (result != QUILLET_FIELD_FULL_TEXT) {
            transfer.result = result;
            break;
        }
        total += piece.size();
        // A piece without a character would never end the text.
        if (piece.empty() || total > MaxFullText) {
            transfer.cut = true;
            break;
        }
        transfer.stopped = !read(piece);
    }
    Call(file, index, QUILLET_FULL_TEXT_END, buffer, pieceBuffer, piece);
    return transfer;
}

}  // namespace quillet::host
