// tolvane-jetread: reads a legacy Jet (Access 97 / 2000) database with libmdb and writes its
// tables to stdout in the stream format of engine/legacy/JetProtocol.h.
//
// The program never calls libmdb itself: the library may loop forever, grow without bound or
// crash on a damaged file, so it runs here, in a process of its own with limits on memory
// and processor time, and the program only trusts a complete, well-formed stream.
//
// Usage: tolvane-jetread [--codepage NAME] [--memory-limit-mb N] [--cpu-limit-s N]
//                        [--table NAME]... FILE

#include "JetDump.h"
#include "LibraryNoise.h"
#include "StreamWriter.h"
#include "engine/legacy/JetProtocol.h"
#include "platform/HelperLimits.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iconv.h>
#include <string>

namespace {

namespace js = tolvane::engine::jetstream;

struct Options {
    std::string codepage = "CP1252";
    tolvane::helper::Limits limits;
    tolvane::jetread::DumpRequest request;
};

[[noreturn]] void usage(const std::string& problem) {
    tolvane::helper::printUsageAndExit("tolvane-jetread",
                                       "[--codepage NAME] [--memory-limit-mb N] [--cpu-limit-s N] "
                                       "[--table NAME]... FILE",
                                       problem, js::kExitUsage);
}

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        if (tolvane::helper::takeLimitOption(argc, argv, i, o.limits, usage))
            continue;
        const std::string arg = argv[i];
        auto value = [&] { return tolvane::helper::optionValue(argc, argv, i, usage); };
        if (arg == "--codepage")
            o.codepage = value();
        else if (arg == "--table")
            o.request.tables.emplace_back(value());
        else if (arg.size() > 1 && arg[0] == '-')
            usage("unknown option " + arg);
        else if (o.request.path.empty())
            o.request.path = arg;
        else
            usage("more than one file given");
    }
    if (o.request.path.empty())
        usage("no file given");
    return o;
}

// "1252" -> "CP1252"; anything else is taken as an iconv name ("GBK", "ISO-8859-7").
std::string iconvName(const std::string& codepage) {
    bool digits = !codepage.empty();
    for (char c : codepage)
        digits = digits && std::isdigit(static_cast<unsigned char>(c));
    return digits ? "CP" + codepage : codepage;
}

bool iconvKnows(const std::string& name) {
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(cd);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);

    tolvane::helper::applyLimits(options.limits);

    tolvane::jetread::LibraryNoise noise;
    if (!noise.capture()) {
        std::perror("tolvane-jetread: cannot set up its output");
        return 1;
    }
    tolvane::jetread::StreamWriter out(noise.dataFd());
    out.magic();

    // Jet 3 files do not record their code page; libmdb takes it from this variable when the
    // file is opened. It is always set, so the caller's environment cannot change the text.
    const std::string charset = iconvName(options.codepage);
    if (!iconvKnows(charset)) {
        out.failure("unknown code page '" + options.codepage + "'");
        return js::kExitReportedFailure;
    }
    setenv("MDB_JET3_CHARSET", charset.c_str(), 1);
    // The library's other variables: the charset it converts text to (the stream is UTF-8),
    // debug output, and a search path for relative file names. None may come from outside.
    setenv("MDBICONV", "UTF-8", 1);
    unsetenv("MDBOPTS");
    unsetenv("MDBPATH");

    return tolvane::jetread::dumpDatabase(options.request, out, noise);
}
