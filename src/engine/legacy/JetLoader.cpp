#include "engine/legacy/JetLoader.h"

#include "engine/EngineError.h"
#include "engine/legacy/JetProtocol.h"
#include "engine/legacy/JetStreamParser.h"
#include "platform/HelperProcess.h"

#include <QFileInfo>

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

} // namespace

QString jetReaderPath() {
    return platform::findHelper(kHelperName, "TOLVANE_JETREAD", "TOLVANE_APP_DIR");
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
    const qint64 timeoutMs =
        options.timeoutMs > 0 ? options.timeoutMs : 10'000 + file.size() / 1'000;
    for (const QString& t : options.tables)
        args << QStringLiteral("--table") << t;
    // The file goes last and absolute, so a name starting with "-" cannot pass for an option.
    args << file.absoluteFilePath();

    using Helper = platform::HelperProcess;
    QByteArray stream;
    int exitCode = 0;
    try {
        Helper process(helper, args, {timeoutMs, options.memoryLimitMb, outputLimit(file.size())});
        stream = process.readAll();
        exitCode = process.exitCode();
    } catch (const Helper::Failure& failure) {
        switch (failure.fault) {
        case Helper::Fault::NotStarted:
            cannotRead(path, QStringLiteral("the reading helper %1 could not be started (%2)")
                                 .arg(helper, failure.detail));
        case Helper::Fault::TooMuchOutput:
            cannotRead(path, QStringLiteral("the reading helper produced more output than the "
                                            "file can hold; the file is probably damaged"));
        case Helper::Fault::TimedOut:
            cannotRead(path, QStringLiteral("reading it did not finish within %1 seconds; the "
                                            "file is probably damaged")
                                 .arg(double(timeoutMs) / 1000.0));
        case Helper::Fault::StoppedAbnormally:
            cannotRead(path, QStringLiteral("the reading helper stopped abnormally; the file is "
                                            "probably damaged"));
        }
    }

    ParsedJetStream parsed;
    try {
        parsed = parseJetStream(stream);
    } catch (const JetStreamError& e) {
        cannotRead(path,
                   QStringLiteral("the reading helper's answer is malformed (%1)").arg(e.what()));
    }
    if (parsed.failure)
        cannotRead(path, *parsed.failure);
    if (exitCode != 0 || !parsed.complete)
        cannotRead(path, QStringLiteral("the reading helper ended (status %1) before it had read "
                                        "the whole file")
                             .arg(exitCode));

    parsed.database.path = path;
    return std::move(parsed.database);
}

} // namespace tolvane::engine::legacy
