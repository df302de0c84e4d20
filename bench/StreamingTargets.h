#pragma once

#include <string>

#include <quillet/content_plugin.h>

namespace quillet::bench {

struct StreamingSetup {
    ContentGetValueFunction value = nullptr;
    std::string hostPath;           // quillet-host of this build
    std::string producerDirectory;  // the files bench/producer_inputs.py wrote; empty: none
    std::string scratchDirectory;   // where the largest generated inputs are written
};

// Measures what the readers that parse one element at a time will be judged by, and prints it
// with its targets. Reports only: the run's exit status does not depend on these targets yet.
void ReportStreamingTargets(const StreamingSetup& setup);

}  // namespace quillet::bench
