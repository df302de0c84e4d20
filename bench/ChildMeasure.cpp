#include "ChildMeasure.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "platform/Unicode.h"

namespace quillet::bench {
namespace {

// wait4 would report a peak of at least this process's size, which a forked child shares until it
// starts the program: GNU time forks the program from its own small image and reports the
// program's own peak.
constexpr const char* TimeProgram = "/usr/bin/time";

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
}

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

[[noreturn]] void ExecWithoutOutput(const std::vector<std::string>& arguments) {
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

std::string DescribeStatus(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status) == 127
                   ? "could not be started"
                   : "exited with status " + std::to_string(WEXITSTATUS(status));
    }
    return WIFSIGNALED(status) ? "ended by signal " + std::to_string(WTERMSIG(status))
                               : "ended with status " + std::to_string(status);
}

size_t StatusBytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t length = std::strlen(key);
    while (std::getline(status, line)) {
        if (line.compare(0, length, key) == 0) {
            return static_cast<size_t>(std::stoull(line.substr(length))) * 1024;
        }
    }
    return 0;
}

// The calls of one transfer through ContentGetValue: the name as the host's bytes, pieces of
// NUL-terminated text in the host's character set.
struct AnsiCall {
    ContentGetValueFunction value;
    std::string name;

    static constexpr int FullText = QUILLET_FIELD_FULL_TEXT;

    int operator()(int field, int unit, char* buffer, int size) const {
        return value(name.c_str(), field, unit, buffer, size, 0);
    }
    static size_t TextBytes(const char* buffer, size_t size) { return strnlen(buffer, size); }
};

// The same through ContentGetValueW: the name and the pieces in UTF-16.
struct WideCall {
    ContentGetValueWFunction value;
    std::basic_string<QuilletWideChar> name;

    static constexpr int FullText = QUILLET_FIELD_FULL_TEXT_W;

    int operator()(int field, int unit, char* buffer, int size) const {
        return value(name.c_str(), field, unit, buffer, size, 0);
    }
    static size_t TextBytes(const char* buffer, size_t size) {
        size_t bytes = 0;
        for (QuilletWideChar unit = 0; bytes + sizeof unit <= size; bytes += sizeof unit) {
            std::memcpy(&unit, buffer + bytes, sizeof unit);
            if (unit == 0) {
                break;
            }
        }
        return bytes;
    }
};

WideCall WideCallOf(ContentGetValueWFunction value, const std::string& path) {
    const std::u16string units = platform::Utf8ToUtf16(path);
    return {value, std::basic_string<QuilletWideChar>(units.begin(), units.end())};
}

// Pages the whole text as a host does: first call, next calls until the field answers empty,
// end call. Runs in the child.
template <typename Call>
TransferCost TransferInThisProcess(const Call& call, int bufferSize, int field) {
    TransferCost cost;
    std::vector<char> buffer(static_cast<size_t>(bufferSize));
    // Memory the parent freed would otherwise be reused unseen by the peak.
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    const size_t start = StatusBytes("VmRSS:");
    const double began = ThreadSeconds();
    for (int unit = 0;; ++unit) {
        const int result = call(field, unit, buffer.data(), bufferSize);
        if (result == QUILLET_FIELD_EMPTY && unit > 0) {
            break;
        }
        if (result != Call::FullText) {
            cost.failure = "a piece answered " + std::to_string(result);
            return cost;
        }
        cost.textBytes += Call::TextBytes(buffer.data(), buffer.size());
    }
    call(field, -1, buffer.data(), bufferSize);
    cost.cpuSeconds = ThreadSeconds() - began;
    const size_t peak = StatusBytes("VmHWM:");
    cost.peakAbove = peak > start ? peak - start : 0;
    cost.ok = true;
    return cost;
}

}  // namespace

// A file for GNU time's report, removed when done with.
class ReportFile {
  public:
    ReportFile() {
        char pattern[] = "/tmp/quillet-bench-peak-XXXXXX";
        const int descriptor = mkstemp(pattern);
        if (descriptor >= 0) {
            close(descriptor);
            path_ = pattern;
        }
    }
    ~ReportFile() {
        if (!path_.empty()) {
            unlink(path_.c_str());
        }
    }
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    const std::string& path() const { return path_; }

    // The last number in the file: time writes the format's "%M" after any note of its own.
    size_t LastNumber() const {
        std::ifstream in(path_);
        size_t number = 0;
        for (std::string word; in >> word;) {
            if (!word.empty() && word.find_first_not_of("0123456789") == std::string::npos) {
                number = static_cast<size_t>(std::stoull(word));
            }
        }
        return number;
    }

