#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/DynamicLibrary.h"

namespace quillet::test {

// The built module, loaded by path and called only through its exported names.
class PluginModule {
  public:
    using DetectFn = int (*)(char*, int);
    using FieldFn = int (*)(int, char*, char*, int);
    using ValueFn = int (*)(const char*, int, int, void*, int, int);

    // Loads the module the build made (or fails the calling test).
    static PluginModule& Get();

    DetectFn detect = nullptr;
    FieldFn field = nullptr;
    ValueFn value = nullptr;

    struct Answer {
        int result = 0;
        std::vector<unsigned char> bytes;  // the whole host buffer after the call
    };
    // Calls ContentGetValue with a buffer of `size` bytes filled with 0xCC beforehand.
    Answer Value(const std::string& file, int fieldIndex, int unitIndex = 0, int size = 1024) const;
    // A string field's answer, or "<result N>" when the call did not answer type 8.
    std::string Text(const std::string& file, int fieldIndex) const;
    // The whole full text of a field, paged with a buffer of `size` bytes, joined back together.
    // Fails the calling test when the protocol is broken.
    std::string FullText(const std::string& file, int fieldIndex, int size = 2048) const;

  private:
    PluginModule();
    platform::DynamicLibrary library_;
};

}  // namespace quillet::test
