#pragma once

#include <cstddef>

#include "props/AppProperties.h"
#include "props/CoreProperties.h"

namespace quillet {

class ZipArchive;

// Both property records of one package, read with one open of it.
struct PropertyRecords {
    CoreProperties core;
    AppProperties app;
    // Records of a package that did not open are never kept: what kept it shut (a lock, the
    // permissions) can pass without the file changing.
    bool opened = false;

    // Reads both records from the package (null: no readable package, every field empty).
    void Load(ZipArchive* archive);
    // The bytes of text the records hold, which is what keeping them costs.
    size_t TextBytes() const;
};

}  // namespace quillet
