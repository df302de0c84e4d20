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
