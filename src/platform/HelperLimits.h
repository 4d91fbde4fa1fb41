#pragma once
// The helper programs' side of HelperProcess.h: the limits the starting program passes on the
// command line (--memory-limit-mb N, --cpu-limit-s N, --file-limit-kb N), and setting them on
// the helper itself before it touches the library it guards. Plain C++, so that a helper need
// not link Qt.

#include <string>

namespace tolvane::helper {

struct Limits {
    unsigned long memoryLimitMb = 512;
    unsigned long cpuLimitS = 120;
    unsigned long fileLimitKb = 0; // --file-limit-kb N; 0: none
};

// Called with what is wrong with the command line; prints the usage and ends the program.
using UsageError = void (*)(const std::string& problem);

// What a UsageError does: "<program>: <problem>" and "usage: <program> <synopsis>" on stderr,
// then the program ends with `exitStatus`.
[[noreturn]] void printUsageAndExit(const char* program, const char* synopsis,
                                    const std::string& problem, int exitStatus);

// The value of the option at argv[i], leaving `i` on it; `usage` is called when there is none.
const char* optionValue(int argc, char** argv, int& i, UsageError usage);

// A whole number above zero, or `usage` is called naming `option`.
unsigned long positiveNumber(const char* text, const char* option, UsageError usage);

// When argv[i] is one of the limit options, reads it and its value into `limits`, leaves `i`
// on the value and returns true; false for any other argument.
bool takeLimitOption(int argc, char** argv, int& i, Limits& limits, UsageError usage);

// No core file, the processor time, the address space and, when given, the size of a file
// written: a write beyond it fails with EFBIG, as one on a full disk fails with ENOSPC
// (SIGXFSZ, which would end the helper instead, is ignored). Under AddressSanitizer the address
// space is left alone: the sanitizer's own RSS limit takes that job (see HelperLimits.cpp).
void applyLimits(const Limits& limits);

} // namespace tolvane::helper
