#pragma once
// Searches the dictionaries on a thread of its own, so the Find window never waits. Each
// search gets a number; a newer search cancels every older one (the older one stops at its
// next step and reports nothing), and only the newest reports its results, in up to three
// reports: first a page of the best entries with their snippets, as soon as it is known
// (with the count, unless the words are in very many entries); then the count, once every
// match has been counted; then the whole list.
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
    // Every matching entry, in all dictionaries searched; -1 while they are still being
    // counted, when there are more than atLeast.
    int count = 0;
    int atLeast = 0;
    std::vector<FoundEntry> entries; // the best, best first
    QStringList problems; // dictionaries that could not be searched, and why; notes on others
    // False until the whole list: the first page, and the count, come before it.
    bool complete = true;
};

class FindService : public QObject {
    Q_OBJECT
public:
    // At most this many entries are listed (the count is always complete); a page of them
    // (by default kFirstEntries: what the Find window shows at once) is reported first.
    static constexpr int kListedEntries = 300;
    static constexpr int kFirstEntries = 25;
    // A word in more entries than this is first listed in the dictionaries' order, and
    // ranked with the whole list; its count follows the first page.
    static constexpr int kRankedAtOnce = 2000;

    explicit FindService(QObject* parent = nullptr);
    ~FindService() override;

    // Starts a search for an FTS5 query in the dictionaries' files in `folder`; returns its
    // number. Cancels any search still running.
    quint64 search(const QString& match, std::vector<const data::DictionaryConfig*> dictionaries,
                   const QString& folder, int firstPage = kFirstEntries);
    // Cancels the running search, if any, without starting another.
    void cancel();

Q_SIGNALS:
    // A dictionary's index is being made: the count line shows how far.
    void preparing(quint64 search, const QString& dictionaryTitle, int percent);
    // The first page, then the count if it came later, then the whole list (complete); a
    // search whose first page holds everything reports once.
    void finished(const tolvane::find::FindResults& results);

private:
    void run(quint64 search, const QString& match,
             const std::vector<const data::DictionaryConfig*>& dictionaries, const QString& folder,
             int firstPage);
    DictionaryIndex& indexFor(const data::DictionaryConfig& config, const QString& folder);
    bool isStale(quint64 search) const { return m_latest.load() != search; }
    template <typename F> void report(F&& f);

    QThread* m_thread;
    QObject* m_worker; // lives on m_thread
    std::atomic<quint64> m_latest{0};
    quint64 m_running = 0; // the search the worker is on (worker thread only)
    // Worker thread only.
    std::map<QString, std::unique_ptr<DictionaryIndex>> m_indexes; // by window name
    QStringList m_notes; // the indexes' notes not yet reported
};

} // namespace tolvane::find

Q_DECLARE_METATYPE(tolvane::find::FindResults)
