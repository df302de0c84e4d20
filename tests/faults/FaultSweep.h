#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillet::test {

constexpr int FieldCount = 46;
constexpr int TitlesField = 43;
constexpr int ContentField = 44;

// What the exported ContentGetValue answered for one request: a property field's one call, or a
// whole full-text transfer (first call, next calls until empty, end call).
struct Reply {
    std::vector<int> codes;
    std::string bytes;  // the property's whole buffer, or the transfer's joined text
    bool operator==(const Reply& other) const {
        return codes == other.codes && bytes == other.bytes;
    }
};
struct Injector;
// `injector`, when given, is held while the reply is written down between two calls.
Reply Ask(const std::string& path, int field, const Injector* injector = nullptr);
// Empty when every code of the reply is one a host may get for the field, else what is wrong.
std::string InvalidCodes(const Reply& reply, int field);

// Gives the file a new change time, so that nothing the module kept of it serves it any more.
void Touch(const std::string& path);

// A fault injector: arm the `point`th fault from now on, then disarm and learn whether it was
// reached.
struct Injector {
    std::function<void(uint64_t point)> arm;
    std::function<bool()> disarm;
    std::function<void(bool hold)> hold = [](bool) {};
};

struct SweepResult {
    uint64_t pointsReached = 0;  // faulted requests that met their fault
    std::string problems;        // empty when all was well
};

// Asks `field` of the file with the fault at points first, first + stride... (each on a
// file the module has not read in its present state) until a request meets no fault. Every
// faulted reply must carry valid codes, and the same request asked next, without a fault, must
// answer as it does when nothing fails.
SweepResult Sweep(const std::string& path, int field, uint64_t first, uint64_t stride,
                  const Injector& injector);

}  // namespace quillet::test
