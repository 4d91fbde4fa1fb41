#pragma once
// The verses of the installed Bibles, served by the SWORD helper's verse mode
// (references/VerseProtocol.h): libsword never runs in the program, which it could crash.
// The helper is started on first use and kept; one that dies (killed, crashed, its limits)
// is started afresh by the next request. Every failure is a note in the answer, never an
// exception: a tooltip or the Scripture window shows it.

#include "references/ScriptureReference.h"

#include <QString>
#include <atomic>
#include <memory>
#include <vector>

QT_BEGIN_NAMESPACE
class QProcess;
QT_END_NAMESPACE

namespace tolvane::scripture {

struct Passage {
    struct Verse {
        int chapter = 0;
        int verse = 0;
        QString text;
    };
    QString module;       // e.g. "engKJV2006eb"
    QString abbreviation; // e.g. "KJV"
    QString lacking;      // the Bible asked for, when it lacks the book and this one gave it
    std::vector<Verse> verses;
    qint64 total = 0; // verses in the whole range (more than sent when cut short)
    enum class Problem { None, NoBible, NoBook, Failed } problem = Problem::None;
    QString note; // for people, when there is a problem
};

struct Bible {
    QString name;
    QString abbreviation;
    QString description;
};

class VerseService {
public:
    // `helper`: the helper program; empty: tolvane-swordread where the program finds it.
    explicit VerseService(QString helper = {}, int timeoutMs = 5000);
    ~VerseService();
    VerseService(const VerseService&) = delete;
    VerseService& operator=(const VerseService&) = delete;

    // At most `most` verses of the range from `module` (empty: KJV, else the first Bible);
    // when it lacks the book, from the next Bible that has it, named in `lacking`.
    Passage passage(const references::VerseRange& range, int most, const QString& module = {});
    std::vector<Bible> bibles();

    qint64 helperProcessId() const; // 0 when none runs

    // While `*stop` is true a wait for the helper ends at once (within a tenth of a second),
    // as a helper that did not answer in time: the owner is going away.
    void setStopFlag(const std::atomic<bool>* stop) { m_stop = stop; }

private:
    // The answer's lines up to and with "Z"; empty with `problem` set when there is none.
    QStringList ask(const QString& request, QString& problem);
    QStringList askOnce(const QString& request, QString& problem);
    bool start(QString& problem);

    QString m_helper;
    int m_timeoutMs;
    std::unique_ptr<QProcess> m_process;
    bool m_stopped = false; // the last request found the helper ended
    const std::atomic<bool>* m_stop = nullptr;
    quint64 m_tag = 0; // of the last request sent
};

// The tooltip of a reference: "Genesis 14:5 (KJV)" and its text, a range up to ten verses
// then "…"; without a Bible, how to get one; a missing book, so. Rich text, so that it wraps.
QString verseTip(const references::VerseRange& range, const Passage& passage);
// "NUB does not hold Jeremiah; the verses are from KJV." when the Bible asked for lacked the
// book; empty otherwise.
QString fallbackNote(const references::VerseRange& range, const Passage& passage);

inline constexpr int kVersesInTip = 10;

} // namespace tolvane::scripture
