// The functions a host finds by name. Nothing may escape them but a result code.
#include <quillet/content_plugin.h>

#include <cstdint>

#include "plugin/FieldTable.h"
#include "plugin/HostBuffer.h"
#include "plugin/ValueRequest.h"

int QUILLET_CALL ContentGetDetectString(char* detectString, int maxLen) {
    quillet::CopyToHostBuffer(detectString, quillet::DetectionExpression,
                              static_cast<int64_t>(maxLen) - 1);
    return quillet::NoMoreFields;
}

int QUILLET_CALL ContentGetSupportedField(int fieldIndex, char* fieldName, char* units,
                                          int maxLen) {
    if (!quillet::IsFieldIndex(fieldIndex)) {
        return quillet::NoMoreFields;
    }
    const quillet::FieldDescriptor& field = quillet::FieldTable[static_cast<size_t>(fieldIndex)];
    quillet::CopyToHostBuffer(fieldName, field.name, static_cast<int64_t>(maxLen) - 1);
    quillet::CopyToHostBuffer(units, field.units, static_cast<int64_t>(maxLen) - 1);
    return field.type;
}

int QUILLET_CALL ContentGetValue(const char* fileName, int fieldIndex, int unitIndex,
                                 void* fieldValue, int maxLen, int /*flags*/) {
    try {
        return quillet::ValueRequest(fileName, fieldIndex, unitIndex, fieldValue, maxLen);
    } catch (...) {
        // Out of memory is the only thing that can throw; the host learns only that the field
        // has no value.
        return quillet::FieldEmpty;
    }
}
