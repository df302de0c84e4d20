#pragma once

#include <cstddef>
#include <string>

namespace quillet::host {

// The exit status of the program.
enum ExitCode : int {
    ExitOk = 0,
    ExitMissingFile = 1,
    ExitUsage = 2,
    ExitModule = 3,
    ExitNotDocument = 4,
    ExitNoMatch = 5,
};

// A message on standard error, after the program's name.
void Fail(const std::string& message);
// A usage error with a pointer to --help; answers the exit status for it.
int UsageError(const std::string& message);
// Text on standard output, as it is.
void Print(const std::string& text);
// Bytes go out as they are: no CR added before LF on Windows.
void BinaryStandardOutput();

// A command-line argument in UTF-8, the form of the texts the module hands over through
// ContentGetValueW: on Windows arguments come in the ANSI code page; elsewhere as they are.
std::string ArgumentAsUtf8(const std::string& argument);

bool StandardOutputIsTerminal();
bool StandardErrorIsTerminal();
// The columns of the terminal on standard output: as the terminal tells, else $COLUMNS, else 80.
size_t TerminalColumns();

}  // namespace quillet::host
