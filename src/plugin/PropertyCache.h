#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileStamp.h"
#include "props/PropertyRecords.h"

namespace quillet {

// The property records of the few files read last, so that a host filling a row of columns for
// one file reads its package once. Records are UTF-8 whichever interface asked, so a file's path
// and state are all that tell them apart.
class PropertyCache {
  public:
    static constexpr size_t Capacity = 4;
    // What all kept records may weigh together, their texts counted: a record of any size a
    // package can give fits, and what the cache holds between calls stays bounded.
    static constexpr size_t MaxWeight = size_t{64} << 20;

    // The records kept for the file in the state `stamp`, or null. Builds nothing: a row of
    // columns answered from the cache allocates no memory.
    std::shared_ptr<const PropertyRecords> Find(std::string_view path,
                                                const platform::FileStamp& stamp);
    // Keeps the records as the most recently used, in place of any older ones for the path,
    // letting go of the least recently used as the weight requires. Records of a package that
    // did not open are not kept.
    void Keep(std::string path, const platform::FileStamp& stamp,
              std::shared_ptr<const PropertyRecords> records);
    // Lets go of every record kept.
    void Clear();

  private:
    struct Entry {
        std::string path;
        platform::FileStamp stamp;
        std::shared_ptr<const PropertyRecords> records;
        size_t weight = 0;
    };

    std::mutex mutex_;
    std::vector<Entry> entries_;  // the most recently used first
    size_t weight_ = 0;
};

}  // namespace quillet
