#include "engine/legacy/JetLoader.h"

#include "engine/EngineError.h"
#include "engine/legacy/JetProtocol.h"
#include "engine/legacy/JetStreamParser.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace tolvane::engine::legacy {

namespace {

const QString kHelperName = QStringLiteral("tolvane-jetread");

[[noreturn]] void cannotRead(const QString& path, const QString& cause) {
    throw EngineError(err::UnrecognizedFormat,
                      QStringLiteral("Cannot read the legacy database '%1': %2.").arg(path, cause));
}

// The stream is text plus a few bytes per value: Jet 4 stores most text one byte per
// character, which can grow to two or three bytes of UTF-8, and binary values become hex.
// Anything beyond this is a helper gone wrong, not a table.
qint64 outputLimit(qint64 fileSize) {
    const qint64 limit = qMax<qint64>(64ll << 20, fileSize * 16);
    return qMin<qint64>(limit, 1ll << 31);
}

QString executableIn(const QString& folder) {
    if (folder.isEmpty())
        return {};
    const QFileInfo candidate(QDir(folder).filePath(kHelperName));
    return candidate.isFile() && candidate.isExecutable() ? candidate.absoluteFilePath()
                                                          : QString();
}

} // namespace

QString jetReaderPath() {
    const QString explicitPath = qEnvironmentVariable("TOLVANE_JETREAD");
    if (!explicitPath.isEmpty())
        return explicitPath;
    if (QCoreApplication::instance()) {
        const QString programFolder = QCoreApplication::applicationDirPath();
        if (QString p = executableIn(programFolder); !p.isEmpty())
            return p;
        // An installed program keeps its helper in <prefix>/libexec/tolvane; the relative
        // path keeps a copy installed under another prefix working.
        if (QString p =
                executableIn(programFolder + QStringLiteral("/" TOLVANE_HELPER_DIR_FROM_BIN));
            !p.isEmpty())
            return p;
    }
    if (QString p = executableIn(QStringLiteral(TOLVANE_HELPER_DIR)); !p.isEmpty())
        return p;
    if (QString p = executableIn(qEnvironmentVariable("TOLVANE_APP_DIR")); !p.isEmpty())
        return p;
    return QStandardPaths::findExecutable(kHelperName);
}

LegacyDatabase loadJetDatabase(const QString& path, const JetLoadOptions& options) {
    const QFileInfo file(path);
    if (!file.exists())
        throw EngineError(err::FileNotFound, QStringLiteral("Could not find file '%1'.").arg(path));
    if (!file.isFile() || !file.isReadable())
        cannotRead(path, QStringLiteral("it is not a readable file"));

    const QString helper = options.helperPath.isEmpty() ? jetReaderPath() : options.helperPath;
    if (helper.isEmpty())
        cannotRead(path, QStringLiteral("the reading helper %1 is installed neither beside the "
                                        "program nor in %2")
                             .arg(kHelperName, QStringLiteral(TOLVANE_HELPER_DIR)));

    QStringList args;
    if (!options.codepage.isEmpty())
        args << QStringLiteral("--codepage") << options.codepage;
    args << QStringLiteral("--memory-limit-mb") << QString::number(options.memoryLimitMb);
    // Processor time is limited too, as a second guard should the wall clock below fail.
    const qint64 timeoutMs =
        options.timeoutMs > 0 ? options.timeoutMs : 10'000 + file.size() / 1'000;
    args << QStringLiteral("--cpu-limit-s") << QString::number(timeoutMs / 1000 + 1);
    for (const QString& t : options.tables)
        args << QStringLiteral("--table") << t;
    // The file goes last and absolute, so a name starting with "-" cannot pass for an option.
    args << file.absoluteFilePath();

    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(helper, args, QIODevice::ReadOnly);
    if (!process.waitForStarted(10'000))
        cannotRead(path, QStringLiteral("the reading helper %1 could not be started (%2)")
                             .arg(helper, process.errorString()));

    const QDeadlineTimer deadline(timeoutMs);
    const qint64 limit = outputLimit(file.size());
    QByteArray stream;
    auto stop = [&process] {
        process.kill();
        process.waitForFinished(5'000);
    };
    for (;;) {
        const int slice = int(qBound(qint64(1), deadline.remainingTime(), qint64(200)));
        const bool gotData = process.waitForReadyRead(slice);
        stream.append(process.readAllStandardOutput());
        if (stream.size() > limit) {
            stop();
            cannotRead(path, QStringLiteral("the reading helper produced more output than the file "
                                            "can hold; the file is probably damaged"));
        }
        if (!gotData && process.state() == QProcess::NotRunning)
            break;
        if (deadline.hasExpired()) {
            stop();
            cannotRead(path, QStringLiteral("reading it did not finish within %1 seconds; the file "
                                            "is probably damaged")
                                 .arg(double(timeoutMs) / 1000.0));
        }
    }
    stream.append(process.readAllStandardOutput());

    if (process.exitStatus() == QProcess::CrashExit)
        cannotRead(path, QStringLiteral("the reading helper stopped abnormally; the file is "
                                        "probably damaged"));

    ParsedJetStream parsed;
    try {
        parsed = parseJetStream(stream);
    } catch (const JetStreamError& e) {
        cannotRead(path,
                   QStringLiteral("the reading helper's answer is malformed (%1)").arg(e.what()));
    }
    if (parsed.failure)
        cannotRead(path, *parsed.failure);
    if (process.exitCode() != 0 || !parsed.complete)
        cannotRead(path, QStringLiteral("the reading helper ended (status %1) before it had read "
                                        "the whole file")
                             .arg(process.exitCode()));

    parsed.database.path = path;
    return std::move(parsed.database);
}

} // namespace tolvane::engine::legacy
