#include "InflateFloor.h"

#include <time.h>
#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace quillet::bench {
namespace {

constexpr int MethodDeflated = 8;

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

uint32_t Le(const std::string& bytes, size_t at, int width) {
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    }
    return value;
}

// Where member `name`'s stored bytes lie in `package`, and what they inflate to. The sizes are
// the central directory's: a producer that writes a data descriptor leaves them out of the local
// header.
bool FindDeflated(const std::string& package, const std::string& name, size_t& start,
                  size_t& deflated, size_t& inflated, std::string& failure) {
    const size_t endRecord = package.rfind("PK\x05\x06");
    if (endRecord == std::string::npos || endRecord + 22 > package.size()) {
        failure = "no end record";
        return false;
    }
    const uint32_t count = Le(package, endRecord + 10, 2);
    size_t at = Le(package, endRecord + 16, 4);
    for (uint32_t i = 0; i < count && at + 46 <= package.size(); ++i) {
        if (package.compare(at, 4, "PK\x01\x02") != 0) {
            break;
        }
        const uint32_t nameLength = Le(package, at + 28, 2);
        const size_t next =
            at + 46 + nameLength + Le(package, at + 30, 2) + Le(package, at + 32, 2);
        if (at + 46 + nameLength > package.size() ||
            package.compare(at + 46, nameLength, name) != 0) {
            at = next;
            continue;
        }
        if (Le(package, at + 10, 2) != MethodDeflated) {
            failure = name + " is not deflated";
            return false;
        }
        deflated = Le(package, at + 20, 4);
        inflated = Le(package, at + 24, 4);
        const size_t local = Le(package, at + 42, 4);
        if (local + 30 > package.size() || package.compare(local, 4, "PK\x03\x04") != 0) {
            failure = name + " has no local header";
            return false;
        }
        start = local + 30 + Le(package, local + 26, 2) + Le(package, local + 28, 2);
        if (start > package.size() || deflated > package.size() - start) {
            failure = name + " runs past the file's end";
            return false;
        }
        return true;
    }
    failure = "no member " + name;
    return false;
}

}  // namespace

InflateCost CheapestInflateOf(const std::string& path, const std::string& name, int runs) {
    InflateCost cost;
    std::ifstream file(path, std::ios::binary);
    const std::string package{std::istreambuf_iterator<char>(file),
                              std::istreambuf_iterator<char>()};
    size_t start = 0;
    if (!FindDeflated(package, name, start, cost.deflatedBytes, cost.inflatedBytes, cost.failure)) {
        return cost;
    }
    // Allocated and touched once, outside the runs: inflating is measured, not the page faults
    // of a fresh buffer.
    std::vector<unsigned char> out(cost.inflatedBytes + 1, 0);
    for (int run = 0; run < runs; ++run) {
        const double began = ThreadSeconds();
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
            cost.failure = "inflateInit2 failed";
            return cost;
        }
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(package.data() + start));
        stream.avail_in = static_cast<uInt>(cost.deflatedBytes);
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        const int result = inflate(&stream, Z_FINISH);
        const uLong produced = stream.total_out;
        inflateEnd(&stream);
        const double seconds = ThreadSeconds() - began;
        if (result != Z_STREAM_END || produced != cost.inflatedBytes) {
            cost.failure = name + " does not inflate to its declared size";
            return cost;
        }
        if (run == 0 || seconds < cost.cpuSeconds) {
            cost.cpuSeconds = seconds;
        }
    }
    cost.ok = runs > 0;
    return cost;
}

}  // namespace quillet::bench
