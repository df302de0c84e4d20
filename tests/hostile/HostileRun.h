#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillet::test {

// What answering a file cost, and the answers that broke the host protocol.
struct Cost {
    double slowestSeconds = 0;  // the slowest file of the run, all its fields together
    double cpuSeconds = 0;      // the processor time of the whole run
    int64_t extraBytes = -1;    // peak memory above the start; -1 where it cannot be measured
    std::vector<double> fieldSeconds;  // the processor time of each field's request, by index
    std::string problems;              // empty when every answer kept the protocol
};

// The "Content" text a case must give, made only when the case runs: some are tens of MiB, and
// no test may do such work when its cases are listed. None where it is not known.
class ExpectedText {
  public:
    ExpectedText(std::nullopt_t) {}
    ExpectedText(const char* text) : make_([text = std::string(text)] { return text; }) {}
    ExpectedText(std::string text) : make_([text = std::move(text)] { return text; }) {}
    ExpectedText(std::function<std::string()> make) : make_(std::move(make)) {}

    explicit operator bool() const { return static_cast<bool>(make_); }
    std::string operator()() const { return make_(); }

  private:
    std::function<std::string()> make_;
};

// One broken or hostile package and what answering all its fields must give and may cost.
struct HostileCase {
    const char* name;
    std::function<std::string()> bytes;
    // The start of the "Content" text it must give (see ContentSeen).
    ExpectedText content;
    // The bytes of text handed over, which the memory budget does not count: the module keeps
    // the text of a transfer. A case that names them must give its whole text.
    int64_t textBytes = 0;
    // How many times the usual time it may take: the largest parts are bounded here against
    // runaway cost only, `make bench` holds them to their speed targets.
    double timeFactor = 1;
    // Full texts asked through ContentGetValueW.
    bool wide = false;
    // What the module may hold besides, like the shared strings a text is made of, which count
    // against the full text's bound.
    int64_t keptBytes = 0;
};

// Asks every field of the case's package in a child process and checks the answers, the content,
// the processor time and the peak memory.
void ExpectWithinBounds(const HostileCase& hostile);

// What a run kept of the "Content" text: its first mebibyte, enough for any text a case
// expects, and its whole length; joining a text of many mebibytes would cost this test more
// than the module.
struct ContentSeen {
    std::string start;
    size_t bytes = 0;
};

// Asks fields of the file through the exported ContentGetValue as a host does, full texts paged
// to their end and closed; answers the protocol breaks found (a full text longer than its bound
// among them), and what it saw of "Content". RunMeasured reports what each field cost.
std::string AskFields(const std::string& path, const std::vector<int>& fields,
                      ContentSeen* content = nullptr, bool wide = false);
const std::vector<int>& AllFields();

// Runs `work` in a child process where fork exists (so a crash fails the test instead of ending
// the run, and the child's peak memory and processor time are its own), in this process
// elsewhere. `work` returns the slowest file's seconds and adds protocol breaks to its argument.
Cost RunMeasured(const std::function<double(std::string&)>& work);

// True for the Windows build when wine runs it.
bool RunningUnderWine();

// Processor seconds one request may take in this build: one field asked and its whole transfer.
double RequestSeconds();
// Memory a file's requests may take above the start, beyond the text handed over.
constexpr int64_t MostExtraBytes = 64ll << 20;

// Seconds since `start`.
double Since(std::chrono::steady_clock::time_point start);

// Runs `work` on a thread with a stack of `stackBytes`, as a host thread might be.
void RunOnStack(size_t stackBytes, const std::function<void()>& work);

}  // namespace quillet::test
