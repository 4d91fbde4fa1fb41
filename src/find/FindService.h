#pragma once
// Searches the dictionaries on a thread of its own, so the Find window never waits. Each
// search gets a number; a newer search cancels every older one (the older one stops at its
// next step and reports nothing), and only the newest reports its results: first the count
// and the best few without snippets, at once, then the whole list with them.
//
// The background thread owns one DictionaryIndex per dictionary file, kept from search to
// search. Results and progress are reported on the thread that made the service, through
// its signals.

#include "data/DictionaryConfig.h"
#include "find/DictionaryIndex.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <map>
#include <memory>

class QThread;

namespace tolvane::find {

struct FindResults {
    quint64 search = 0;
    int count = 0;                   // every matching entry, in all dictionaries searched
    std::vector<FoundEntry> entries; // the best, best first
    QStringList problems;            // dictionaries that could not be searched, and why
    // False for the first results of a search: the count and the best entries without their
    // snippets, which the whole list (the same entries first) follows.
    bool complete = true;
};

class FindService : public QObject {
    Q_OBJECT
public:
    // At most this many entries are listed (the count is always complete); the first
    // kFirstEntries of them are reported first, without snippets.
    static constexpr int kListedEntries = 300;
    static constexpr int kFirstEntries = 25;
    // A word in more entries than this is first listed in the dictionaries' order, and
    // ranked with the whole list.
    static constexpr int kRankedAtOnce = 2000;

    explicit FindService(QObject* parent = nullptr);
    ~FindService() override;

    // Starts a search for an FTS5 query in the dictionaries' files in `folder`; returns its
    // number. Cancels any search still running.
    quint64 search(const QString& match, std::vector<const data::DictionaryConfig*> dictionaries,
                   const QString& folder);
    // Cancels the running search, if any, without starting another.
    void cancel();

Q_SIGNALS:
    // A dictionary's index is being made: the count line shows how far.
    void preparing(quint64 search, const QString& dictionaryTitle, int percent);
    // Once with the first results (complete false) when there are more, then once complete.
    void finished(const tolvane::find::FindResults& results);

private:
    void run(quint64 search, const QString& match,
             const std::vector<const data::DictionaryConfig*>& dictionaries, const QString& folder);
    DictionaryIndex& indexFor(const data::DictionaryConfig& config, const QString& folder);
    bool isStale(quint64 search) const { return m_latest.load() != search; }
    template <typename F> void report(F&& f);

    QThread* m_thread;
    QObject* m_worker; // lives on m_thread
    std::atomic<quint64> m_latest{0};
    quint64 m_running = 0; // the search the worker is on (worker thread only)
    // Worker thread only.
    std::map<QString, std::unique_ptr<DictionaryIndex>> m_indexes; // by window name
};

} // namespace tolvane::find

Q_DECLARE_METATYPE(tolvane::find::FindResults)
