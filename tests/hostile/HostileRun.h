#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillet::test {

// What answering a file cost, and the answers that broke the host protocol.
struct Cost {
    double slowestSeconds = 0;  // the slowest file of the run, all its fields together
    int64_t extraBytes = -1;    // peak memory above the start; -1 where it cannot be measured
    std::string problems;       // empty when every answer kept the protocol
};

// What a run kept of the "Content" text: its first mebibyte, enough for any text a case
// expects, and its whole length; joining a text of many mebibytes would cost this test more
// than the module.
struct ContentSeen {
    std::string start;
    size_t bytes = 0;
};

// Asks fields of the file through the exported ContentGetValue as a host does, full texts paged
// to their end and closed; answers the protocol breaks found, and what it saw of "Content".
std::string AskFields(const std::string& path, const std::vector<int>& fields,
                      ContentSeen* content = nullptr);
const std::vector<int>& AllFields();

// Runs `work` in a child process where fork exists (so a crash fails the test instead of ending
// the run, and the child's peak memory is its own), in this process elsewhere. `work` returns
// the slowest file's seconds and adds protocol breaks to its argument.
Cost RunMeasured(const std::function<double(std::string&)>& work);

// True for the Windows build when wine runs it.
bool RunningUnderWine();

// Seconds since `start`.
double Since(std::chrono::steady_clock::time_point start);

// Runs `work` on a thread with a stack of `stackBytes`, as a host thread might be.
void RunOnStack(size_t stackBytes, const std::function<void()>& work);

}  // namespace quillet::test
