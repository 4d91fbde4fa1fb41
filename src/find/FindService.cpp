#include "find/FindService.h"

#include "data/DataOperations.h"
#include "platform/Error.h"

#include <QMetaObject>
#include <QPointer>
#include <QThread>
#include <algorithm>

namespace tolvane::find {

FindService::FindService(QObject* parent)
    : QObject(parent), m_thread(new QThread(this)), m_worker(new QObject) {
    m_thread->setObjectName(QStringLiteral("find"));
    m_worker->moveToThread(m_thread);
    m_thread->start(QThread::LowPriority);
}

FindService::~FindService() {
    cancel();
    // The indexes' connections belong to the worker thread: they close there, then it ends.
    QMetaObject::invokeMethod(m_worker, [this] {
        m_indexes.clear();
        delete m_worker;
        QThread::currentThread()->quit();
    });
    m_thread->wait();
}

void FindService::cancel() {
    ++m_latest;
}

quint64 FindService::search(const QString& match,
                            std::vector<const data::DictionaryConfig*> dictionaries,
                            const QString& folder) {
    const quint64 search = ++m_latest;
    QMetaObject::invokeMethod(m_worker, [this, search, match, dictionaries, folder] {
        run(search, match, dictionaries, folder);
    });
    return search;
}

// Runs `f` on the service's own thread, unless the service is gone by then.
template <typename F> void FindService::report(F&& f) {
    QMetaObject::invokeMethod(this, std::forward<F>(f), Qt::QueuedConnection);
}

DictionaryIndex& FindService::indexFor(const data::DictionaryConfig& config,
                                       const QString& folder) {
    auto& index = m_indexes[config.windowName];
    if (index && (!index->stillCurrent() || index->path() != data::dictionaryPath(config, folder)))
        index.reset();
    if (!index)
        index = std::make_unique<DictionaryIndex>(config, folder,
                                                  [this] { return isStale(m_running); });
    return *index;
}

void FindService::run(quint64 search, const QString& match,
                      const std::vector<const data::DictionaryConfig*>& dictionaries,
                      const QString& folder) {
    if (isStale(search))
        return; // a newer search is already queued
    m_running = search;
    FindResults results;
    results.search = search;
    std::vector<std::pair<DictionaryIndex*, int>> counted; // dictionaries searched, and counts
    auto deliver = [this](FindResults delivered) {
        std::stable_sort(
            delivered.entries.begin(), delivered.entries.end(),
            [](const FoundEntry& a, const FoundEntry& b) { return a.score < b.score; });
        if (delivered.entries.size() > size_t(kListedEntries))
            delivered.entries.resize(size_t(kListedEntries));
        report([this, delivered = std::move(delivered)] {
            if (!isStale(delivered.search))
                Q_EMIT finished(delivered);
        });
    };
    try {
        // The count and the best few of each dictionary first.
        for (const data::DictionaryConfig* config : dictionaries) {
            try {
                const QString title = config->mainCaption.section(QStringLiteral(" - "), 1);
                auto progress = [this, search, title](int percent) {
                    report([this, search, title, percent] {
                        if (!isStale(search))
                            Q_EMIT preparing(search, title, percent);
                    });
                };
                // Opening a legacy file, or copying a read-only one, takes a moment of its own.
                if (!m_indexes.count(config->windowName))
                    progress(0);
                DictionaryIndex& index = indexFor(*config, folder);
                if (!index.isPrepared())
                    index.prepare(progress);
                const int count = index.count(match);
                results.count += count;
                for (FoundEntry& entry :
                     index.search(match, 0, kFirstEntries, false, count <= kRankedAtOnce))
                    results.entries.push_back(std::move(entry));
                counted.emplace_back(&index, count);
            } catch (const Cancelled&) {
                throw;
            } catch (const NumberedError& e) {
                if (isStale(search))
                    return;
                m_indexes.erase(config->windowName); // opened afresh next time
                results.problems << e.message();
            } catch (const std::exception& e) {
                if (isStale(search))
                    return;
                m_indexes.erase(config->windowName);
                results.problems << QStringLiteral("%1 could not be searched: %2")
                                        .arg(config->mainCaption.section(QStringLiteral(" - "), 1),
                                             QString::fromLocal8Bit(e.what()));
            }
        }
        if (results.count > 0) {
            // The best of all, in the order the whole list will have them.
            FindResults first = results;
            first.complete = false;
            std::stable_sort(
                first.entries.begin(), first.entries.end(),
                [](const FoundEntry& a, const FoundEntry& b) { return a.score < b.score; });
            if (first.entries.size() > size_t(kFirstEntries))
                first.entries.resize(size_t(kFirstEntries));
            deliver(std::move(first));
        }
        // Then the whole list, with the snippets.
        results.entries.clear();
        for (const auto& [index, count] : counted)
            for (FoundEntry& entry : index->search(match, 0, std::min(count, kListedEntries)))
                results.entries.push_back(std::move(entry));
        deliver(std::move(results));
    } catch (const Cancelled&) {
        return;
    } catch (const NumberedError& e) {
        if (isStale(search))
            return;
        results.problems << e.message();
        deliver(std::move(results));
    }
}

} // namespace tolvane::find
