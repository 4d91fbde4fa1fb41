#include "getdictionaries/ImportRun.h"

#include "platform/HelperProcess.h"

namespace tolvane::getdictionaries {

ImportRun::ImportRun(QObject* parent) : QObject(parent) {
    connect(&m_process, &QProcess::readyReadStandardOutput, this, [this] { takeOutput(false); });
    connect(&m_process, &QProcess::readyReadStandardError, this,
            [this] { m_errors += m_process.readAllStandardError(); });
    connect(&m_process, &QProcess::finished, this,
            [this](int exitCode, QProcess::ExitStatus status) {
                takeOutput(true);
                m_errors += m_process.readAllStandardError();
                Q_EMIT finished(status == QProcess::NormalExit && !m_cancelled ? exitCode : -1);
            });
}

ImportRun::~ImportRun() {
    // The window that owns this run is being destroyed: its end is no longer reported.
    disconnect(&m_process, nullptr, this, nullptr);
    if (isRunning()) {
        m_process.terminate(); // the tool removes its unfinished file on SIGTERM
        if (!m_process.waitForFinished(3000))
            m_process.kill();
    }
}

QString ImportRun::toolPath() {
    return platform::findHelper(QStringLiteral("tolvane-import"), "TOLVANE_IMPORT",
                                "TOLVANE_BIN_DIR");
}

bool ImportRun::start(const QStringList& arguments) {
    if (isRunning()) {
        failed = QStringLiteral("another operation is still running");
        return false;
    }
    const QString tool = toolPath();
    if (tool.isEmpty()) {
        failed = QStringLiteral("tolvane-import was not found beside the program or on the PATH");
        return false;
    }
    m_output.clear();
    m_pending.clear();
    m_errors.clear();
    m_cancelled = false;
    m_process.start(tool, arguments);
    if (!m_process.waitForStarted()) {
        failed = QStringLiteral("%1 could not be started: %2").arg(tool, m_process.errorString());
        return false;
    }
    return true;
}

void ImportRun::cancel() {
    if (!isRunning())
        return;
    m_cancelled = true;
    m_process.terminate();
}

void ImportRun::takeOutput(bool ended) {
    m_pending += m_process.readAllStandardOutput();
    static const QByteArray kProgress = QByteArrayLiteral("progress\t");
    qsizetype start = 0, end;
    while ((end = m_pending.indexOf('\n', start)) >= 0) {
        const QByteArrayView line = QByteArrayView(m_pending).sliced(start, end - start);
        if (line.startsWith(kProgress)) {
            const QList<QByteArray> fields = line.toByteArray().split('\t');
            Q_EMIT progress(fields.value(1).toLongLong(), fields.value(2).toLongLong());
        } else if (line == "adding") {
            Q_EMIT adding();
        } else {
            m_output += line;
            m_output += '\n';
        }
        start = end + 1;
    }
    m_pending.remove(0, start);
    if (ended)
        m_output += std::exchange(m_pending, {});
}

QString ImportRun::problem() const {
    const QStringList lines = QString::fromUtf8(m_errors).split(u'\n', Qt::SkipEmptyParts);
    // The tool's own message, without its name; the engine's diagnostics for a developer
    // (the statement that failed) come before it and are not for the status line.
    const QString own = QStringLiteral("tolvane-import: ");
    for (const QString& line : lines)
        if (line.startsWith(own))
            return line.mid(own.size()).trimmed();
    return lines.isEmpty() ? QString() : lines.first().trimmed();
}

} // namespace tolvane::getdictionaries
