#include "import/SwordInstall.h"

#include "platform/HelperProcess.h"

#include <QElapsedTimer>

namespace tolvane::import {

namespace {

struct HelperAnswer {
    std::vector<QStringList> records; // each line's fields, the tag first
};

// The helper gives a silent transfer up itself after the stall time; its caller waits this
// much longer before it gives the helper up.
int helperGraceMs(int stallMs) {
    return std::max(2000, stallMs / 2);
}

QString capitalised(QString text) {
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

QString namedSource(const QString& about) {
    return about.isEmpty() ? QStringLiteral("the repositories") : about;
}

QString repository(const QString& caption) {
    return QStringLiteral("the repository \"%1\"").arg(caption);
}

// Runs the helper; `about` names what it does, and the repository, for the messages about
// stalls and stops ("the download of Topics from the repository \"CrossWire\"").
HelperAnswer runHelper(const QStringList& arguments, const QString& about,
                       const SwordInstallOptions& options) {
    const QString helper = options.helperPath.isEmpty() ? swordInstallerPath() : options.helperPath;
    if (helper.isEmpty())
        throw InstallError(QStringLiteral("the helper tolvane-swordinstall was not found beside "
                                          "the program, in libexec/tolvane or on the PATH"));
    platform::HelperLimits limits;
    limits.timeoutMs = options.timeoutMs;
    limits.outputLimit = 64ll << 20;
    limits.fileSizeLimitKb = options.fileSizeLimitKb;
    QStringList all{
        QStringLiteral("--stall-s"), QString::number(std::max(1, options.stallMs / 1000)),
        QStringLiteral("--rate-window-s"), QString::number(std::max(1, options.rateWindowS))};
    all << arguments;
    HelperAnswer answer;
    try {
        platform::HelperProcess process(helper, all, limits);
        QByteArray pending, chunk;
        QElapsedTimer stalled;
        stalled.start();
        qint64 lastDone = -1;
        bool working = false; // on this computer, between transfers
        while (process.read(chunk)) {
            pending += chunk;
            qsizetype end;
            while ((end = pending.indexOf('\n')) >= 0) {
                const QStringList fields = QString::fromUtf8(pending.left(end)).split(u'\t');
                pending.remove(0, end + 1);
                if (fields.first() == u"W") {
                    working = true;
                    continue;
                }
                if (fields.first() != u"P") {
                    answer.records.push_back(fields);
                    stalled.restart();
                    continue;
                }
                // Progress lines come while a transfer runs; only new bytes count as moving.
                const qint64 done = fields.value(1).toLongLong();
                if (done != lastDone || working) {
                    lastDone = done;
                    working = false;
                    stalled.restart();
                }
                if (options.progress && !options.progress(done, fields.value(2).toLongLong()))
                    throw InstallError(QStringLiteral("cancelled; nothing was installed"));
            }
            // The helper gives a silent or slow transfer up itself, with what it knows; this is
            // for a helper that hangs on the network, given a little longer.
            if (!working && stalled.elapsed() > options.stallMs + helperGraceMs(options.stallMs))
                throw InstallError(
                    QStringLiteral("%1 stalled: nothing came from it for %2 s. "
                                   "Check the connection and try again, or "
                                   "choose another repository.")
                        .arg(capitalised(namedSource(about)))
                        .arg((options.stallMs + helperGraceMs(options.stallMs)) / 1000));
        }
        if (process.stoppedAbnormally())
            throw InstallError(QStringLiteral("The helper tolvane-swordinstall stopped "
                                              "abnormally while working on %1; nothing was "
                                              "installed. Try again, or choose another "
                                              "repository.")
                                   .arg(namedSource(about)));
    } catch (const platform::HelperProcess::Failure& f) {
        throw InstallError(
            f.fault == platform::HelperProcess::Fault::TimedOut
                ? QStringLiteral("Working on %1 took too long and was given up; nothing was "
                                 "installed. Try again later, or choose another repository.")
                      .arg(namedSource(about))
                : QStringLiteral("The helper tolvane-swordinstall failed on %1 (%2). Try again.")
                      .arg(namedSource(about), f.detail));
    }
    for (const QStringList& r : answer.records)
        if (r.first() == u"X")
            throw InstallError(r.value(1));
    return answer;
}

std::vector<SwordSource> sourcesOf(const HelperAnswer& answer) {
    std::vector<SwordSource> list;
    for (const QStringList& r : answer.records)
        if (r.first() == u"S")
            list.push_back({r.value(1), r.value(2), r.value(3), r.value(4)});
    return list;
}

} // namespace

SwordInstallOptions defaultInstallOptions() {
    SwordInstallOptions options;
    bool ok = false;
    const int stallS = qEnvironmentVariableIntValue("TOLVANE_SWORD_STALL_S", &ok);
    if (ok && stallS > 0)
        options.stallMs = stallS * 1000;
    const int windowS = qEnvironmentVariableIntValue("TOLVANE_SWORD_RATE_WINDOW_S", &ok);
    if (ok && windowS > 0)
        options.rateWindowS = windowS;
    const qint64 fileLimitKb = qEnvironmentVariableIntValue("TOLVANE_SWORD_FILE_LIMIT_KB", &ok);
    if (ok && fileLimitKb > 0)
        options.fileSizeLimitKb = fileLimitKb;
    return options;
}

QString swordInstallerPath() {
    return platform::findHelper(QStringLiteral("tolvane-swordinstall"), "TOLVANE_SWORDINSTALL",
                                "TOLVANE_BIN_DIR");
}

std::vector<SwordSource> swordSources(const SwordInstallOptions& options) {
    return sourcesOf(runHelper({QStringLiteral("--sources")}, {}, options));
}

std::vector<SwordSource> refreshSwordSources(const SwordInstallOptions& options) {
    return sourcesOf(runHelper({QStringLiteral("--refresh-sources")},
                               QStringLiteral("the master list of repositories"), options));
}

std::vector<SwordSource> addSwordSource(const QString& caption, const QString& url,
                                        const SwordInstallOptions& options) {
    return sourcesOf(
        runHelper({QStringLiteral("--add-source"), caption, url}, repository(caption), options));
}

std::vector<SwordOffered> availableSwordModules(const QString& source,
                                                const SwordInstallOptions& options) {
    QStringList sources{source};
    if (source.isEmpty()) {
        sources.clear();
        for (const SwordSource& s : swordSources(options))
            sources << s.caption;
    }
    std::vector<SwordOffered> list;
    for (const QString& caption : sources) {
        const HelperAnswer answer = runHelper(
            {QStringLiteral("--available"), caption},
            QStringLiteral("the list of modules of %1").arg(repository(caption)), options);
        for (const QStringList& r : answer.records)
            if (r.first() == u"A")
                list.push_back({r.value(1), r.value(2), r.value(3), r.value(4), r.value(5),
                                r.value(6), caption});
    }
    return list;
}

QString installSwordModule(const QString& module, const QString& source,
                           const SwordInstallOptions& options) {
    QString from = source;
    if (from.isEmpty()) {
        for (const SwordOffered& offered : availableSwordModules({}, options))
            if (offered.name.compare(module, Qt::CaseInsensitive) == 0) {
                from = offered.source;
                break;
            }
        if (from.isEmpty())
            throw InstallError(
                QStringLiteral("no repository offers a dictionary module %1").arg(module));
    }
    const HelperAnswer answer = runHelper(
        {QStringLiteral("--install"), module, QStringLiteral("--source"), from},
        QStringLiteral("the download of %1 from %2").arg(module, repository(from)), options);
    for (const QStringList& r : answer.records)
        if (r.first() == u"I")
            return r.value(1);
    throw InstallError(
        QStringLiteral("the helper tolvane-swordinstall did not say where %1 went").arg(module));
}

void removeSwordModule(const QString& module, const SwordInstallOptions& options) {
    runHelper({QStringLiteral("--remove"), module}, {}, options);
}

} // namespace tolvane::import
