#include "StreamingTargets.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "BenchInputs.h"
#include "ChildMeasure.h"
#include "InflateFloor.h"
#include "package/MemberSource.h"
#include "package/ZipArchive.h"
#include "platform/Env.h"

namespace quillet::bench {
namespace {

// quillet-host's default: the host pages the text through this many bytes at a time.
constexpr int HostBufferSize = 2048;
// A large input costs seconds and gigabytes per transfer today: few repetitions.
constexpr int LargeRuns = 2;
constexpr int ProducerRuns = 3;
constexpr int ProcessRuns = 7;
// Inflating in this process costs no fork and a few milliseconds: more runs.
constexpr int InflateRuns = 5;
constexpr double MiB = 1024.0 * 1024.0;

constexpr double BaselineSpeedupTarget = 3.0;
constexpr double DocumentBaselineSpeedupTarget = 1.0;
// Against the peers, quillet-host as it runs by default: through the UTF-16 call.
constexpr double PeerSpeedupTarget = 6.0;
constexpr double DocumentPeerSpeedupTarget = 1.7;
constexpr double BodySecondsTarget = 1.5;
// The 60 MB sheet as the default host pages it, through the UTF-16 call.
constexpr double SheetSecondsTarget = 0.5;
constexpr double LargestPeakAboveTextMiB = 64.0;
// "Text" reads more of a document than "Content" (every depth, the parts around the body) and
// may cost this much more.
constexpr double TextOverContentTarget = 1.2;
// A whole "Content" transfer as the default host makes it, through the UTF-16 call, against
// inflating the main part with zlib alone, the one cost no reader of the package avoids.
constexpr double DocumentOverInflateTarget = 7.0;
constexpr double WorkbookOverInflateTarget = 5.0;

struct Input {
    std::string label;
    std::string path;
    std::string mainPart;  // the part that dominates the text: a sheet or the document body
    int runs = 1;
    TransferCost transfer;  // through ContentGetValue
    TransferCost wide;      // the same through ContentGetValueW, as the default host asks
    TransferCost before;    // the same transfer by the earlier build
    TransferCost text;      // "Text" of the same file by this build
    InflateCost inflate;    // zlib alone on the main part
};

Input MakeInput(const std::string& label, const std::string& path, const std::string& mainPart,
                int runs) {
    Input input;
    input.label = label;
    input.path = path;
    input.mainPart = mainPart;
    input.runs = runs;
    return input;
}

size_t PartSize(const std::string& path, const std::string& part) {
    const auto archive =
        ZipArchive::Open(platform::SystemEnv().OpenFile(platform::FilePath(path.c_str())));
    return archive ? MemberSource(*archive, part.c_str()).declaredSize() : 0;
}

size_t FileSize(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<size_t>(size);
}

std::string Mebibytes(size_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / MiB);
    return text;
}

std::string Kibibytes(size_t bytes) {
    return std::to_string(bytes / 1024) + " KiB";
}

std::string Duration(double seconds) {
    char text[32];
    if (seconds >= 1) {
        std::snprintf(text, sizeof text, "%.2f s", seconds);
    } else if (seconds < 0.01) {
        // The inflation of a document body takes a few milliseconds.
        std::snprintf(text, sizeof text, "%.1f ms", seconds * 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.0f ms", seconds * 1e3);
    }
    return text;
}

std::string CostCells(const TransferCost& cost) {
    if (!cost.ok) {
        return "not measured: " + cost.failure + " | |";
    }
    return Duration(cost.cpuSeconds) + " | " + Mebibytes(cost.peakAbove);
}

std::string InflateCell(const InflateCost& cost) {
    return cost.ok ? Duration(cost.cpuSeconds) : "not measured: " + cost.failure;
}

void PrintTransfers(std::vector<Input>& inputs, const StreamingSetup& setup) {
    std::printf(
        "\nWhole \"Content\" transfers through the exports (%d-byte buffer), each in a child "
        "process: thread CPU time (least of %d runs, %d for the largest inputs) and peak resident "
        "memory above the transfer's start (the largest of the runs), by the earlier build "
        "(every part read whole) and by this one, through ContentGetValue and through "
        "ContentGetValueW (UTF-16, the default host's call); beside them zlib alone inflating "
        "the main part's stored bytes raw, in this process (thread CPU time, least of %d "
        "runs)\n\n",
        HostBufferSize, ProducerRuns, LargeRuns, InflateRuns);
    std::printf(
        "| input | package | main part XML | text | zlib inflate | earlier: CPU | earlier: peak | "
        "now: CPU | now: peak | now, UTF-16: CPU | now, UTF-16: peak |\n"
        "|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (Input& input : inputs) {
        input.inflate = CheapestInflateOf(input.path, input.mainPart, InflateRuns);
        if (setup.baselineValue != nullptr) {
            input.before =
                CheapestTransferOf(setup.baselineValue, input.path, HostBufferSize, input.runs);
        } else {
            input.before.failure = "no earlier build";
        }
        input.transfer = CheapestTransferOf(setup.value, input.path, HostBufferSize, input.runs);
        if (setup.valueW != nullptr) {
            input.wide = CheapestTransferOf(setup.valueW, input.path, HostBufferSize, input.runs);
        } else {
            input.wide.failure = "the module exports no ContentGetValueW";
        }
        if (input.runs == ProducerRuns) {
            input.text =
                CheapestTransferOf(setup.value, input.path, HostBufferSize, input.runs, TextField);
        }
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s |\n", input.label.c_str(),
                    Kibibytes(FileSize(input.path)).c_str(),
                    Kibibytes(PartSize(input.path, input.mainPart)).c_str(),
                    Kibibytes(input.transfer.textBytes).c_str(), InflateCell(input.inflate).c_str(),
                    CostCells(input.before).c_str(), CostCells(input.transfer).c_str(),
                    CostCells(input.wide).c_str());
        std::fflush(stdout);
    }
}

struct Comparison {
    std::string label;
    std::string file;
    std::vector<std::string> peer;  // the peer's command line
    ProcessRun module;              // quillet-host --ansi: UTF-8 bytes, as the peers write
    ProcessRun moduleWide;          // quillet-host as it runs by default, through the UTF-16 call
    ProcessRun other;
};

void PrintRun(const std::string& label, const std::string& program, const ProcessRun& run) {
    if (!run.ok) {
        std::printf("| %s | %s | not measured: %s |\n", label.c_str(), program.c_str(),
                    run.failure.c_str());
        return;
    }
    std::printf("| %s | %s | %s | %s | %s |\n", label.c_str(), program.c_str(),
                Duration(run.wallSeconds).c_str(), Duration(run.cpuSeconds).c_str(),
                Mebibytes(run.peakResident).c_str());
}

void PrintComparisons(std::vector<Comparison>& comparisons, const StreamingSetup& setup) {
    std::printf(
        "\nProcess to process, output to /dev/null: wall clock from start to exit (least of %d "
        "runs), the child's user and system CPU time and its peak resident size in that run\n\n",
        ProcessRuns);
    std::printf("| file | program | wall | CPU | peak resident |\n|---|---|---|---|---|\n");
    for (Comparison& comparison : comparisons) {
        // The targets take quillet-host as it runs by default, through the UTF-16 call, which
        // adds a conversion there and back; beside it the ANSI call, which in the bench's C.UTF-8
        // locale answers the same UTF-8 bytes the peers write.
        comparison.module =
            FastestOf({setup.hostPath, "--ansi", "--raw", "--field", "Content", comparison.file},
                      ProcessRuns);
        comparison.moduleWide = FastestOf(
            {setup.hostPath, "--raw", "--field", "Content", comparison.file}, ProcessRuns);
        comparison.other = FastestOf(comparison.peer, ProcessRuns);
        PrintRun(comparison.label, "quillet-host --ansi --raw --field Content", comparison.module);
        PrintRun(comparison.label, "quillet-host --raw --field Content (UTF-16 call)",
                 comparison.moduleWide);
        PrintRun(comparison.label, comparison.peer.front(), comparison.other);
        std::fflush(stdout);
    }
}

bool PrintTarget(const std::string& what, const std::string& measured, const std::string& target,
                 bool holds) {
    std::printf("  %-62s %12s  %-22s %s\n", what.c_str(), measured.c_str(), target.c_str(),
                holds ? "holds" : "FAILS");
    return holds;
}

bool PrintNotMeasured(const std::string& what) {
    std::printf("  %-62s not measured  FAILS\n", what.c_str());
    return false;
}

bool PrintBaselineTarget(const Input& input, double target) {
    const std::string what = input.label + ": earlier build / this one, CPU";
    if (!input.transfer.ok || !input.before.ok) {
        return PrintNotMeasured(what);
    }
    const double speedup = input.before.cpuSeconds / input.transfer.cpuSeconds;
    char measured[32], goal[48];
    std::snprintf(measured, sizeof measured, "%.2f", speedup);
    std::snprintf(goal, sizeof goal, ">= %.1f", target);
    return PrintTarget(what, measured, goal, speedup >= target);
}

bool PrintTextTarget(const Input& input) {
    const std::string what = input.label + ": \"Text\" / \"Content\", CPU";
    if (!input.transfer.ok || !input.text.ok) {
        return PrintNotMeasured(what);
    }
    const double ratio = input.text.cpuSeconds / input.transfer.cpuSeconds;
    char measured[64], goal[48];
    std::snprintf(measured, sizeof measured, "%.2f", ratio);
    std::snprintf(goal, sizeof goal, "<= %.1f", TextOverContentTarget);
    std::printf("  (%s: \"Text\" %s, %s of text; \"Content\" %s, %s)\n", input.label.c_str(),
                Duration(input.text.cpuSeconds).c_str(), Kibibytes(input.text.textBytes).c_str(),
                Duration(input.transfer.cpuSeconds).c_str(),
                Kibibytes(input.transfer.textBytes).c_str());
    return PrintTarget(what, measured, goal, ratio <= TextOverContentTarget);
}

bool PrintInflateTarget(const Input& input, double target) {
    const std::string what = input.label + ": UTF-16 \"Content\" / zlib inflate, CPU";
    if (!input.wide.ok || !input.inflate.ok) {
        return PrintNotMeasured(what);
    }
    const double ratio = input.wide.cpuSeconds / input.inflate.cpuSeconds;
    char measured[32], goal[48];
    std::snprintf(measured, sizeof measured, "%.2f", ratio);
    std::snprintf(goal, sizeof goal, "<= %.1f", target);
    std::printf("  (%s: zlib inflate of %s %s; whole \"Content\" through ContentGetValueW %s)\n",
                input.label.c_str(), input.mainPart.c_str(),
                Duration(input.inflate.cpuSeconds).c_str(),
                Duration(input.wide.cpuSeconds).c_str());
    return PrintTarget(what, measured, goal, ratio <= target);
}

bool PrintSpeedupTarget(const Comparison& comparison, double target) {
    const std::string what =
        comparison.label + ": " + comparison.peer.front() + " / quillet-host (UTF-16 call)";
    if (!comparison.moduleWide.ok || !comparison.other.ok) {
        return PrintNotMeasured(what);
    }
    const double speedup = comparison.other.wallSeconds / comparison.moduleWide.wallSeconds;
    if (comparison.module.ok) {
        std::printf("  (%s: %s / quillet-host --ansi %.2f)\n", comparison.label.c_str(),
                    comparison.peer.front().c_str(),
                    comparison.other.wallSeconds / comparison.module.wallSeconds);
    }
    char measured[32], goal[48];
    std::snprintf(measured, sizeof measured, "%.2f", speedup);
    std::snprintf(goal, sizeof goal, ">= %.1f", target);
    return PrintTarget(what, measured, goal, speedup >= target);
}

// The sheet is held to its bound through ContentGetValueW; the body keeps its bound
// through ContentGetValue. The peak is that of the ContentGetValue transfer for both.
bool PrintLargestTargets(const Input& input) {
    const bool sheet = input.mainPart.rfind("xl/", 0) == 0;
    const TransferCost& timed = sheet ? input.wide : input.transfer;
    const std::string what =
        input.label + ": whole \"Content\" transfer" + (sheet ? " (UTF-16 call)" : "") + ", CPU";
    char goal[48];
    bool fast = false;
    if (!timed.ok) {
        fast = PrintNotMeasured(what);
    } else if (sheet) {
        std::snprintf(goal, sizeof goal, "<= %.1f s", SheetSecondsTarget);
        fast = PrintTarget(what, Duration(timed.cpuSeconds), goal,
                           timed.cpuSeconds <= SheetSecondsTarget);
    } else {
        std::snprintf(goal, sizeof goal, "< %.1f s", BodySecondsTarget);
        fast = PrintTarget(what, Duration(timed.cpuSeconds), goal,
                           timed.cpuSeconds < BodySecondsTarget);
    }
    if (!input.transfer.ok) {
        return PrintNotMeasured(input.label + ": peak above start (64 MiB + text)") && fast;
    }
    const double limit =
        LargestPeakAboveTextMiB * MiB + static_cast<double>(input.transfer.textBytes);
    std::snprintf(goal, sizeof goal, "<= %s", Mebibytes(static_cast<size_t>(limit)).c_str());
    const bool lean = PrintTarget(input.label + ": peak above start (64 MiB + text)",
                                  Mebibytes(input.transfer.peakAbove), goal,
                                  static_cast<double>(input.transfer.peakAbove) <= limit);
    return fast && lean;
}

}  // namespace

