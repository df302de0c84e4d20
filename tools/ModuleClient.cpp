#include "ModuleClient.h"

#include <algorithm>
#include <cstring>

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
                       int size) const {
    // Zeroed before each call, so a module that writes nothing leaves an empty value.
    std::fill(buffer.begin(), buffer.end(), '\0');
    return value_(file.c_str(), index, unit, buffer.data(), size, 0);
}

FieldValue ModuleClient::Value(const std::string& file, const FieldInfo& field,
                               int pieceBuffer) const {
    if (field.type == QUILLET_FIELD_FULL_TEXT)
        return FullTextValue(file, field.index, pieceBuffer);
    const int size = ValueBuffer;
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
    FieldValue value;
    value.result = Call(file, field.index, 0, buffer, size);
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
            value.text = TextIn(buffer, size);
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
    transfer.result = Call(file, index, QUILLET_FULL_TEXT_FIRST, buffer, pieceBuffer);
    if (transfer.result != QUILLET_FIELD_FULL_TEXT)
        return transfer;
    std::string piece = TextIn(buffer, pieceBuffer);
    size_t total = piece.size();
    transfer.stopped = !read(piece);
    for (int unit = 1; !transfer.stopped; ++unit) {
        const int result = Call(file, index, unit, buffer, pieceBuffer);
        if (result == QUILLET_FIELD_EMPTY)
            break;
        if (result != QUILLET_FIELD_FULL_TEXT) {
            transfer.result = result;
            break;
        }
        piece = TextIn(buffer, pieceBuffer);
        total += piece.size();
        // A piece without a character would never end the text.
        if (piece.empty() || total > MaxFullText) {
            transfer.cut = true;
            break;
        }
        transfer.stopped = !read(piece);
    }
    Call(file, index, QUILLET_FULL_TEXT_END, buffer, pieceBuffer);
    return transfer;
}

}  // namespace quillet::host
