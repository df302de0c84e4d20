#include "hostile/HostileRun.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "support/PluginModule.h"
#include "support/TempFile.h"

#if defined(__SANITIZE_ADDRESS__)
#include <atomic>
// The sanitizer runtime's allocator interface (GCC installs no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*,
                                                                          size_t),
                                                         void (*onFree)(const volatile void*));
extern "C" size_t __sanitizer_get_allocated_size(const volatile void* pointer);
extern "C" int __lsan_do_recoverable_leak_check();
#endif

namespace quillet::test {
namespace {

constexpr int FieldCount = 46;
constexpr int ContentField = 44;
constexpr int TextField = 45;
// A file manager's buffer for one piece of full text. The protocol at small sizes is proven by
// the end-to-end tests; here a 64 MiB text costs a thousand calls, not thirty thousand, each of
// which wine makes a round trip to its server.
constexpr int BufferSize = 64 * 1024;
constexpr int FullTextType = 9;
constexpr int FieldEmpty = -3;
constexpr size_t KeptContentBytes = size_t{1} << 20;

int FieldType(int field) {
    char name[64];
    char units[64];
    return PluginModule::Get().field(field, name, units, sizeof name);
}

// Counts, times and date-times may be empty; every other field answers its type.
bool MayBeEmpty(int type) {
    return type == 1 || type == 5 || type == 10;
}

#if defined(__SANITIZE_ADDRESS__)
// Under AddressSanitizer the resident size holds shadow memory and the allocator's quarantine,
// so the child counts live heap bytes through the allocator's hooks instead.
std::atomic<int64_t> liveBytes{0};
std::atomic<int64_t> peakBytes{0};

void OnMalloc(const volatile void*, size_t size) {
    const int64_t now = liveBytes += static_cast<int64_t>(size);
    int64_t peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
}

void OnFree(const volatile void* pointer) {
    liveBytes -= static_cast<int64_t>(__sanitizer_get_allocated_size(pointer));
}

int64_t StartMeasuring() {
    __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
    return 0;
}

int64_t PeakAbove(int64_t) {
    return peakBytes.load();
}

// The child leaves by _exit, past the leak check that runs at a normal exit: so it runs here.
bool Leaked() {
    return __lsan_do_recoverable_leak_check() != 0;
}
#elif !defined(_WIN32)
int64_t StatusKiB(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, std::strlen(key), key) == 0)
            return std::stoll(line.substr(std::strlen(key)));
    }
    return -1;
}

// Resets the peak resident size to the current one, which is the start.
int64_t StartMeasuring() {
    std::ofstream("/proc/self/clear_refs") << "5";
    return StatusKiB("VmRSS:");
}

int64_t PeakAbove(int64_t startKiB) {
    return (StatusKiB("VmHWM:") - startKiB) * 1024;
}

bool Leaked() {
    return false;  // leaks are the sanitizer build's to find
}
#endif

// The processor time this process (or, on Windows, this thread) has used so far.
double ProcessorSeconds() {
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& time) {
        return static_cast<double>(static_cast<uint64_t>(time.dwHighDateTime) << 32 |
                                   time.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
#endif
}

// A file's fields together: two requests ("Content" and "Text") read its body whole, the
// property fields share the records of the first.
double FileSeconds() {
    return 2 * RequestSeconds();
}

// What each field of the last AskFields cost, in processor seconds; 0 for a field not asked.
std::vector<double> fieldSeconds(FieldCount, 0.0);

// The full text ends at this many bytes, however often the package repeats what it holds.
constexpr size_t FullTextLimit = size_t{64} << 20;

}  // namespace

// Processor seconds per request, one field asked and its whole transfer: the costliest shapes
// take about half of it alone ("Content" or "Text" of 70 MiB of shared strings), which leaves
// room for a loaded 2-core machine; runaway cost (a part read again for each sheet, a quadratic
// walk) takes many times more. The sanitizer build runs under ASan and UBSan at -O1, several times
// slower: it checks memory safety and the memory budget, the optimised builds check the time.
// Wine emulates every file call of the Windows build, which costs some more.
double RequestSeconds() {
#if defined(__SANITIZE_ADDRESS__)
    return 10.0;
#else
    return RunningUnderWine() ? 5.0 : 1.0;
#endif
}

