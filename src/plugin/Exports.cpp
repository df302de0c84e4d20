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
        return quillet::AnswerValue(quillet::platform::FilePath(fileName), quillet::TextForm::Ansi,
                                    fieldIndex, unitIndex, fieldValue, maxLen);
    } catch (...) {
        // Out of memory is the only thing that can throw; the host learns only that the field
        // has no value.
        return quillet::FieldEmpty;
    }
}

int QUILLET_CALL ContentGetValueW(const QuilletWideChar* fileName, int fieldIndex, int unitIndex,
                                  void* fieldValue, int maxLen, int /*flags*/) {
    try {
        const auto path = quillet::platform::FilePath::FromUtf16(fileName);
        if (!path) {
            return quillet::FileError;  // no file has a name that is not UTF-16
        }
        return quillet::AnswerValue(*path, quillet::TextForm::Utf16, fieldIndex, unitIndex,
                                    fieldValue, maxLen);
    } catch (...) {
        return quillet::FieldEmpty;
    }
}

void QUILLET_CALL ContentStopGetValue(const char* fileName) {
    try {
        quillet::StopValueRequests(quillet::platform::FilePath(fileName));
    } catch (...) {
        // Without memory for the name there is nothing to stop by it.
    }
}

void QUILLET_CALL ContentStopGetValueW(const QuilletWideChar* fileName) {
    try {
        if (const auto path = quillet::platform::FilePath::FromUtf16(fileName)) {
            quillet::StopValueRequests(*path);
        }
    } catch (...) {
    }
}

void QUILLET_CALL ContentPluginUnloading(void) {
    quillet::DropKeptAnswers();
}
