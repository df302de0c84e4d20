#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "plugin/FileKey.h"
#include "props/PropertyRecords.h"

namespace quillet {

// The property records of the few files read last, so that a host filling a row of columns for
// one file reads its package once.
class PropertyCache {
  public:
    static constexpr size_t Capacity = 4;
    // Records holding more text than this are not kept: a hostile package could otherwise pin
    // a whole part's worth of memory in every entry.
    static constexpr size_t MaxKeptText = 256 * 1024;

    // The records kept for the key, or null.
    std::shared_ptr<const PropertyRecords> Find(const FileKey& key);
    // Keeps the records as the most recently used, in place of any older ones for the path;
    // records too large or of a package that did not open are not kept.
    void Keep(const FileKey& key, std::shared_ptr<const PropertyRecords> records);
    // Lets go of every record kept.
    void Clear();

  private:
    struct Entry {
        FileKey key;
        std::shared_ptr<const PropertyRecords> records;
    };

    std::mutex mutex_;
    std::vector<Entry> entries_;  // the most recently used first
};

}  // namespace quillet
