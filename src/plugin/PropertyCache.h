#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/FileStamp.h"
#include "props/AppProperties.h"
#include "props/CoreProperties.h"

namespace quillet {

// Both property records of one file. They keep no pointer to the file name: they outlive the
// request that read them.
struct PropertyRecords {
    CoreProperties core{nullptr};
    AppProperties app{nullptr};
    // Records of a package that did not open are never kept: what kept it shut (a lock, the
    // permissions) can pass without the file changing.
    bool opened = false;
};

// Reads both records with one open of the package.
std::shared_ptr<const PropertyRecords> LoadPropertyRecords(const char* fileName);

// The property records of the few files read last, so that a host filling a row of columns for
// one file reads its package once. A file is the same only while its path, size and modification
// time all are.
class PropertyCache {
  public:
    static constexpr size_t Capacity = 4;
    // Records holding more text than this are not kept: a hostile package could otherwise pin
    // a whole part's worth of memory in every entry.
    static constexpr size_t MaxKeptText = 256 * 1024;

    // The records kept for the file in this state, or null.
    std::shared_ptr<const PropertyRecords> Find(const char* path, const platform::FileStamp& stamp);
    // Keeps the records as the most recently used, in place of any older ones for the path;
    // records too large or of a package that did not open are not kept.
    void Keep(const char* path, const platform::FileStamp& stamp,
              std::shared_ptr<const PropertyRecords> records);

  private:
    struct Entry {
        std::string path;
        platform::FileStamp stamp;
        std::shared_ptr<const PropertyRecords> records;
    };

    std::mutex mutex_;
    std::vector<Entry> entries_;  // the most recently used first
};

}  // namespace quillet
