#pragma once

#include <string>

#include <quillet/content_plugin.h>

namespace quillet::bench {

struct StreamingSetup {
    ContentGetValueFunction value = nullptr;
    ContentGetValueWFunction valueW = nullptr;  // null: the module lacks it
    // The earlier build's ContentGetValue (the last that read every part whole); null: none.
    ContentGetValueFunction baselineValue = nullptr;
    std::string hostPath;           // quillet-host of this build
    std::string producerDirectory;  // the files bench/producer_inputs.py wrote; empty: none
    std::string scratchDirectory;   // where the largest generated inputs are written
};

// Measures the readers that parse one element at a time against the earlier build and the peers,
// prints the figures with their targets, and answers whether every target holds.
bool ReportStreamingTargets(const StreamingSetup& setup);

}  // namespace quillet::bench