bool ReportStreamingTargets(const StreamingSetup& setup) {
    std::printf(
        "\n==== Streaming readers ====\n"
        "The readers that parse one element at a time, against the earlier build that read every "
        "part whole and against the peers.\n");
    const std::string workbook = setup.producerDirectory + "/openpyxl-workbook.xlsx";
    const std::string document = setup.producerDirectory + "/python-docx-document.docx";
    std::vector<Input> inputs;
    if (setup.producerDirectory.empty() || FileSize(workbook) == 0 || FileSize(document) == 0) {
        std::printf("\nThe real producers' files are missing: run this through `make bench`.\n");
    } else {
        const std::string sheet = "xl/worksheets/sheet1.xml";
        inputs.push_back(MakeInput("openpyxl workbook", workbook, sheet, ProducerRuns));
        inputs.push_back(
            MakeInput("python-docx document", document, "word/document.xml", ProducerRuns));
    }
    const size_t firstLargest = inputs.size();
    for (const BenchInput& generated : GenerateLargestInputs(setup.scratchDirectory)) {
        // The sheet or the body is the last content part either package has.
        inputs.push_back(MakeInput(generated.label, generated.copies.front(),
                                   generated.contentParts.back().name, LargeRuns));
    }
    PrintTransfers(inputs, setup);

    std::vector<Comparison> comparisons;
    if (firstLargest > 0) {
        comparisons.push_back({"openpyxl workbook", workbook, {"xlsx2csv", workbook}, {}, {}, {}});
        comparisons.push_back(
            {"python-docx document", document, {"docx2txt", document, "-"}, {}, {}, {}});
        PrintComparisons(comparisons, setup);
    }

    std::printf("\nStreaming targets:\n");
    bool holds = true;
    if (comparisons.size() == 2) {
        holds &= PrintBaselineTarget(inputs[0], BaselineSpeedupTarget);
        holds &= PrintBaselineTarget(inputs[1], DocumentBaselineSpeedupTarget);
        holds &= PrintInflateTarget(inputs[0], WorkbookOverInflateTarget);
        holds &= PrintInflateTarget(inputs[1], DocumentOverInflateTarget);
        holds &= PrintSpeedupTarget(comparisons[0], PeerSpeedupTarget);
        holds &= PrintSpeedupTarget(comparisons[1], DocumentPeerSpeedupTarget);
        holds &= PrintTextTarget(inputs[0]);
        holds &= PrintTextTarget(inputs[1]);
    } else {
        holds = PrintNotMeasured("the real producers' files");
    }
    for (size_t i = firstLargest; i < inputs.size(); ++i) {
        holds &= PrintLargestTargets(inputs[i]);
    }
    return holds;
}

}  // namespace quillet::bench
