#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <quillet/content_plugin.h>

#include "platform/DynamicLibrary.h"

namespace quillet::test {

// A UTF-16 text as the W entry points take it (wchar_t on Windows).
std::basic_string<QuilletWideChar> WideName(const std::u16string& name);
// The UTF-16 text at the start of a host buffer, up to its terminator.
std::u16string UnitsIn(const std::vector<unsigned char>& bytes);
// ASCII widened to UTF-16.
std::u16string Widen(const std::string& ascii);

// The built module, loaded by path and called only through its exported names.
class PluginModule {
  public:
    using DetectFn = int (*)(char*, int);
    using FieldFn = int (*)(int, char*, char*, int);
    using ValueFn = int (*)(const char*, int, int, void*, int, int);
    using ValueWFn = ContentGetValueWFunction;
    using StopFn = ContentStopGetValueFunction;
    using StopWFn = ContentStopGetValueWFunction;
    using UnloadingFn = ContentPluginUnloadingFunction;

    // Loads the module the build made (or fails the calling test).
    static PluginModule& Get();

    DetectFn detect = nullptr;
    FieldFn field = nullptr;
    ValueFn value = nullptr;
    // The UTF-16 entry point, the stops and the unloading call (null when not exported).
    ValueWFn valueW = nullptr;
    StopFn stop = nullptr;
    StopWFn stopW = nullptr;
    UnloadingFn unloading = nullptr;

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

    // ContentGetValueW with a UTF-16 name and a buffer of `size` bytes filled with 0xCC.
    Answer ValueW(const std::u16string& file, int fieldIndex, int unitIndex = 0,
                  int size = 1024) const;
    // A string field's answer through ContentGetValueW, or u"<result N>" when it did not answer
    // type 11.
    std::u16string TextW(const std::u16string& file, int fieldIndex) const;
    // The whole full text of a field through ContentGetValueW, paged with a buffer of `size`
    // bytes; fails the calling test when a piece is too long or ends inside a surrogate pair.
    std::u16string FullTextW(const std::u16string& file, int fieldIndex, int size = 2048) const;

  private:
    PluginModule();
    platform::DynamicLibrary library_;
};

}  // namespace quillet::test
