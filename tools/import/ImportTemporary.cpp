#include "import/ImportTemporary.h"

#include "import/CsvImport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvane::import {

namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The process's start time in clock ticks since boot (field 22 of /proc/PID/stat), which
// tells a live process from a later one that got the same id; empty when there is none.
QString startTimeOf(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.readAll();
    // The command name (field 2) may hold spaces and parentheses: count from its end.
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return {};
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    return fields.size() > 19 ? QString::fromLatin1(fields[19]) : QString();
}

// --- Removal on SIGINT and SIGTERM. The handler may only use async-signal-safe calls, so
// the path is kept ready as bytes.
std::array<char, 4096> g_pending{};
std::atomic<bool> g_armed{false};
struct sigaction g_previousInt {};
struct sigaction g_previousTerm {};

extern "C" void removeAndDie(int signal) {
    if (g_armed.exchange(false))
        ::unlink(g_pending.data());
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void arm(const QString& path) {
    const QByteArray bytes = QFile::encodeName(path);
    if (bytes.size() >= qsizetype(g_pending.size()))
        return; // too long to keep; the next run removes it instead
    std::memcpy(g_pending.data(), bytes.constData(), size_t(bytes.size()) + 1);
    struct sigaction action {};
    action.sa_handler = removeAndDie;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    g_armed = true;
    ::sigaction(SIGINT, &action, &g_previousInt);
    ::sigaction(SIGTERM, &action, &g_previousTerm);
}

void disarm() {
    if (!g_armed.exchange(false))
        return;
    ::sigaction(SIGINT, &g_previousInt, nullptr);
    ::sigaction(SIGTERM, &g_previousTerm, nullptr);
}

QString prefixFor(const QString& output, const QString& kind) {
    return QStringLiteral(".") + QFileInfo(output).fileName() + QLatin1Char('.') + kind +
           QLatin1Char('-');
}

} // namespace

int ImportTemporary::removeStale(const QString& output, const QString& kind) {
    const QFileInfo info(output);
    const QDir folder = info.absoluteDir();
    const QString prefix = prefixFor(output, kind);
    // <pid>-<start time>-<six random characters>
    static const QRegularExpression owned(QStringLiteral("^(\\d+)-(\\d+)-[A-Za-z0-9]{6}$"));
    // Earlier versions of the tool named the file with the six random characters only. Whose
    // it is cannot be told then, so it goes once nothing has written to it for a day: a live
    // import writes to its file all the time.
    static const QRegularExpression unowned(QStringLiteral("^[A-Za-z0-9]{6}$"));
    const QDateTime dayAgo = QDateTime::currentDateTimeUtc().addDays(-1);
    int removed = 0;
    const QFileInfoList files = folder.entryInfoList({prefix + QLatin1Char('*')},
                                                     QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : files) {
        const QString suffix = file.fileName().mid(prefix.size());
        const QRegularExpressionMatch match = owned.match(suffix);
        if (match.hasMatch()) {
            const qint64 pid = match.captured(1).toLongLong();
            if (pid == ::getpid() || startTimeOf(pid) == match.captured(2))
                continue; // its import is still running
        } else if (!unowned.match(suffix).hasMatch() || file.lastModified().toUTC() > dayAgo) {
            continue; // not a name this tool makes, or possibly still being written
        }
        if (QFile::remove(file.filePath()))
            ++removed;
    }
    return removed;
}

ImportTemporary::ImportTemporary(const QString& output, const QString& kind) {
    removeStale(output, kind);
    const QString folder = QFileInfo(output).absolutePath();
    const QString name = prefixFor(output, kind) + QString::number(::getpid()) + QLatin1Char('-') +
                         startTimeOf(::getpid()) + QStringLiteral("-XXXXXX");
    QByteArray pattern = QFile::encodeName(QDir(folder).filePath(name));
    // SIGINT and SIGTERM wait while the file is made and the handler set up, so that there is
    // no moment at which the file exists and a stop would leave it behind.
    sigset_t stops;
    sigset_t previous;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    ::sigprocmask(SIG_BLOCK, &stops, &previous);
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    const int made = errno;
    if (fd >= 0) {
        ::close(fd);
        m_path = QFile::decodeName(pattern);
        arm(m_path);
    }
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    if (fd < 0) {
        errno = made;
        throw ImportError(
            output, 0,
            QStringLiteral("cannot create a temporary file in %1: %2").arg(folder, systemError()));
    }
}

ImportTemporary::~ImportTemporary() {
    disarm();
    if (!m_placed)
        ::unlink(QFile::encodeName(m_path).constData());
}

void ImportTemporary::placed() {
    m_placed = true;
    disarm();
}

void syncFileToDisk(const QString& path, const QString& shownAs) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw ImportError(shownAs, 0,
                          QStringLiteral("cannot open the new file to write it to disk: ") +
                              systemError());
    if (::fsync(fd) != 0) {
        const bool full = errno == ENOSPC || errno == EDQUOT || errno == EFBIG;
        const QString why = systemError();
        ::close(fd);
        ImportError error(shownAs, 0,
                          QStringLiteral("writing the new file to disk failed: ") + why);
        if (full)
            error.markDiskFull();
        throw error;
    }
    if (::close(fd) != 0)
        throw ImportError(shownAs, 0,
                          QStringLiteral("writing the new file to disk failed: ") + systemError());
}

void syncFolderToDisk(const QString& folder, const QString& shownAs) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const QString why = systemError();
        if (fd >= 0)
            ::close(fd);
        throw ImportError(shownAs, 0,
                          QStringLiteral("the new file is in place, but writing the folder %1 "
                                         "to disk failed: %2")
                              .arg(folder, why))
            .markOutputReplaced();
    }
    ::close(fd);
}

} // namespace tolvane::import
