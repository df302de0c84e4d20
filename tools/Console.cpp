#include "Console.h"

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
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

}  // namespace quillet::host
