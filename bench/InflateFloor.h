#pragma once

#include <cstddef>
#include <string>

namespace quillet::bench {

// What zlib alone spends on one member of a package: its deflated bytes as the package stores
// them, inflated raw, with no reading, parsing or text around it.
struct InflateCost {
    bool ok = false;
    double cpuSeconds = 0;     // thread CPU time of the least costly run
    size_t deflatedBytes = 0;  // the member's stored bytes
    size_t inflatedBytes = 0;  // what they inflate to
    std::string failure;
};

// Inflates member `name` of the package at `path` `runs` times in this thread. The member is
// found through the package's central directory by this file's own reading, not by the module's.
InflateCost CheapestInflateOf(const std::string& path, const std::string& name, int runs);

}  // namespace quillet::bench
