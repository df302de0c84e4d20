#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <quillet/content_plugin.h>

namespace quillet::bench {

// One program run to the end as a child process, its output thrown away.
struct ProcessRun {
    bool ok = false;          // started and exited with status 0
    double wallSeconds = 0;   // from fork to the child's exit, start-up and file reading included
    double cpuSeconds = 0;    // the child's user and system time
    size_t peakResident = 0;  // the child's peak resident size in bytes
    std::string failure;      // why not ok
};

// Runs `arguments` (the program looked up on PATH) under GNU time, with standard output and error
// on /dev/null.
ProcessRun RunProcess(const std::vector<std::string>& arguments);

// The least wall-clock run of `runs` (the run least slowed by the machine's other work); not ok
// when any run failed.
ProcessRun FastestOf(const std::vector<std::string>& arguments, int runs);

// The full-text fields a transfer is measured for.
constexpr int ContentField = 44;
constexpr int TextField = 45;

// One whole full-text transfer ("Content" unless told) through the exports, made in a forked
// child so that its peak memory is its own: through ContentGetValue, texts in the host's
// character set, or through ContentGetValueW, UTF-16 as a Unicode host (and quillet-host by
// default) asks for them.
struct TransferCost {
    bool ok = false;
    double cpuSeconds = 0;  // thread CPU time of the transfer, first call to end call
    size_t peakAbove = 0;   // peak resident bytes above the resident size at its start
    size_t textBytes = 0;   // the length of the text handed over (UTF-16: two bytes a unit)
    std::string failure;
};

TransferCost MeasureTransfer(ContentGetValueFunction value, const std::string& path, int bufferSize,
                             int field = ContentField);
TransferCost MeasureTransfer(ContentGetValueWFunction value, const std::string& path,
                             int bufferSize, int field = ContentField);

// The least CPU time of `runs` transfers, with the largest peak any of them reached.
TransferCost CheapestTransferOf(ContentGetValueFunction value, const std::string& path,
                                int bufferSize, int runs, int field = ContentField);
TransferCost CheapestTransferOf(ContentGetValueWFunction value, const std::string& path,
                                int bufferSize, int runs, int field = ContentField);

}  // namespace quillet::bench
