#include "support/PluginModule.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quillet::test {

PluginModule::PluginModule() {
    // A host that runs in a UTF-8 locale: the module answers in the host's character set.
    std::setlocale(LC_ALL, "C.UTF-8");
    if (!library_.Load(QUILLET_MODULE_PATH)) {
        ADD_FAILURE() << "cannot load " << QUILLET_MODULE_PATH << ": " << library_.error();
        return;
    }
    detect = reinterpret_cast<DetectFn>(library_.Find("ContentGetDetectString"));
    field = reinterpret_cast<FieldFn>(library_.Find("ContentGetSupportedField"));
    value = reinterpret_cast<ValueFn>(library_.Find("ContentGetValue"));
    valueW = reinterpret_cast<ValueWFn>(library_.Find("ContentGetValueW"));
    stop = reinterpret_cast<StopFn>(library_.Find("ContentStopGetValue"));
    stopW = reinterpret_cast<StopWFn>(library_.Find("ContentStopGetValueW"));
    unloading = reinterpret_cast<UnloadingFn>(library_.Find("ContentPluginUnloading"));
}

std::basic_string<QuilletWideChar> WideName(const std::u16string& name) {
    return std::basic_string<QuilletWideChar>(name.begin(), name.end());
}

std::u16string UnitsIn(const std::vector<unsigned char>& bytes) {
    std::u16string units;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char16_t unit = 0;
        std::memcpy(&unit, bytes.data() + i, sizeof unit);
        if (unit == 0) {
            return units;
        }
        units.push_back(unit);
    }
    ADD_FAILURE() << "no terminator in the host buffer";
    return units;
}

std::u16string Widen(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

PluginModule& PluginModule::Get() {
    static PluginModule module;
    if (module.detect == nullptr || module.field == nullptr || module.value == nullptr) {
        std::fprintf(stderr, "the module %s is not loadable or lacks an export\n",
                     QUILLET_MODULE_PATH);
        std::abort();
    }
    return module;
}

PluginModule::Answer PluginModule::Value(const std::string& file, int fieldIndex, int unitIndex,
                                         int size) const {
    Answer answer;
    answer.bytes.assign(static_cast<size_t>(size > 0 ? size : 0) + 16, 0xCC);
    answer.result = value(file.c_str(), fieldIndex, unitIndex, answer.bytes.data(), size, 0);
    // The 16 sentinel bytes behind the buffer must never be touched.
    for (size_t i = answer.bytes.size() - 16; i < answer.bytes.size(); ++i) {
        EXPECT_EQ(answer.bytes[i], 0xCC) << "host buffer overrun at byte " << i;
    }
    answer.bytes.resize(answer.bytes.size() - 16);
    return answer;
}

PluginModule::Answer PluginModule::ValueW(const std::u16string& file, int fieldIndex, int unitIndex,
                                          int size) const {
    Answer answer;
    answer.bytes.assign(static_cast<size_t>(size > 0 ? size : 0) + 16, 0xCC);
    if (valueW == nullptr) {
        ADD_FAILURE() << "the module does not export ContentGetValueW";
        return answer;
    }
    const auto name = WideName(file);
    answer.result = valueW(name.c_str(), fieldIndex, unitIndex, answer.bytes.data(), size, 0);
    for (size_t i = answer.bytes.size() - 16; i < answer.bytes.size(); ++i) {
        EXPECT_EQ(answer.bytes[i], 0xCC) << "host buffer overrun at byte " << i;
    }
    answer.bytes.resize(answer.bytes.size() - 16);
    return answer;
}

std::u16string PluginModule::TextW(const std::u16string& file, int fieldIndex) const {
    const Answer answer = ValueW(file, fieldIndex, 0, 4096);
    if (answer.result != 11) {
        return u"<result " + Widen(std::to_string(answer.result)) + u">";
    }
    return UnitsIn(answer.bytes);
}

std::u16string PluginModule::FullTextW(const std::u16string& file, int fieldIndex, int size) const {
    std::u16string whole;
    Answer answer = ValueW(file, fieldIndex, 0, size);
    EXPECT_EQ(answer.result, 12);
    if (answer.result != 12)
        return whole;
    for (int unit = 1;; ++unit) {
        const std::u16string piece = UnitsIn(answer.bytes);
        EXPECT_LE(piece.size(), static_cast<size_t>(size / 2 - 1));
        if (!piece.empty()) {
            EXPECT_FALSE(piece.back() >= 0xD800 && piece.back() <= 0xDBFF)
                << "a piece ends inside a surrogate pair at unit " << whole.size() + piece.size();
        }
        whole += piece;
        answer = ValueW(file, fieldIndex, unit, size);
        if (answer.result == -3)
            break;
        EXPECT_EQ(answer.result, 12);
        if (answer.result != 12 || unit > 10'000'000)
            break;
    }
    EXPECT_EQ(ValueW(file, fieldIndex, -1, size).result, 12);
    return whole;
}

std::string PluginModule::Text(const std::string& file, int fieldIndex) const {
    const Answer answer = Value(file, fieldIndex, 0, 4096);
    if (answer.result != 8) {
        return "<result " + std::to_string(answer.result) + ">";
    }
    return std::string(reinterpret_cast<const char*>(answer.bytes.data()));
}

std::string PluginModule::FullText(const std::string& file, int fieldIndex, int size) const {
    std::string whole;
    Answer answer = Value(file, fieldIndex, 0, size);
    EXPECT_EQ(answer.result, 9);
    if (answer.result != 9)
        return whole;
    for (int unit = 1;; ++unit) {
        const std::string piece(reinterpret_cast<const char*>(answer.bytes.data()));
        EXPECT_LE(piece.size(), static_cast<size_t>(size - 1));
        whole += piece;
        answer = Value(file, fieldIndex, unit, size);
        if (answer.result == -3)
            break;
        EXPECT_EQ(answer.result, 9);
        if (answer.result != 9 || unit > 10'000'000)
            break;
    }
    EXPECT_EQ(Value(file, fieldIndex, -1, size).result, 9);
    return whole;
}

}  // namespace quillet::test