const std::vector<int>& AllFields() {
    static const std::vector<int> fields = [] {
        std::vector<int> all;
        for (int i = 0; i < FieldCount; ++i)
            all.push_back(i);
        return all;
    }();
    return fields;
}

std::string AskFields(const std::string& path, const std::vector<int>& fields, ContentSeen* content,
                      bool wide) {
    const PluginModule& module = PluginModule::Get();
    std::string problems;
    std::vector<char> buffer(BufferSize);
    std::vector<char> units(BufferSize);
    const auto widePath = WideName(Widen(path));
    // Through the W call a full text arrives in UTF-16: ASCII is kept as it is, anything else as
    // '?', which the cases that ask so never hold.
    const auto ask = [&](int field, int unit) {
        if (!wide || FieldType(field) != FullTextType) {
            return module.value(path.c_str(), field, unit, buffer.data(), BufferSize, 0);
        }
        const int result =
            module.valueW(widePath.c_str(), field, unit, units.data(), BufferSize, 0);
        size_t at = 0;
        for (size_t i = 0; i + 1 < units.size(); i += 2, ++at) {
            char16_t c = 0;
            std::memcpy(&c, units.data() + i, 2);
            buffer[at] = c < 0x80 ? static_cast<char>(c) : '?';
            if (c == 0)
                break;
        }
        return result == 12 ? FullTextType : result;
    };
    fieldSeconds.assign(FieldCount, 0.0);
    for (const int field : fields) {
        const double cpuStart = ProcessorSeconds();
        const auto settle = [&] {
            if (field >= 0 && field < FieldCount)
                fieldSeconds[static_cast<size_t>(field)] = ProcessorSeconds() - cpuStart;
        };
        const int type = FieldType(field);
        const int result = ask(field, 0);
        if (result != type && !(result == FieldEmpty && MayBeEmpty(type))) {
            problems +=
                "field " + std::to_string(field) + " answered " + std::to_string(result) + "; ";
            settle();
            continue;
        }
        if (type != FullTextType) {
            settle();
            continue;
        }
        ContentSeen text;
        const auto keep = [&] {
            const size_t length = strnlen(buffer.data(), BufferSize);
            text.bytes += length;
            text.start.append(
                buffer.data(),
                std::min(length, KeptContentBytes - std::min(KeptContentBytes, text.start.size())));
        };
        keep();
        int unit = 1;
        for (; unit < 1'000'000 && ask(field, unit) == FullTextType; ++unit) {
            keep();
        }
        if (unit == 1'000'000)
            problems += "field " + std::to_string(field) + " never ends; ";
        if (ask(field, -1) != FullTextType)
            problems += "field " + std::to_string(field) + " refused its end call; ";
        settle();
        if (text.bytes > FullTextLimit)
            problems += "field " + std::to_string(field) + " gave " + std::to_string(text.bytes) +
                        " bytes; ";
        if (content != nullptr && field == ContentField)
            *content = text;
    }
    return problems;
}

