#include "scripture/VerseService.h"

#include "platform/HelperProcess.h"
#include "references/VerseProtocol.h"
#include "references/Versification.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <algorithm>

namespace tolvane::scripture {

namespace vp = references::verseprotocol;

VerseService::VerseService(QString helper, int timeoutMs)
    : m_helper(std::move(helper)), m_timeoutMs(timeoutMs) {}

VerseService::~VerseService() {
    // The helper only reads, so it is ended at once rather than told to finish: a helper in
    // the middle of a long passage, or in libsword's teardown of every installed module, would
    // otherwise hold up the program's end. The kill is reaped here, so no helper outlives this.
    if (m_process) {
        m_process->kill();
        m_process->waitForFinished(1000);
    }
}

qint64 VerseService::helperProcessId() const {
    return m_process && m_process->state() == QProcess::Running ? m_process->processId() : 0;
}

bool VerseService::start(QString& problem) {
    // A helper that died since the last request (killed, its limits) is noticed here, without
    // an event loop, and replaced.
    if (m_process && !m_process->waitForFinished(0) && m_process->state() == QProcess::Running)
        return true;
    if (m_helper.isEmpty())
        m_helper = platform::findHelper(QStringLiteral("tolvane-swordread"), "TOLVANE_SWORDREAD",
                                        "TOLVANE_BIN_DIR");
    if (m_helper.isEmpty()) {
        problem = QStringLiteral("The Bible reader tolvane-swordread is not installed.");
        return false;
    }
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->setStandardErrorFile(QProcess::nullDevice());
    // Limits as for any helper; a long-lived one gets more processor time in all.
    m_process->start(m_helper, {QStringLiteral("--memory-limit-mb"), QStringLiteral("512"),
                                QStringLiteral("--cpu-limit-s"), QStringLiteral("3600"),
                                QStringLiteral("--verses")});
    if (!m_process->waitForStarted(m_timeoutMs)) {
        problem = QStringLiteral("The Bible reader %1 did not start: %2")
                      .arg(m_helper, m_process->errorString());
        m_process.reset();
        return false;
    }
    return true;
}

QStringList VerseService::ask(const QString& request, QString& problem) {
    // A helper that had answered before and is found dead now (killed between two requests)
    // is replaced at once; one that dies on a fresh start is not tried again.
    const bool hadOne = m_process != nullptr;
    QStringList lines = askOnce(request, problem);
    if (lines.isEmpty() && hadOne && m_stopped) {
        problem.clear();
        lines = askOnce(request, problem);
    }
    return lines;
}

QStringList VerseService::askOnce(const QString& request, QString& problem) {
    m_stopped = false;
    if (!start(problem))
        return {};
    const QString tag = QString::number(++m_tag);
    m_process->write((tag + u'\t' + request).toUtf8() + '\n');
    QStringList lines;
    const QDeadlineTimer deadline(m_timeoutMs);
    while (!deadline.hasExpired() && !(m_stop && m_stop->load())) {
        while (m_process->canReadLine()) {
            QString line = QString::fromUtf8(m_process->readLine());
            line.chop(1);
            lines << line;
            if (!line.startsWith(u'Z'))
                continue;
            // An answer to another request (a line the helper took as two) is passed over.
            if (line.section(u'\t', 2, 2) == tag)
                return lines;
            lines.clear();
        }
        if (m_process->state() != QProcess::Running)
            break;
        m_process->waitForReadyRead(int(std::clamp<qint64>(deadline.remainingTime(), 1, 100)));
    }
    // Stopped or stuck: the next request starts a new helper.
    m_stopped = m_process->state() != QProcess::Running;
    problem = !m_stopped ? QStringLiteral("The Bible reader did not answer in time.")
                         : QStringLiteral("The Bible reader stopped; hover again to retry.");
    m_process->kill();
    m_process->waitForFinished(1000);
    m_process.reset();
    return {};
}

Passage VerseService::passage(const references::VerseRange& r, int most, const QString& module) {
    Passage p;
    const int verse = r.verse == 0 ? 0 : r.verse;
    const QString request = QStringLiteral("V\t%1\t%2\t%3\t%4\t%5\t%6\t%7")
                                .arg(module, references::bookOsisName(r.book))
                                .arg(r.chapter)
                                .arg(verse)
                                .arg(r.endChapter)
                                .arg(r.endVerse)
                                .arg(most);
    QString problem;
    const QStringList lines = ask(request, problem);
    if (lines.isEmpty()) {
        p.problem = Passage::Problem::Failed;
        p.note = problem;
        return p;
    }
    for (const QString& line : lines) {
        const QStringList f = line.split(u'\t');
        if (f[0] == u"M" && f.size() >= 3) {
            p.module = f[1];
            p.abbreviation = f[2];
            p.lacking = f.value(3);
        } else if (f[0] == u"T" && f.size() >= 4) {
            p.verses.push_back({f[1].toInt(), f[2].toInt(), f.mid(3).join(u' ')});
        } else if (f[0] == u"X" && f.size() >= 3) {
            p.problem = f[1] == QLatin1String(vp::kNoBible)  ? Passage::Problem::NoBible
                        : f[1] == QLatin1String(vp::kNoBook) ? Passage::Problem::NoBook
                                                             : Passage::Problem::Failed;
            p.note = f[2];
        } else if (f[0] == u"Z" && f.size() >= 2) {
            p.total = f[1].toLongLong();
        }
    }
    return p;
}

std::vector<Bible> VerseService::bibles() {
    std::vector<Bible> out;
    QString problem;
    for (const QString& line : ask(QStringLiteral("B"), problem)) {
        const QStringList f = line.split(u'\t');
        if (f[0] == u"B" && f.size() >= 4)
            out.push_back({f[1], f[2], f[3]});
    }
    return out;
}

QString verseTip(const references::VerseRange& range, const Passage& passage) {
    const QString name = references::displayName(range);
    auto html = [](const QString& heading, const QString& body) {
        return QStringLiteral("<p><b>%1</b><br>%2</p>")
            .arg(heading.toHtmlEscaped(), body.toHtmlEscaped());
    };
    switch (passage.problem) {
    case Passage::Problem::NoBible:
        return html(name, QStringLiteral("Install a Bible, for example the package "
                                         "sword-text-kjv, to read it here."));
    case Passage::Problem::NoBook:
        return html(name, QStringLiteral("The installed Bibles do not hold %1.")
                              .arg(references::bookName(range.book)));
    case Passage::Problem::Failed:
        return html(name, passage.note);
    case Passage::Problem::None:
        break;
    }
    QStringList verses;
    const bool single = passage.total == 1;
    for (std::size_t i = 0; i < passage.verses.size() && i < std::size_t(kVersesInTip); ++i) {
        const auto& v = passage.verses[i];
        verses << (single ? v.text : QStringLiteral("%1 %2").arg(v.verse).arg(v.text));
    }
    QString body = verses.join(u' ');
    if (passage.total > qint64(verses.size()))
        body += QChar(0x2026);
    QString tip = html(QStringLiteral("%1 (%2)").arg(name, passage.abbreviation), body);
    if (const QString note = fallbackNote(range, passage); !note.isEmpty())
        tip += QStringLiteral("<p><i>%1</i></p>").arg(note.toHtmlEscaped());
    return tip;
}

QString fallbackNote(const references::VerseRange& range, const Passage& passage) {
    if (passage.lacking.isEmpty() || passage.problem != Passage::Problem::None)
        return {};
    return QStringLiteral("%1 does not hold %2; the verses are from %3.")
        .arg(passage.lacking, references::bookName(range.book), passage.abbreviation);
}

} // namespace tolvane::scripture
