#pragma once

#include <cstdint>
#include <string>
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

// A module loaded by path and driven only through its three exported functions.
class ModuleClient {
  public:
    // Loads the module and finds its exports; on failure answers false with the reason.
    bool Load(const std::string& path, std::string& error);

    std::string DetectString() const;
    std::vector<FieldInfo> Fields() const;
    // Asks for one field of a file; a full text is paged with pieces of `pieceBuffer` bytes.
    FieldValue Value(const std::string& file, const FieldInfo& field, int pieceBuffer) const;

  private:
    int Call(const std::string& file, int index, int unit, std::vector<char>& buffer,
             int size) const;

    platform::DynamicLibrary library_;
    ContentGetDetectStringFunction detect_ = nullptr;
    ContentGetSupportedFieldFunction field_ = nullptr;
    ContentGetValueFunction value_ = nullptr;
};

}  // namespace quillet::host
