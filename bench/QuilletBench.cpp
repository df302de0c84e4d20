// Measures what a file manager costs the module: property columns, whole "Content" transfers,
// and the floor that any reader on zlib and TinyXML pays. Prints the figures as a table, the
// ratios the module must keep. Then measures the readers that parse one element at a time
// against the earlier build, zlib and the peers (StreamingTargets). Exits non-zero when any
// target of either part does not hold.
#include <benchmark/benchmark.h>
#include <tinyxml.h>
#include <zlib.h>

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <quillet/content_plugin.h>

#include "BenchInputs.h"
#include "StreamingTargets.h"
#include "package/ZipArchive.h"
#include "platform/DynamicLibrary.h"
#include "platform/Env.h"
#include "props/PropertyRecords.h"
#include "text/DocumentText.h"

namespace quillet::bench {
namespace {

constexpr int TitleField = 14;    // a core property
constexpr int CompanyField = 20;  // an extended property
constexpr int LastPropertyField = 42;
constexpr int ContentField = 44;
constexpr int TypeFullText = QUILLET_FIELD_FULL_TEXT;
constexpr int ResultFieldEmpty = QUILLET_FIELD_EMPTY;
// More copies than the module keeps records for, so that every round meets a file not read just
// before.
constexpr size_t Copies = 8;
// A transfer that would cost more than this much CPU time is cut short and extrapolated: before
// the text was kept between calls, a large text through a small buffer took hours.
constexpr double TransferBudgetSeconds = 8.0;
const int BufferSizes[] = {1024, 2048, 8192, 65536};
// Each figure is the least of this many repetitions' medians. The repetitions of all benchmarks
// run interleaved in random order, so that a spell of heavy load elsewhere on the machine slows a
// few repetitions of many benchmarks rather than every repetition of one.
constexpr int Repetitions = 5;

// All figures are CPU time of the calling thread: the machine is shared, and waiting for a core
// is not the module's cost.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

using ValueFn = ContentGetValueFunction;

ValueFn LoadModule(platform::DynamicLibrary& library) {
    if (!library.Load(QUILLET_MODULE_PATH)) {
        std::fprintf(stderr, "cannot load %s: %s\n", QUILLET_MODULE_PATH, library.error().c_str());
        return nullptr;
    }
    return reinterpret_cast<ValueFn>(library.Find("ContentGetValue"));
}

// One build of the "Content" text, as a first call of a transfer makes it: the file opened, its
// package indexed, the text built.
std::string BuildContentOf(const std::string& path) {
    const auto archive =
        ZipArchive::Open(platform::SystemEnv().OpenFile(platform::FilePath(path.c_str())));
    PropertyRecords records;
    records.Load(archive.get());
    DocumentText text(archive.get(), records.app);
    text.BuildContent();
    return std::move(text.contentText);
}

// The least any reader on these libraries spends on a part: inflate it and parse it once.
bool InflateAndParse(const GeneratedPart& part) {
    std::string text(part.text.size(), '\0');
    z_stream stream{};
    if (inflateInit2(&stream, -15) != Z_OK) {
        return false;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(part.deflated.data()));
    stream.avail_in = static_cast<uInt>(part.deflated.size());
    stream.next_out = reinterpret_cast<Bytef*>(text.data());
    stream.avail_out = static_cast<uInt>(text.size());
    const int result = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    if (result != Z_STREAM_END) {
        return false;
    }
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
    return !document.Error();
}

struct Context {
    ValueFn value = nullptr;
    std::vector<BenchInput> inputs;
    std::vector<std::string> contents;  // each input's "Content", built once by the core
};

// Runs `operation` (which answers the CPU seconds it stands for) as the benchmark's iterations,
// and keeps the median iteration as counter "median_us": a core shared with other work now and
// then stretches one iteration, and the median does not follow it.
template <typename Operation>
void Measure(benchmark::State& state, Operation operation) {
    std::vector<double> times;
    for (auto _ : state) {
        const double seconds = operation(state);
        if (seconds < 0) {
            return;
        }
        state.SetIterationTime(seconds);
        times.push_back(seconds);
    }
    if (!times.empty()) {
        std::nth_element(times.begin(),
                         times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2),
                         times.end());
        state.counters["median_us"] = times[times.size() / 2] * 1e6;
    }
}

void OneField(benchmark::State& state, const Context& context, const BenchInput& input, int field) {
    std::vector<char> buffer(1024);
    size_t round = 0;
    Measure(state, [&](benchmark::State&) {
        const std::string& path = input.copies[round++ % input.copies.size()];
        const double start = ThreadSeconds();
        const int result = context.value(path.c_str(), field, 0, buffer.data(), 1024, 0);
        const double seconds = ThreadSeconds() - start;
        benchmark::DoNotOptimize(result);
        return seconds;
    });
}

void FieldRow(benchmark::State& state, const Context& context, const BenchInput& input) {
    std::vector<char> buffer(1024);
    size_t round = 0;
    Measure(state, [&](benchmark::State&) {
        const std::string& path = input.copies[round++ % input.copies.size()];
        const double start = ThreadSeconds();
        for (int field = 0; field <= LastPropertyField; ++field) {
            benchmark::DoNotOptimize(context.value(path.c_str(), field, 0, buffer.data(), 1024, 0));
        }
        return ThreadSeconds() - start;
    });
}

void PropertyFloor(benchmark::State& state, const BenchInput& input) {
    Measure(state, [&](benchmark::State& s) {
        const double start = ThreadSeconds();
        for (const GeneratedPart& part : input.propertyParts) {
            if (!InflateAndParse(part)) {
                s.SkipWithError("a property part does not inflate and parse");
                return -1.0;
            }
        }
        return ThreadSeconds() - start;
    });
}

void ContentFloor(benchmark::State& state, const BenchInput& input) {
    Measure(state, [&](benchmark::State& s) {
        const double start = ThreadSeconds();
        for (const GeneratedPart& part : input.contentParts) {
            if (!InflateAndParse(part)) {
                s.SkipWithError("a content part does not inflate and parse");
                return -1.0;
            }
        }
        return ThreadSeconds() - start;
    });
}

void BuildOnce(benchmark::State& state, const BenchInput& input) {
    Measure(state, [&](benchmark::State&) {
        const double start = ThreadSeconds();
        benchmark::DoNotOptimize(BuildContentOf(input.copies.front()).data());
        return ThreadSeconds() - start;
    });
}

// Pages the whole "Content" as a host does (first call, next calls until the field is empty, end
// call), checking every piece against the text built once.
void Transfer(benchmark::State& state, const Context& context, const BenchInput& input,
              const std::string& content, int size) {
    const char* path = input.copies.front().c_str();
    const size_t step = static_cast<size_t>(size) - 1;
    const size_t pieces = content.empty() ? 1 : (content.size() + step - 1) / step;
    std::vector<char> buffer(static_cast<size_t>(size));
    bool extrapolated = false;
    Measure(state, [&](benchmark::State& s) {
        size_t offset = 0;
        size_t calls = 0;
        bool cut = false;
        const double start = ThreadSeconds();
        for (int unit = 0;; ++unit) {
            const int result = context.value(path, ContentField, unit, buffer.data(), size, 0);
            ++calls;
            if (result == ResultFieldEmpty && unit > 0) {
                if (offset != content.size()) {
                    s.SkipWithError("the transfer ended before the text did");
                    return -1.0;
                }
                break;
            }
            const size_t length = strnlen(buffer.data(), buffer.size());
            if (result != TypeFullText ||
                content.compare(offset, length, buffer.data(), length) != 0 ||
                (length < step && offset + length != content.size())) {
                s.SkipWithError("a piece differs from the text built once");
                return -1.0;
            }
            offset += length;
            if (ThreadSeconds() - start > TransferBudgetSeconds) {
                cut = true;
                break;
            }
        }
        context.value(path, ContentField, -1, buffer.data(), size, 0);
        const double seconds = ThreadSeconds() - start;
        if (!cut) {
            return seconds;
        }
        // Every call rebuilt the whole text: the rest costs what the calls made so far cost.
        extrapolated = true;
        return seconds * static_cast<double>(pieces + 1) / static_cast<double>(calls);
    });
    state.counters["pieces"] = static_cast<double>(pieces);
    state.counters["extrapolated"] = extrapolated ? 1 : 0;
}

// Keeps each benchmark's figure in microseconds by name: the least median of its repetitions.
class CollectingReporter : public benchmark::ConsoleReporter {
  public:
    explicit CollectingReporter(bool color)
        : ConsoleReporter(color ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) {
                failed = true;
                continue;
            }
            if (run.run_type != Run::RT_Iteration) {
                continue;
            }
            // The least disturbed repetition counts.
            const std::string& name = run.run_name.function_name;
            const auto median = run.counters.find("median_us");
            if (median == run.counters.end()) {
                continue;
            }
            const double time = median->second.value;
            const auto known = micros.find(name);
            if (known == micros.end() || time < known->second) {
                micros[name] = time;
            }
            const auto found = run.counters.find("extrapolated");
            if (found != run.counters.end() && found->second.value > 0) {
                extrapolated[name] = true;
            }
        }
    }

    std::map<std::string, double> micros;
    std::map<std::string, bool> extrapolated;
    bool failed = false;
};

