#include "platform/HelperProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tolvane::platform {

namespace {

QString executableIn(const QString& folder, const QString& name) {
    if (folder.isEmpty())
        return {};
    const QFileInfo candidate(QDir(folder).filePath(name));
    return candidate.isFile() && candidate.isExecutable() ? candidate.absoluteFilePath()
                                                          : QString();
}

} // namespace

QString findHelper(const QString& name, const char* pathVariable, const char* folderVariable) {
    const QString explicitPath = qEnvironmentVariable(pathVariable);
    if (!explicitPath.isEmpty())
        return explicitPath;
    if (QCoreApplication::instance()) {
        const QString programFolder = QCoreApplication::applicationDirPath();
        if (QString p = executableIn(programFolder, name); !p.isEmpty())
            return p;
        if (QString p =
                executableIn(programFolder + QStringLiteral("/" TOLVANE_HELPER_DIR_FROM_BIN), name);
            !p.isEmpty())
            return p;
    }
    if (QString p = executableIn(QStringLiteral(TOLVANE_HELPER_DIR), name); !p.isEmpty())
        return p;
    if (QString p = executableIn(qEnvironmentVariable(folderVariable), name); !p.isEmpty())
        return p;
    return QStandardPaths::findExecutable(name);
}

HelperProcess::HelperProcess(const QString& program, const QStringList& arguments,
                             const HelperLimits& limits)
    : m_limits(limits) {
    QStringList args{QStringLiteral("--memory-limit-mb"), QString::number(limits.memoryLimitMb),
                     QStringLiteral("--cpu-limit-s"), QString::number(limits.timeoutMs / 1000 + 1)};
    if (limits.fileSizeLimitKb > 0)
        args << QStringLiteral("--file-limit-kb") << QString::number(limits.fileSizeLimitKb);
    args << arguments;
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(program, args, QIODevice::ReadOnly);
    if (!m_process.waitForStarted(10'000))
        throw Failure{Fault::NotStarted, m_process.errorString()};
    m_deadline = QDeadlineTimer(limits.timeoutMs);
}

HelperProcess::~HelperProcess() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5'000);
    }
}

void HelperProcess::stop(Fault fault) {
    m_process.kill();
    m_process.waitForFinished(5'000);
    m_ended = true;
    throw Failure{fault, {}};
}

bool HelperProcess::read(QByteArray& chunk) {
    chunk.clear();
    if (m_ended)
        return false;
    // Short waits, so that the wall clock is looked at even while nothing comes.
    const int slice = int(qBound(qint64(1), m_deadline.remainingTime(), qint64(200)));
    const bool gotData = m_process.waitForReadyRead(slice);
    chunk = m_process.readAllStandardOutput();
    const bool ended = !gotData && m_process.state() == QProcess::NotRunning;
    if (ended)
        chunk += m_process.readAllStandardOutput();
    m_received += chunk.size();
    if (m_received > m_limits.outputLimit)
        stop(Fault::TooMuchOutput);
    if (ended)
        m_ended = true;
    else if (m_deadline.hasExpired())
        stop(Fault::TimedOut);
    return true;
}

QByteArray HelperProcess::readAll() {
    QByteArray output;
    QByteArray chunk;
    while (read(chunk))
        output += chunk;
    if (stoppedAbnormally())
        throw Failure{Fault::StoppedAbnormally, {}};
    return output;
}

} // namespace tolvane::platform
