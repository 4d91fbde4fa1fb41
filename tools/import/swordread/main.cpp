// tolvane-swordread: finds installed SWORD modules with libsword and writes what the import
// tool asks for (the list of modules, or every entry of one dictionary rendered to plain
// text) to stdout in the stream format of import/SwordProtocol.h.
//
// libsword crashes on some damaged modules and loops forever on others (a truncated or
// missing data file), so the import tool never calls it itself: it runs here, in a process
// of its own with limits on memory and processor time, and the tool only trusts a complete,
// well-formed stream.

#include "ModuleFiles.h"
#include "SwordLibrary.h"
#include "VerseMode.h"
#include "import/SwordProtocol.h"
#include "platform/HelperLimits.h"

#include <swmodule.h>

#include <QByteArray>
#include <QDataStream>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

namespace ss = tolvane::import::swordstream;
using tolvane::swordread::ModuleInfo;
using tolvane::swordread::SwordLibrary;

struct Options {
    tolvane::helper::Limits limits;
    bool list = false;
    bool verses = false; // the long-lived verse mode (references/VerseProtocol.h)
    std::string module;
};

[[noreturn]] void usage(const std::string& problem) {
    tolvane::helper::printUsageAndExit(
        "tolvane-swordread",
        "[--memory-limit-mb N] [--cpu-limit-s N] (--list | --module NAME | --verses)", problem,
        ss::kExitUsage);
}

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        if (tolvane::helper::takeLimitOption(argc, argv, i, o.limits, usage))
            continue;
        const std::string arg = argv[i];
        auto value = [&] { return tolvane::helper::optionValue(argc, argv, i, usage); };
        if (arg == "--list")
            o.list = true;
        else if (arg == "--verses")
            o.verses = true;
        else if (arg == "--module")
            o.module = value();
        else
            usage("unknown argument " + arg);
    }
    if (int(o.list) + int(!o.module.empty()) + int(o.verses) != 1)
        usage("give one of --list, --module NAME and --verses");
    return o;
}

// The data stream gets the process's stdout; descriptor 1 then points at stderr, so that
// anything the library prints cannot mix with the data.
int takeStdout() {
    const int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (fd < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return -1;
    return fd;
}

QByteArray bytes(const std::string& text) {
    return QByteArray(text.data(), qsizetype(text.size()));
}

class Writer {
public:
    explicit Writer(QFile& file) : m_stream(&file) {
        m_stream.setVersion(QDataStream::Qt_6_0);
        m_stream.writeRawData(ss::kMagic, sizeof ss::kMagic);
    }
    void searched(const std::string& folder) { m_stream << quint8(ss::Searched) << bytes(folder); }
    void module(const ModuleInfo& m) {
        m_stream << quint8(ss::Module) << bytes(m.name) << bytes(m.type) << bytes(m.description)
                 << bytes(m.folder) << qint64(m.entries) << bytes(m.version) << bytes(m.licence)
                 << qint64(m.size);
    }
    void entry(const char* key, const std::string& text) {
        m_stream << quint8(ss::Entry) << QByteArray(key ? key : "") << bytes(text);
    }
    int failure(ss::FailureKind kind, const std::string& message, const std::string& detail = {}) {
        m_stream << quint8(ss::Failure) << quint8(kind) << bytes(message) << bytes(detail);
        return ss::kExitReportedFailure;
    }
    int end(qint64 count) {
        m_stream << quint8(ss::End) << count;
        return m_stream.status() == QDataStream::Ok ? 0 : 1;
    }

private:
    QDataStream m_stream;
};

int list(SwordLibrary& library, Writer& out) {
    for (const std::string& folder : library.searchedFolders())
        out.searched(folder);
    qint64 count = 0;
    for (const ModuleInfo& module : library.modules())
        if (library.isDictionary(module)) {
            out.module(module);
            ++count;
        }
    return out.end(count);
}

std::string configEntry(sword::SWModule* module, const char* key) {
    const char* value = module->getConfigEntry(key);
    return value ? value : "";
}

// The module's data files without their suffix: its library folder, then its DataPath.
std::string dataFiles(sword::SWModule* module) {
    const QString path = QFile::decodeName(configEntry(module, "PrefixPath").c_str()) +
                         QLatin1Char('/') +
                         QFile::decodeName(configEntry(module, "DataPath").c_str());
    return QFile::encodeName(QDir::cleanPath(path)).toStdString();
}

int read(SwordLibrary& library, Writer& out, const std::string& name) {
    sword::SWModule* module = library.module(name);
    if (!module) {
        for (const std::string& folder : library.searchedFolders())
            out.searched(folder);
        return out.failure(ss::NotFound, "no module of that name");
    }
    const ModuleInfo info = library.describe(module);
    if (!library.isDictionary(info))
        return out.failure(ss::NotDictionary, "not a dictionary", info.type);
    out.module(info);
    if (info.entries <= 0)
        return out.failure(ss::Damaged, "its index holds no entries (missing or empty)");
    if (const std::string problem = tolvane::swordread::checkDictionaryFiles(
            configEntry(module, "ModDrv"), dataFiles(module));
        !problem.empty())
        return out.failure(ss::Damaged, problem);

    // The walk stops at the module's own entry count: on a damaged data file libsword's
    // step to the next entry can go round for ever.
    long read = 0;
    library.takeError();
    for (*module = sword::TOP; !module->popError(); (*module)++) {
        if (read == info.entries)
            return out.failure(ss::Damaged, "it yields more entries than its index holds (" +
                                                std::to_string(info.entries) + ")");
        const std::string key = module->getKeyText();
        const std::string text = library.renderPlain(module);
        if (const std::string error = library.takeError(); !error.empty())
            return out.failure(ss::Damaged, "libsword reports: " + error, key);
        out.entry(key.c_str(), text);
        ++read;
    }
    if (read != info.entries)
        return out.failure(ss::Damaged, "only " + std::to_string(read) + " of its " +
                                            std::to_string(info.entries) +
                                            " entries could be read");
    return out.end(read);
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);

    tolvane::helper::applyLimits(options.limits);

    const int dataFd = takeStdout();
    QFile data;
    if (dataFd < 0 || !data.open(dataFd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        std::perror("tolvane-swordread: cannot set up its output");
        return 1;
    }
    SwordLibrary library;
    if (options.verses) {
        std::FILE* out = ::fdopen(::dup(dataFd), "w");
        return out ? tolvane::swordread::serveVerses(library, stdin, out) : 1;
    }
    Writer out(data);
    const int status = options.list ? list(library, out) : read(library, out, options.module);
    data.flush();
    return status;
}
