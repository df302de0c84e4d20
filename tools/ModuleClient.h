#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <quillet/content_plugin.h>

#include "platform/DynamicLibrary.h"

namespace quillet::host {

struct FieldInfo {
    int index = 0;
    std::string name;
    int type = 0;
    std::string units;
};

// One field's answer, decoded from the bytes the module wrote.
struct FieldValue {
    int result = 0;  // the type code the module answered, or its negative result
    std::string text;
    int32_t number = 0;            // numeric and boolean
    uint16_t time[3] = {0, 0, 0};  // hour, minute, second
    uint64_t fileTime = 0;         // 100-ns intervals since 1601, UTC
    bool cut = false;              // full text stopped early by the host's own guards
};

// How a full-text transfer went: the module's answer to the first call (or to a next call that
// answered neither a piece nor the end), and whether the host stopped it before the module ended
// the text, by its own guards or because the reader asked to stop.
struct TransferResult {
    int result = 0;
    bool cut = false;
    bool stopped = false;
};

// Takes one piece of a full text; answers false to end the transfer at once.
using PieceReader = std::function<bool(std::string_view piece)>;

// A module loaded by path and driven only through its exported functions: ContentGetValueW where
// the module exports it, as Unicode hosts do (texts arrive in UTF-16 and are shown in UTF-8),
// else ContentGetValue (texts in the host's character set).
class ModuleClient {
  public:
    // Loads the module and finds its exports; on failure answers false with the reason.
    bool Load(const std::string& path, std::string& error);
    // Asks through ContentGetValue even where ContentGetValueW is exported.
    void PreferAnsi() { valueW_ = nullptr; }
    // Whether texts come through ContentGetValueW, and so in UTF-8; else in the host's code page.
    bool AsksForUtf16() const { return valueW_ != nullptr; }

    std::string DetectString() const;
    std::vector<FieldInfo> Fields() const;
    // Asks for one field of a file; a full text is paged with pieces of `pieceBuffer` bytes.
    FieldValue Value(const std::string& file, const FieldInfo& field, int pieceBuffer) const;
    // Pages a full text as a file manager does: the first call, next calls until the module
    // answers empty (or `read` answers false), then the end call. Pieces are of at most
    // `pieceBuffer` - 1 bytes.
    TransferResult PageFullText(const std::string& file, int index, int pieceBuffer,
                                const PieceReader& read) const;

  private:
    FieldValue FullTextValue(const std::string& file, int index, int pieceBuffer) const;
    // One call of the value function. The text of a string or full-text answer goes into `text`
    // (in UTF-8 from ContentGetValueW), and its type is answered as ContentGetValue answers it.
    int Call(const std::string& file, int index, int unit, std::vector<char>& buffer, int size,
             std::string& text) const;

    platform::DynamicLibrary library_;
    ContentGetDetectStringFunction detect_ = nullptr;
    ContentGetSupportedFieldFunction field_ = nullptr;
    ContentGetValueFunction value_ = nullptr;
    ContentGetValueWFunction valueW_ = nullptr;
};

}  // namespace quillet::host
