// The three functions a host finds by name. Nothing may escape them but a result code.
#include <cstdint>

#include "plugin/FieldTable.h"
#include "plugin/HostBuffer.h"
#include "plugin/ValueRequest.h"

#if defined(_WIN32)
#define QUILLET_EXPORT extern "C"
#else
#define QUILLET_EXPORT extern "C" __attribute__((visibility("default")))
#endif

QUILLET_EXPORT int ContentGetDetectString(char* detectString, int maxLen) {
    quillet::CopyToHostBuffer(detectString, quillet::DetectionExpression,
                              static_cast<int64_t>(maxLen) - 1);
    return quillet::NoMoreFields;
}

QUILLET_EXPORT int ContentGetSupportedField(int fieldIndex, char* fieldName, char* units,
                                            int maxLen) {
    if (!quillet::IsFieldIndex(fieldIndex)) {
        return quillet::NoMoreFields;
    }
    const quillet::FieldDescriptor& field = quillet::FieldTable[fieldIndex];
    quillet::CopyToHostBuffer(fieldName, field.name, static_cast<int64_t>(maxLen) - 1);
    quillet::CopyToHostBuffer(units, field.units, static_cast<int64_t>(maxLen) - 1);
    return field.type;
}

QUILLET_EXPORT int ContentGetValue(const char* fileName, int fieldIndex, int unitIndex,
                                   void* fieldValue, int maxLen, int /*flags*/) {
    try {
        return quillet::ValueRequest(fileName, fieldIndex, unitIndex, fieldValue, maxLen);
    } catch (...) {
        // Out of memory is the only thing that can throw; the host learns only that the field
        // has no value.
        return quillet::FieldEmpty;
    }
}
