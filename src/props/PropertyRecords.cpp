#include "props/PropertyRecords.h"

#include "props/FieldRows.h"

namespace quillet {

void PropertyRecords::Load(ZipArchive* archive) {
    opened = archive != nullptr;
    if (archive != nullptr) {
        core.Load(*archive);
        app.Load(*archive);
    }
}

size_t PropertyRecords::TextBytes() const {
    size_t bytes = 0;
    for (const FieldRow& row : FieldRows) {
        if (row.coreText != nullptr) {
            bytes += (core.*row.coreText).size();
        } else if (row.appText != nullptr) {
            bytes += (app.*row.appText).size();
        }
    }
    return bytes;
}

}  // namespace quillet