Cost RunMeasured(const std::function<double(std::string&)>& work) {
    Cost cost;
    PluginModule::Get();  // loaded before the child starts, so loading is not counted
#ifdef _WIN32
    const double cpuStart = ProcessorSeconds();
    cost.slowestSeconds = work(cost.problems);
    cost.cpuSeconds = ProcessorSeconds() - cpuStart;
    cost.fieldSeconds = fieldSeconds;
#else
    int channel[2];
    if (pipe(channel) != 0) {
        ADD_FAILURE() << "no pipe";
        return cost;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const int64_t start = StartMeasuring();
        const double cpuStart = ProcessorSeconds();
        std::string problems;
        const double seconds = work(problems);
        const double cpu = ProcessorSeconds() - cpuStart;
        const int64_t extra = PeakAbove(start);
        if (Leaked())
            problems += "memory leaked; ";
        std::string report =
            std::to_string(seconds) + " " + std::to_string(cpu) + " " + std::to_string(extra) + " ";
        for (const double fieldCpu : fieldSeconds)
            report += std::to_string(fieldCpu) + " ";
        report += problems;
        (void)!write(channel[1], report.data(), report.size());
        _exit(0);
    }
    close(channel[1]);
    std::string report;
    char chunk[512];
    for (ssize_t n; (n = read(channel[0], chunk, sizeof chunk)) > 0;)
        report.append(chunk, static_cast<size_t>(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        cost.problems = "the child ended with status " + std::to_string(status);
        return cost;
    }
    size_t used = 0;
    cost.slowestSeconds = std::stod(report, &used);
    std::string rest = report.substr(used);
    cost.cpuSeconds = std::stod(rest, &used);
    rest = rest.substr(used);
    cost.extraBytes = std::stoll(rest, &used);
    for (int field = 0; field < FieldCount; ++field) {
        rest = rest.substr(used);
        cost.fieldSeconds.push_back(std::stod(rest, &used));
    }
    cost.problems = rest.size() > used + 1 ? rest.substr(used + 1) : std::string();
#endif
    return cost;
}

void RunOnStack(size_t stackBytes, const std::function<void()>& work) {
#ifdef _WIN32
    struct Start {
        static DWORD WINAPI Entry(LPVOID argument) {
            (*static_cast<const std::function<void()>*>(argument))();
            return 0;
        }
    };
    HANDLE thread =
        CreateThread(nullptr, stackBytes, Start::Entry, const_cast<std::function<void()>*>(&work),
                     STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
#else
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, stackBytes), 0);
    pthread_t thread;
    struct Start {
        static void* Entry(void* argument) {
            (*static_cast<const std::function<void()>*>(argument))();
            return nullptr;
        }
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, Start::Entry,
                             const_cast<std::function<void()>*>(&work)),
              0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
#endif
}

bool RunningUnderWine() {
#ifdef _WIN32
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

void ExpectWithinBounds(const HostileCase& hostile) {
#if defined(__SANITIZE_ADDRESS__)
    // Half a minute each here for what the optimised runs bound; the stop test streams a sheet
    // under the sanitizers.
    if (hostile.timeFactor > 1)
        GTEST_SKIP() << "the largest parts are measured by the optimised builds";
#endif
    const std::string expected = hostile.content ? hostile.content() : std::string();
    const TempFile file(hostile.bytes(), ".docx");
    const Cost cost = RunMeasured([&](std::string& problems) {
        const auto start = std::chrono::steady_clock::now();
        ContentSeen content;
        problems += AskFields(file.path(), AllFields(), &content, hostile.wide);
        const double seconds = Since(start);
        if (hostile.content && content.start != expected.substr(0, KeptContentBytes))
            problems += "content was \"" + content.start.substr(0, 100) + "\"";
        // A case that names its text's size gives the whole text.
        if (hostile.content && hostile.textBytes > 0 &&
            content.bytes != static_cast<size_t>(hostile.textBytes))
            problems += "content of " + std::to_string(content.bytes) + " bytes, not " +
                        std::to_string(hostile.textBytes);
        return seconds;
    });
    EXPECT_EQ(cost.problems, "");
    // Each request within its bound, and the file's all together within theirs.
    const auto slowest = std::max_element(cost.fieldSeconds.begin(), cost.fieldSeconds.end());
    if (slowest != cost.fieldSeconds.end()) {
        EXPECT_LT(*slowest, RequestSeconds() * hostile.timeFactor)
            << "field " << slowest - cost.fieldSeconds.begin();
    }
    EXPECT_LT(cost.cpuSeconds, FileSeconds() * hostile.timeFactor);
    // Beyond the budget: the text handed over, which the module keeps for the transfer.
    EXPECT_LT(cost.extraBytes, MostExtraBytes + hostile.textBytes + hostile.keptBytes);
    testing::Test::RecordProperty("seconds", std::to_string(cost.slowestSeconds));
    testing::Test::RecordProperty("cpuSeconds", std::to_string(cost.cpuSeconds));
    if (cost.fieldSeconds.size() > TextField) {
        testing::Test::RecordProperty("contentCpuSeconds",
                                      std::to_string(cost.fieldSeconds[ContentField]));
        testing::Test::RecordProperty("textCpuSeconds",
                                      std::to_string(cost.fieldSeconds[TextField]));
    }
    testing::Test::RecordProperty("extraBytes", std::to_string(cost.extraBytes));
}

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace quillet::test
