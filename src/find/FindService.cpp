#include "find/FindService.h"

#include "data/DataOperations.h"
#include "data/FileProblems.h"
#include "platform/Error.h"

#include <QMetaObject>
#include <QPointer>
#include <QThread>
#include <algorithm>
#include <optional>
#include <utility>

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
                            const QString& folder, int firstPage) {
    const quint64 search = ++m_latest;
    firstPage = std::clamp(firstPage, 1, kListedEntries);
    QMetaObject::invokeMethod(m_worker, [this, search, match, dictionaries, folder, firstPage] {
        run(search, match, dictionaries, folder, firstPage);
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

namespace {

// Whatever failed in one dictionary, said in a line the Find window shows: a fault of its
// file in plain words, with what to do.
template <typename F>
std::optional<QString> problemOf(const data::DictionaryConfig& config, const QString& folder,
                                 F&& f) {
    try {
        f();
        return std::nullopt;
    } catch (const Cancelled&) {
        throw;
    } catch (const NumberedError& e) {
        return data::searchFailure(config, data::dictionaryPath(config, folder), e);
    } catch (const std::exception& e) {
        return QStringLiteral("%1 could not be searched: %2")
            .arg(data::dictionaryTitle(config), QString::fromLocal8Bit(e.what()));
    }
}

} // namespace

void FindService::run(quint64 search, const QString& match,
                      const std::vector<const data::DictionaryConfig*>& dictionaries,
                      const QString& folder, int firstPage) {
    if (isStale(search))
        return; // a newer search is already queued
    m_running = search;
    FindResults results;
    results.search = search;
    struct Searched {
        const data::DictionaryConfig* config;
        DictionaryIndex* index; // null once it failed
        int count;              // -1 until counted
        FirstPage page;
        std::unique_ptr<DictionaryIndex::HeldReading> reading; // over the first page
    };
    std::vector<Searched> searched;
    searched.reserve(dictionaries.size());
    // A dictionary that fails is left out of what follows, and opened afresh next time.
    auto attempt = [&](Searched& s, auto&& f) {
        if (const auto problem = problemOf(*s.config, folder, f)) {
            if (isStale(search))
                throw Cancelled();
            results.problems << *problem;
            s.reading.reset(); // before its index goes
            m_indexes.erase(s.config->windowName);
            s.index = nullptr;
            s.count = 0;
        }
    };
    auto tally = [&](FindResults& r) {
        r.count = r.atLeast = 0;
        for (const Searched& s : searched) {
            r.atLeast += s.count >= 0 ? s.count : kRankedAtOnce + 1;
            if (s.count < 0 || r.count < 0)
                r.count = -1;
            else
                r.count += s.count;
        }
    };
    auto deliver = [this](FindResults delivered, int listed, bool complete) {
        std::stable_sort(
            delivered.entries.begin(), delivered.entries.end(),
            [](const FoundEntry& a, const FoundEntry& b) { return a.score < b.score; });
        if (delivered.entries.size() > size_t(listed))
            delivered.entries.resize(size_t(listed));
        delivered.complete = complete;
        report([this, delivered = std::move(delivered)] {
            if (!isStale(delivered.search))
                Q_EMIT finished(delivered);
        });
    };
    try {
        // The first page of each dictionary, and the counts that come with it, each file read
        // in one transaction until the page is described.
        for (const data::DictionaryConfig* config : dictionaries) {
            Searched& s = searched.emplace_back(Searched{config, nullptr, 0, {}, nullptr});
            attempt(s, [&] {
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
                s.index = &indexFor(*config, folder);
                if (!s.index->isPrepared())
                    s.index->prepare(progress);
                if (const QString note = s.index->takeNote(); !note.isEmpty())
                    m_notes << note;
                s.reading = std::make_unique<DictionaryIndex::HeldReading>(*s.index);
                s.page = s.index->firstPage(match, firstPage, kListedEntries, kRankedAtOnce);
                s.count = s.page.count;
            });
        }
        // The best of all the dictionaries, described: the best of each come first in it, so
        // each dictionary describes the start of its own list.
        std::vector<std::pair<const FoundEntry*, Searched*>> best;
        for (Searched& s : searched)
            for (const FoundEntry& entry : s.page.entries)
                best.emplace_back(&entry, &s);
        const auto shown = best.begin() + std::min(best.size(), size_t(firstPage));
        std::partial_sort(best.begin(), shown, best.end(), [](const auto& a, const auto& b) {
            // Equal scores keep the dictionaries' order, and each list its own.
            return a.first->score != b.first->score ? a.first->score < b.first->score
                   : a.second != b.second           ? a.second < b.second
                                                    : a.first < b.first;
        });
        for (Searched& s : searched) {
            const auto own =
                std::count_if(best.begin(), shown, [&](const auto& b) { return b.second == &s; });
            if (s.index && own > 0)
                attempt(s, [&] {
                    s.index->describe(std::span(s.page.entries).first(size_t(own)), match);
                });
        }
        for (auto b = best.begin(); b != shown; ++b)
            if (b->second->index)
                results.entries.push_back(*b->first);
        for (Searched& s : searched)
            s.reading.reset();
        // Said once: with the first results not cancelled before them.
        results.problems << std::exchange(m_notes, {});
        tally(results);
        const bool allOnPage = results.count >= 0 && results.count <= firstPage;
        if (allOnPage)
            return deliver(std::move(results), kListedEntries, true);
        deliver(results, firstPage, false);

        // The counts that take a step per match, while the first page is read.
        if (results.count < 0) {
            for (Searched& s : searched)
                if (s.index && s.count < 0)
                    attempt(s, [&] { s.count = s.index->count(match); });
            tally(results);
            deliver(results, firstPage, false);
        }

        // Then the whole list: the rest of what was ranked at once, or all ranked now.
        results.entries.clear();
        for (Searched& s : searched)
            if (s.index)
                attempt(s, [&] {
                    std::vector<FoundEntry> listed =
                        s.page.count >= 0
                            ? std::move(s.page.entries)
                            : s.index->search(match, 0, std::min(s.count, kListedEntries));
                    s.index->describe(listed, match); // those not described yet
                    for (FoundEntry& entry : listed)
                        results.entries.push_back(std::move(entry));
                });
        deliver(std::move(results), kListedEntries, true);
    } catch (const Cancelled&) {
        return;
    }
}

} // namespace tolvane::find
