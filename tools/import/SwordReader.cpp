#include "import/SwordReader.h"

#include "import/SwordProtocol.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cstring>

namespace tolvane::import {

namespace ss = swordstream;

namespace {

const QString kHelperName = QStringLiteral("tolvane-swordread");
// Far beyond any dictionary module (the largest are a few tens of megabytes of text); more
// is a helper gone wrong.
constexpr qint64 kOutputLimit = 1ll << 30;

QString executableIn(const QString& folder) {
    if (folder.isEmpty())
        return {};
    const QFileInfo candidate(QDir(folder).filePath(kHelperName));
    return candidate.isFile() && candidate.isExecutable() ? candidate.absoluteFilePath()
                                                          : QString();
}

QString describeModule(const QString& name) {
    return name.isEmpty() ? QStringLiteral("SWORD") : QStringLiteral("SWORD module %1").arg(name);
}

[[noreturn]] void fail(const QString& module, const QString& message) {
    throw ImportError(describeModule(module), 0, message);
}

// Runs the helper and returns its whole output, or throws.
QByteArray runHelper(const QStringList& request, const QString& module,
                     const SwordReadOptions& options) {
    const QString helper = options.helperPath.isEmpty() ? swordReaderPath() : options.helperPath;
    if (helper.isEmpty())
        fail(module, QStringLiteral("the reading helper %1 is not installed beside the program")
                         .arg(kHelperName));
    QStringList args{QStringLiteral("--memory-limit-mb"), QString::number(options.memoryLimitMb),
                     QStringLiteral("--cpu-limit-s"),
                     QString::number(options.timeoutMs / 1000 + 1)};
    args << request;

    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(helper, args, QIODevice::ReadOnly);
    if (!process.waitForStarted(10'000))
        fail(module, QStringLiteral("the reading helper %1 could not be started (%2)")
                         .arg(helper, process.errorString()));

    const QDeadlineTimer deadline(options.timeoutMs);
    QByteArray stream;
    auto stop = [&process] {
        process.kill();
        process.waitForFinished(5'000);
    };
    for (;;) {
        const int slice = int(qBound(qint64(1), deadline.remainingTime(), qint64(200)));
        const bool gotData = process.waitForReadyRead(slice);
        stream.append(process.readAllStandardOutput());
        if (stream.size() > kOutputLimit) {
            stop();
            fail(module, QStringLiteral("libsword produced more text than any dictionary holds; "
                                        "the module is probably damaged"));
        }
        if (!gotData && process.state() == QProcess::NotRunning)
            break;
        if (deadline.hasExpired()) {
            stop();
            fail(module, QStringLiteral("reading it did not finish within %1 seconds; the module "
                                        "is probably damaged")
                             .arg(double(options.timeoutMs) / 1000.0));
        }
    }
    stream.append(process.readAllStandardOutput());
    if (process.exitStatus() == QProcess::CrashExit)
        fail(module, module.isEmpty()
                         ? QStringLiteral("libsword stopped abnormally while listing the installed "
                                          "modules; one of them is probably damaged")
                         : QStringLiteral("libsword stopped abnormally while reading it; the "
                                          "module is probably damaged"));
    if (process.exitCode() == ss::kExitUsage)
        fail(module, QStringLiteral("the reading helper %1 refused its arguments").arg(helper));
    return stream;
}

// Reads the records of a helper's answer; every way it can be malformed throws.
class StreamReader {
public:
    StreamReader(const QByteArray& stream, const QString& module) : m_in(stream), m_module(module) {
        m_in.setVersion(QDataStream::Qt_6_0);
        char magic[sizeof ss::kMagic] = {};
        if (m_in.readRawData(magic, sizeof magic) != int(sizeof magic) ||
            std::memcmp(magic, ss::kMagic, sizeof magic) != 0)
            malformed(QStringLiteral("no answer"));
    }

    quint8 tag() {
        quint8 t = 0;
        m_in >> t;
        check();
        return t;
    }
    QString text() { return QString::fromUtf8(bytes()); }
    QByteArray bytes() {
        QByteArray b;
        m_in >> b;
        check();
        return b;
    }
    qint64 number() {
        qint64 n = 0;
        m_in >> n;
        check();
        return n;
    }
    SwordModule module() {
        SwordModule m;
        m.name = text();
        m.type = text();
        m.description = text();
        m.folder = text();
        m.entries = number();
        return m;
    }
    bool atEnd() const { return m_in.atEnd(); }
    [[noreturn]] void malformed(const QString& why) {
        fail(m_module, QStringLiteral("the reading helper's answer is malformed (%1); the module "
                                      "is probably damaged")
                           .arg(why));
    }

private:
    void check() {
        if (m_in.status() != QDataStream::Ok)
            malformed(QStringLiteral("it ends early"));
    }
    QDataStream m_in;
    QString m_module;
};

[[noreturn]] void reportFailure(StreamReader& in, const QString& module,
                                const QStringList& searched) {
    const quint8 kind = quint8(in.tag());
    const QString message = in.text();
    const QString detail = in.text();
    switch (kind) {
    case ss::NotFound:
        fail(module, QStringLiteral("no such module is installed; searched %1")
                         .arg(searched.isEmpty() ? QStringLiteral("no folder (libsword found no "
                                                                  "module library)")
                                                 : searched.join(QStringLiteral(", "))));
    case ss::NotDictionary:
        fail(module, QStringLiteral("is not a dictionary but of the type \"%1\"; only dictionary "
                                    "modules (Lexicons / Dictionaries) can be imported")
                         .arg(detail));
    default:
        fail(module, QStringLiteral("the module is damaged: %1%2")
                         .arg(message, detail.isEmpty()
                                           ? QString()
                                           : QStringLiteral(" (at the entry '%1')").arg(detail)));
    }
}

void expectEnd(StreamReader& in, qint64 count, qint64 expected) {
    if (count != expected)
        in.malformed(QStringLiteral("%1 records where it announces %2").arg(expected).arg(count));
    if (!in.atEnd())
        in.malformed(QStringLiteral("data after its end"));
}

} // namespace

QString swordReaderPath() {
    const QString explicitPath = qEnvironmentVariable("TOLVANE_SWORDREAD");
    if (!explicitPath.isEmpty())
        return explicitPath;
    if (QCoreApplication::instance()) {
        const QString programFolder = QCoreApplication::applicationDirPath();
        if (QString p = executableIn(programFolder); !p.isEmpty())
            return p;
        // Installed, the helper is in <prefix>/libexec/tolvane, as the Jet helper is.
        if (QString p =
                executableIn(programFolder + QStringLiteral("/" TOLVANE_HELPER_DIR_FROM_BIN));
            !p.isEmpty())
            return p;
    }
    if (QString p = executableIn(QStringLiteral(TOLVANE_HELPER_DIR)); !p.isEmpty())
        return p;
    if (QString p = executableIn(qEnvironmentVariable("TOLVANE_BIN_DIR")); !p.isEmpty())
        return p;
    return QStandardPaths::findExecutable(kHelperName);
}

SwordListing listSwordDictionaries(const SwordReadOptions& options) {
    const QByteArray stream = runHelper({QStringLiteral("--list")}, {}, options);
    StreamReader in(stream, {});
    SwordListing listing;
    for (;;) {
        switch (in.tag()) {
        case ss::Searched:
            listing.searched << in.text();
            break;
        case ss::Module:
            listing.dictionaries.push_back(in.module());
            break;
        case ss::Failure:
            reportFailure(in, {}, listing.searched);
        case ss::End:
            expectEnd(in, in.number(), qint64(listing.dictionaries.size()));
            return listing;
        default:
            in.malformed(QStringLiteral("an unknown record"));
        }
    }
}

SwordContent readSwordDictionary(const QString& name, const SwordReadOptions& options) {
    if (name.isEmpty() || name.startsWith(u'-'))
        fail(name, QStringLiteral("is not a module name"));
    const QByteArray stream = runHelper({QStringLiteral("--module"), name}, name, options);
    StreamReader in(stream, name);
    SwordContent content;
    QStringList searched;
    bool haveModule = false;
    for (;;) {
        switch (in.tag()) {
        case ss::Searched:
            searched << in.text();
            break;
        case ss::Module:
            content.module = in.module();
            haveModule = true;
            content.entries.reserve(
                std::size_t(qBound(qint64(0), content.module.entries, qint64(1) << 20)));
            break;
        case ss::Entry:
            if (!haveModule)
                in.malformed(QStringLiteral("an entry before its module"));
            content.entries.push_back({in.bytes(), in.bytes()});
            break;
        case ss::Failure:
            reportFailure(in, name, searched);
        case ss::End:
            if (!haveModule)
                in.malformed(QStringLiteral("no module"));
            expectEnd(in, in.number(), qint64(content.entries.size()));
            if (qint64(content.entries.size()) != content.module.entries)
                in.malformed(QStringLiteral("%1 entries where the module holds %2")
                                 .arg(content.entries.size())
                                 .arg(content.module.entries));
            return content;
        default:
            in.malformed(QStringLiteral("an unknown record"));
        }
    }
}

} // namespace tolvane::import
