#include "Console.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace quillet::host {

void Fail(const std::string& message) {
    std::fprintf(stderr, "quillet-host: %s\n", message.c_str());
}

int UsageError(const std::string& message) {
    Fail(message);
    std::fprintf(stderr, "Try 'quillet-host --help'.\n");
    return ExitUsage;
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void BinaryStandardOutput() {
#ifdef _WIN32
    ::_setmode(::_fileno(stdout), _O_BINARY);
#endif
}

std::string ArgumentAsUtf8(const std::string& argument) {
#ifdef _WIN32
    const int units = ::MultiByteToWideChar(CP_ACP, 0, argument.data(),
                                            static_cast<int>(argument.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, argument.data(), static_cast<int>(argument.size()),
                          wide.data(), units);
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
#else
    return argument;
#endif
}

namespace {

bool IsTerminal(FILE* stream) {
#ifdef _WIN32
    return ::_isatty(::_fileno(stream)) != 0;
#else
    return ::isatty(::fileno(stream)) != 0;
#endif
}

// The width the terminal itself tells; 0 when it tells none (a pseudo-terminal without a size).
size_t ToldColumns() {
#ifdef _WIN32
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_OUTPUT_HANDLE), &info))
        return 0;
    return static_cast<size_t>(info.srWindow.Right - info.srWindow.Left + 1);
#else
    winsize size{};
    return ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
#endif
}

}  // namespace

bool StandardOutputIsTerminal() {
    return IsTerminal(stdout);
}

bool StandardErrorIsTerminal() {
    return IsTerminal(stderr);
}

size_t TerminalColumns() {
    if (const size_t told = ToldColumns(); told > 0)
        return told;
    const char* const columns = std::getenv("COLUMNS");
    const long fromEnvironment = columns != nullptr ? std::strtol(columns, nullptr, 10) : 0;
    return fromEnvironment > 0 ? static_cast<size_t>(fromEnvironment) : 80;
}

}  // namespace quillet::host
