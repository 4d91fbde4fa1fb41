#include "platform/HelperLimits.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
#define TOLVANE_HELPER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TOLVANE_HELPER_ASAN 1
#endif
#endif

#ifdef TOLVANE_HELPER_ASAN
// An address-space limit cannot coexist with the sanitizer's shadow memory; its own RSS limit
// takes that job. Leak reports are off: the libraries leak on their error paths and keep their
// managers until exit, and a report would turn a clean read into a failure.
extern "C" const char* __asan_default_options() {
    return "hard_rss_limit_mb=1024:detect_leaks=0:allocator_may_return_null=0";
}
#endif

namespace tolvane::helper {

namespace {

void limit(int resource, rlim_t value) {
    rlimit r{value, value};
    setrlimit(resource, &r);
}

} // namespace

void printUsageAndExit(const char* program, const char* synopsis, const std::string& problem,
                       int exitStatus) {
    std::fprintf(stderr, "%s: %s\nusage: %s %s\n", program, problem.c_str(), program, synopsis);
    std::exit(exitStatus);
}

const char* optionValue(int argc, char** argv, int& i, UsageError usage) {
    if (i + 1 >= argc)
        usage(std::string(argv[i]) + " needs a value");
    return argv[++i];
}

unsigned long positiveNumber(const char* text, const char* option, UsageError usage) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (!*text || *end || value == 0)
        usage(std::string("bad number for ") + option + ": " + text);
    return value;
}

bool takeLimitOption(int argc, char** argv, int& i, Limits& limits, UsageError usage) {
    const std::string arg = argv[i];
    unsigned long* target = arg == "--memory-limit-mb" ? &limits.memoryLimitMb
                            : arg == "--cpu-limit-s"   ? &limits.cpuLimitS
                            : arg == "--file-limit-kb" ? &limits.fileLimitKb
                                                       : nullptr;
    if (!target)
        return false;
    *target = positiveNumber(optionValue(argc, argv, i, usage), arg.c_str(), usage);
    return true;
}

void applyLimits(const Limits& limits) {
    limit(RLIMIT_CORE, 0);
    limit(RLIMIT_CPU, limits.cpuLimitS);
    if (limits.fileLimitKb > 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        limit(RLIMIT_FSIZE, static_cast<rlim_t>(limits.fileLimitKb) * 1024);
    }
#ifndef TOLVANE_HELPER_ASAN
    limit(RLIMIT_AS, static_cast<rlim_t>(limits.memoryLimitMb) * 1024 * 1024);
#endif
}

} // namespace tolvane::helper