std::string Slug(const std::string& label) {
    std::string slug = label;
    for (char& c : slug) {
        if (c == ' ')
            c = '_';
    }
    return slug;
}

std::string Name(const char* what, const BenchInput& input) {
    return std::string(what) + "/" + Slug(input.label);
}

std::string TransferName(const BenchInput& input, int size) {
    return "transfer_" + std::to_string(size / 1024) + "KiB/" + Slug(input.label);
}

void Register(const Context& context) {
    for (size_t i = 0; i < context.inputs.size(); ++i) {
        const BenchInput& input = context.inputs[i];
        const std::string& content = context.contents[i];
        const auto add = [](const std::string& name, auto function) {
            benchmark::RegisterBenchmark(name.c_str(), function)
                ->UseManualTime()
                ->Unit(benchmark::kMicrosecond)
                ->MinTime(0.1)
                ->Repetitions(Repetitions);
        };
        add(Name("one_core_field", input), [&context, &input](benchmark::State& state) {
            OneField(state, context, input, TitleField);
        });
        add(Name("one_app_field", input), [&context, &input](benchmark::State& state) {
            OneField(state, context, input, CompanyField);
        });
        add(Name("43_fields", input),
            [&context, &input](benchmark::State& state) { FieldRow(state, context, input); });
        add(Name("floor_core_app", input),
            [&input](benchmark::State& state) { PropertyFloor(state, input); });
        add(Name("build_content_once", input),
            [&input](benchmark::State& state) { BuildOnce(state, input); });
        for (const int size : BufferSizes) {
            add(TransferName(input, size), [&context, &input, &content, size](benchmark::State& s) {
                Transfer(s, context, input, content, size);
            });
        }
        add(Name("floor_content_parts", input),
            [&input](benchmark::State& state) { ContentFloor(state, input); });
    }
}