  private:
    std::string path_;
};

ProcessRun RunProcess(const std::vector<std::string>& arguments) {
    ProcessRun run;
    const ReportFile report;
    if (report.path().empty()) {
        run.failure = "no file for the report of " + std::string(TimeProgram);
        return run;
    }
    std::vector<std::string> timed{TimeProgram, "-f", "%M", "-o", report.path()};
    timed.insert(timed.end(), arguments.begin(), arguments.end());
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) {
        run.failure = "fork failed";
        return run;
    }
    if (child == 0) {
        ExecWithoutOutput(timed);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        run.failure = "wait failed";
        return run;
    }
    run.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    run.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    run.peakResident = report.LastNumber() * 1024;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!run.ok) {
        run.failure = arguments.front() + " " + DescribeStatus(status);
    }
    return run;
}

ProcessRun FastestOf(const std::vector<std::string>& arguments, int runs) {
    ProcessRun fastest;
    for (int i = 0; i < runs; ++i) {
        const ProcessRun run = RunProcess(arguments);
        if (!run.ok) {
            return run;
        }
        if (i == 0 || run.wallSeconds < fastest.wallSeconds) {
            fastest = run;
        }
    }
    return fastest;
}

namespace {

template <typename Call>
TransferCost MeasureInChild(const Call& call, int bufferSize, int field) {
    TransferCost cost;
    int channel[2];
    if (pipe(channel) != 0) {
        cost.failure = "no pipe";
        return cost;
    }
    std::fflush(nullptr);  // nothing buffered may be written twice
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const TransferCost measured = TransferInThisProcess(call, bufferSize, field);
        const std::string report = std::to_string(measured.ok) + " " +
                                   std::to_string(measured.cpuSeconds) + " " +
                                   std::to_string(measured.peakAbove) + " " +
                                   std::to_string(measured.textBytes) + " " + measured.failure;
        (void)!write(channel[1], report.data(), report.size());
        _exit(0);
    }
    close(channel[1]);
    std::string report;
    char chunk[512];
    for (ssize_t n; (n = read(channel[0], chunk, sizeof chunk)) > 0;) {
        report.append(chunk, static_cast<size_t>(n));
    }
    close(channel[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        cost.failure = "the measuring child " + DescribeStatus(status);
        return cost;
    }
    int ok = 0;
    unsigned long long peak = 0, text = 0;
    int consumed = 0;
    if (std::sscanf(report.c_str(), "%d %lf %llu %llu %n", &ok, &cost.cpuSeconds, &peak, &text,
                    &consumed) < 4) {
        cost.failure = "the measuring child reported nothing";
        return cost;
    }
    cost.ok = ok != 0;
    cost.peakAbove = static_cast<size_t>(peak);
    cost.textBytes = static_cast<size_t>(text);
    cost.failure = report.substr(static_cast<size_t>(consumed));
    return cost;
}

template <typename Call>
TransferCost CheapestInChildren(const Call& call, int bufferSize, int runs, int field) {
    TransferCost cheapest;
    size_t largestPeak = 0;
    for (int i = 0; i < runs; ++i) {
        const TransferCost cost = MeasureInChild(call, bufferSize, field);
        if (!cost.ok) {
            return cost;
        }
        largestPeak = std::max(largestPeak, cost.peakAbove);
        if (i == 0 || cost.cpuSeconds < cheapest.cpuSeconds) {
            cheapest = cost;
        }
    }
    cheapest.peakAbove = largestPeak;
    return cheapest;
}

}  // namespace

TransferCost MeasureTransfer(ContentGetValueFunction value, const std::string& path, int bufferSize,
                             int field) {
    return MeasureInChild(AnsiCall{value, path}, bufferSize, field);
}

TransferCost MeasureTransfer(ContentGetValueWFunction value, const std::string& path,
                             int bufferSize, int field) {
    return MeasureInChild(WideCallOf(value, path), bufferSize, field);
}

TransferCost CheapestTransferOf(ContentGetValueFunction value, const std::string& path,
                                int bufferSize, int runs, int field) {
    return CheapestInChildren(AnsiCall{value, path}, bufferSize, runs, field);
}

TransferCost CheapestTransferOf(ContentGetValueWFunction value, const std::string& path,
                                int bufferSize, int runs, int field) {
    return CheapestInChildren(WideCallOf(value, path), bufferSize, runs, field);
}

}  // namespace quillet::bench
