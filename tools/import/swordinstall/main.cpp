// tolvane-swordinstall: the SWORD repositories through libsword's InstallMgr, for
// tolvane-import's --sword-sources, --sword-available and --sword-install (and the Get
// Dictionaries window through it). The network can stall and libsword can crash, so this runs
// in a process of its own with limits, and the caller gives up on it after a wall-clock time.
//
// Output on stdout, one record a line, fields separated by tabs:
//   S caption type host directory              a repository
//   A name description version size licence status   a dictionary module offered
//   P done total                               progress of a transfer, in bytes (total 0:
//                                              not known)
//   W                                          a transfer ended: working on this computer
//                                              (unpacking, copying) until the next P
//   I folder                                   the module was installed there
//   X message                                  the failure; nothing follows, exit status 2
//
// Usage: tolvane-swordinstall [--memory-limit-mb N] [--cpu-limit-s N] [--file-limit-kb N]
//          [--stall-s N] [--rate-window-s N]
//          (--sources | --refresh-sources | --add-source NAME URL | --available SOURCE |
//           --install MODULE --source SOURCE | --remove MODULE)

#include "InstallLibrary.h"
#include "platform/HelperLimits.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/prctl.h>

namespace {

using tolvane::swordinstall::Failure;
using tolvane::swordinstall::InstallLibrary;

constexpr int kExitFailure = 2;
constexpr int kExitUsage = 64;

[[noreturn]] void usage(const std::string& problem) {
    tolvane::helper::printUsageAndExit(
        "tolvane-swordinstall",
        "[--memory-limit-mb N] [--cpu-limit-s N] [--file-limit-kb N] [--stall-s N] "
        "[--rate-window-s N] (--sources | "
        "--refresh-sources "
        "| --add-source NAME URL | --available SOURCE | --install MODULE --source SOURCE | "
        "--remove MODULE)",
        problem, kExitUsage);
}

// No file a repository sends is larger than this unless --file-limit-kb says otherwise: the
// largest file of a real module is some hundreds of MB, and a server that sends without end
// (or a decompression bomb) stops here instead of filling the disk.
constexpr unsigned long kDefaultFileLimitKb = 1024 * 1024; // 1 GiB

struct Options {
    tolvane::helper::Limits limits = [] {
        tolvane::helper::Limits l;
        l.fileLimitKb = kDefaultFileLimitKb;
        return l;
    }();
    unsigned long stallS = 30;  // nothing at all for this long: stalled
    unsigned long windowS = 30; // slower than 1 KB a second over this: stalled
    std::string command, first, second;
};

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        if (tolvane::helper::takeLimitOption(argc, argv, i, o.limits, usage))
            continue;
        const std::string arg = argv[i];
        auto value = [&] {
            return std::string(tolvane::helper::optionValue(argc, argv, i, usage));
        };
        if (arg == "--stall-s") {
            o.stallS = tolvane::helper::positiveNumber(value().c_str(), "--stall-s", usage);
        } else if (arg == "--rate-window-s") {
            o.windowS = tolvane::helper::positiveNumber(value().c_str(), "--rate-window-s", usage);
        } else if (arg == "--source") {
            o.second = value();
        } else if (arg == "--sources" || arg == "--refresh-sources") {
            o.command = arg;
        } else if (arg == "--available" || arg == "--install" || arg == "--remove" ||
                   arg == "--add-source") {
            o.command = arg;
            o.first = value();
            if (arg == "--add-source")
                o.second = value();
        } else {
            usage("unknown argument " + arg);
        }
    }
    if (o.command.empty())
        usage("no command given");
    if (o.command == "--install" && o.second.empty())
        usage("--install needs --source SOURCE");
    return o;
}

// Tabs and line breaks inside a field would break the record.
std::string field(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return text;
}

void run(const Options& o) {
    InstallLibrary library(long(o.windowS), long(o.stallS));
    if (o.command == "--refresh-sources")
        library.refreshSources();
    if (o.command == "--add-source")
        library.addSource(o.first, o.second);
    if (o.command == "--sources" || o.command == "--refresh-sources" || o.command == "--add-source")
        for (const auto& s : library.sources())
            std::printf("S\t%s\t%s\t%s\t%s\n", field(s.caption).c_str(), field(s.type).c_str(),
                        field(s.host).c_str(), field(s.directory).c_str());
    if (o.command == "--available")
        for (const auto& a : library.available(o.first))
            std::printf("A\t%s\t%s\t%s\t%s\t%s\t%s\n", field(a.name).c_str(),
                        field(a.description).c_str(), field(a.version).c_str(),
                        field(a.size).c_str(), field(a.licence).c_str(), a.status.c_str());
    if (o.command == "--install")
        std::printf("I\t%s\n", field(library.install(o.first, o.second)).c_str());
    if (o.command == "--remove")
        library.remove(o.first);
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    tolvane::helper::applyLimits(options.limits);
    // Stopped with its caller (a cancel stops tolvane-import): the staging folder it leaves is
    // removed by the next run, and ~/.sword is untouched.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    try {
        run(options);
    } catch (const Failure& f) {
        std::printf("X\t%s\n", field(f.message).c_str());
        std::fflush(stdout);
        return kExitFailure;
    }
    std::fflush(stdout);
    return 0;
}