// "1.23 ms" or "456 us", three significant figures.
std::string Format(double micros) {
    char text[32];
    if (micros < 0) {
        return "-";
    } else if (micros >= 1e6) {
        std::snprintf(text, sizeof text, "%.3g s", micros / 1e6);
    } else if (micros >= 1e3) {
        std::snprintf(text, sizeof text, "%.3g ms", micros / 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.3g us", micros);
    }
    return text;
}

std::string Ratio(double value) {
    if (value < 0) {
        return "-";
    }
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

// a / b, or -1 when either was not measured.
double Quotient(double a, double b) {
    return a > 0 && b > 0 ? a / b : -1;
}

// Prints the tables and the targets; answers whether every target holds.
bool Summarize(const Context& context, const CollectingReporter& reporter) {
    const auto time = [&](const std::string& name) {
        const auto found = reporter.micros.find(name);
        return found != reporter.micros.end() ? found->second : -1.0;
    };
    bool ok = !reporter.failed;
    double worstRow = 0, worstField = 0, worstTransfer = 0;

    std::printf(
        "\nFigures: thread CPU time per operation, the least of %d repetitions' medians, all "
        "from this one run.\n",
        Repetitions);
    std::printf(
        "\nProperty fields: (a) one request for a file not read just before, (b) fields 0 "
        "to 42 of such a file in a row, (d) inflating and parsing its core and extended "
        "parts once\n\n");
    std::printf(
        "| input | package | (a) one core field | (a) one app field | (b) 43 fields | "
        "(d) floor core+app | b / a | a / d |\n|---|---|---|---|---|---|---|---|\n");
    for (const BenchInput& input : context.inputs) {
        const double core = time(Name("one_core_field", input));
        const double app = time(Name("one_app_field", input));
        const double row = time(Name("43_fields", input));
        const double floor = time(Name("floor_core_app", input));
        const double one = core < app && core >= 0 ? core : app;
        const double most = core > app ? core : app;
        const double rowRatio = Quotient(row, one);
        const double fieldRatio = Quotient(most, floor);
        worstRow = rowRatio > worstRow ? rowRatio : worstRow;
        worstField = fieldRatio > worstField ? fieldRatio : worstField;
        std::printf("| %s | %zu KiB | %s | %s | %s | %s | %s | %s |\n", input.label.c_str(),
                    input.packageSize / 1024, Format(core).c_str(), Format(app).c_str(),
                    Format(row).c_str(), Format(floor).c_str(), Ratio(rowRatio).c_str(),
                    Ratio(fieldRatio).c_str());
    }

    std::printf(
        "\nWhole \"Content\" transfers through the exports, by host buffer size, next to "
        "one build of the text (* extrapolated from a transfer cut short)\n\n");
    std::printf(
        "| input | content XML | text | (d) floor content parts | build once | 1 KiB | "
        "2 KiB | 8 KiB | 64 KiB | worst transfer / build |\n"
        "|---|---|---|---|---|---|---|---|---|---|\n");
    for (size_t i = 0; i < context.inputs.size(); ++i) {
        const BenchInput& input = context.inputs[i];
        const double build = time(Name("build_content_once", input));
        std::printf("| %s | %zu KiB | %zu KiB | %s | %s |", input.label.c_str(),
                    input.contentXmlSize / 1024, context.contents[i].size() / 1024,
                    Format(time(Name("floor_content_parts", input))).c_str(),
                    Format(build).c_str());
        double worst = 0;
        for (const int size : BufferSizes) {
            const std::string name = TransferName(input, size);
            const double transfer = time(name);
            const double ratio = Quotient(transfer, build);
            worst = ratio > worst ? ratio : worst;
            std::printf(" %s%s |", Format(transfer).c_str(),
                        reporter.extrapolated.count(name) != 0 ? "*" : "");
        }
        worstTransfer = worst > worstTransfer ? worst : worstTransfer;
        std::printf(" %s |\n", Ratio(worst > 0 ? worst : -1).c_str());
    }

    const auto target = [&](const char* what, double measured, double limit) {
        if (measured <= 0) {
            std::printf("  %-58s not measured\n", what);
            return;
        }
        const bool holds = measured <= limit;
        ok = ok && holds;
        std::printf("  %-58s %6s <= %.1f  %s\n", what, Ratio(measured).c_str(), limit,
                    holds ? "holds" : "FAILS");
    };
    std::printf("\nTargets (worst input, worst buffer size):\n");
    target("whole \"Content\" transfer / one build of the text", worstTransfer, 1.5);
    target("43 property fields of one file / one field", worstRow, 3.0);
    target("one property field / floor (core and extended parts)", worstField, 2.0);
    if (reporter.failed) {
        std::printf("  a benchmark failed: see its error above\n");
    }
    return ok;
}

}  // namespace
}  // namespace quillet::bench

int main(int argc, char** argv) {
    using namespace quillet::bench;
    // Interleaving is the default here; a flag given on the command line still wins.
    std::vector<char*> arguments(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave);
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    // `make bench` names the folder where the real producers' files were written.
    // and the earlier build's module.
    const std::string producerFlag = "--producer_inputs=";
    const std::string baselineFlag = "--baseline_module=";
    std::string producerDirectory;
    std::string baselineModule;
    for (int i = 1; i < count; ++i) {
        const std::string argument = arguments[static_cast<size_t>(i)];
        if (argument.rfind(producerFlag, 0) == 0) {
            producerDirectory = argument.substr(producerFlag.size());
        } else if (argument.rfind(baselineFlag, 0) == 0) {
            baselineModule = argument.substr(baselineFlag.size());
        }
    }
    // A host in a UTF-8 locale: the module answers in the host's character set.
    std::setlocale(LC_ALL, "C.UTF-8");

    Context context;
    quillet::platform::DynamicLibrary library;
    context.value = LoadModule(library);
    if (context.value == nullptr) {
        return 2;
    }
    const auto directory =
        std::filesystem::temp_directory_path() / ("quillet-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory);

    const auto started = std::chrono::steady_clock::now();
    context.inputs = GenerateInputs(directory.string(), Copies);
    const auto generated = std::chrono::steady_clock::now();
    for (const BenchInput& input : context.inputs) {
        context.contents.push_back(quillet::bench::BuildContentOf(input.copies.front()));
    }
    std::printf(
        "inputs generated in %.2f s, reference texts built in %.2f s\n",
        std::chrono::duration<double>(generated - started).count(),
        std::chrono::duration<double>(std::chrono::steady_clock::now() - generated).count());

    Register(context);
    CollectingReporter reporter(::isatty(STDOUT_FILENO) != 0);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const bool ok = Summarize(context, reporter);
    quillet::platform::DynamicLibrary baselineLibrary;
    ValueFn baselineValue = nullptr;
    if (!baselineModule.empty() && baselineLibrary.Load(baselineModule)) {
        baselineValue = reinterpret_cast<ValueFn>(baselineLibrary.Find("ContentGetValue"));
    } else if (!baselineModule.empty()) {
        std::fprintf(stderr, "cannot load the earlier build %s: %s\n", baselineModule.c_str(),
                     baselineLibrary.error().c_str());
    }
    const auto valueW =
        reinterpret_cast<ContentGetValueWFunction>(library.Find("ContentGetValueW"));
    const bool streamingHolds =
        ReportStreamingTargets({context.value, valueW, baselineValue, QUILLET_HOST_PATH,
                                producerDirectory, directory.string()});
    std::filesystem::remove_all(directory);
    return ok && streamingHolds ? 0 : 1;
}
