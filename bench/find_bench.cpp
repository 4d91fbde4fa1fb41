// Finding a word in the entries of all three reference texts, to the results the Find window
// lists (the search on its own thread, the best entries and their snippets, the list model
// filled), against a LIKE '%word%' scan of the same tables in the same run. Then the index's
// share of each file, and the one-time cost of making the index for a file without one: for
// Easton's, and for 1,000,000 generated rows.
//
// Needs the reference texts (../shared/data, or $TOLVANE_SHARED_DIR/data).
// Run a Release build: tolvane_find_bench [--benchmark_filter=...]

#include "ReferenceTexts.h"
#include "data/DataOperations.h"
#include "data/FullTextSource.h"
#include "engine/FullTextIndex.h"
#include "engine/FullTextQuery.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "find/FindResultList.h"
#include "find/FindService.h"
#include "find/FindWindow.h"
#include "import/CsvImport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <limits>
#include <map>

using namespace tolvane;
namespace sqlite = engine::sqlite;

namespace {

const char* const kWords[] = {"water", "melchizedek", "jerusalem", "god"};

struct Texts {
    QTemporaryDir dir;
    bool ok = false;
};

// The three texts imported once per run, as tolvane-import makes them (index included).
Texts& texts() {
    static Texts t;
    static bool made = false;
    if (made)
        return t;
    made = true;
    if (!bench::importReferenceTexts(t.dir.path()))
        return t;
    t.ok = true;
    return t;
}

// How many rows the Find window's list shows at once, as it first opens: the first page of
// results a search reports.
int rowsShown() {
    static const int rows = [] {
        find::FindService service;
        find::FindWindow window(service, {}, [] { return QString(); });
        window.show();
        QCoreApplication::processEvents();
        return std::max(10, window.lstResults()->rowsShown());
    }();
    return rows;
}

// Every query starts after the same pause, as a user's does: a query run straight after
// another finds more in the processor's caches (here about twice as fast, either way).
constexpr int kPauseMs = 20;
constexpr int kQueries = 100;
void idle(benchmark::State& state) {
    state.PauseTiming();
    QThread::msleep(kPauseMs);
    state.ResumeTiming();
}

// Runs the event loop until `done`.
template <typename F> void waitFor(F&& done) {
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Notes when a timer fires, before anything it starts runs.
class FiringClock : public QObject {
public:
    QElapsedTimer fired;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Timer)
            fired.start();
        return QObject::eventFilter(watched, event);
    }
};

// The Find window itself, from the moment its search starts (its typing pause over) to the
// first results in its list: the search on the service's thread, the best entries with their
// snippets, the list's model filled. Painting is left out, as the LIKE scan shows nothing
// either. The time from the typed word (the text box's own work and the pause's timer, here
// of 0 ms, included) is reported too, as from_typing_ms.
void findRun(benchmark::State& state, const char* word) {
    if (!texts().ok)
        return state.SkipWithError("reference texts not found");
    find::FindService service;
    find::FindWindow window(service, {}, [] { return texts().dir.path(); });
    window.optAllDictionaries()->setChecked(true);
    auto* delay = window.findChild<QTimer*>(QStringLiteral("tmrFindDelay"));
    delay->setInterval(0);
    FiringClock searchStart;
    delay->installEventFilter(&searchStart);
    window.show();
    QCoreApplication::processEvents();
    window.setUpdatesEnabled(false); // painting the typed text is not finding it
    find::FindResultModel* list = window.lstResults()->results();
    bool shown = false;
    QObject::connect(list, &QAbstractItemModel::modelReset,
                     [&] { shown = shown || list->rowCount() > 0; });
    int listed = 0;
    double fromTyping = 0;
    // Open every file and check its index once, as the first search of a session does.
    auto search = [&] {
        shown = false;
        QElapsedTimer typed;
        typed.start();
        window.txtFind()->setText(QString::fromUtf8(word));
        waitFor([&] { return shown; });
        listed = list->rowCount();
        fromTyping += double(typed.nsecsElapsed()) / 1e6;
        return double(searchStart.fired.nsecsElapsed()) / 1e9;
    };
    auto clear = [&] {
        waitFor([&] { return !window.isSearching(); }); // the rest of the list comes meanwhile
        window.txtFind()->clear();
        waitFor([&] { return !window.isSearching(); });
    };
    search();
    clear();
    fromTyping = 0;
    for (auto _ : state) {
        state.SetIterationTime(search());
        state.PauseTiming();
        clear();
        QThread::msleep(kPauseMs);
        state.ResumeTiming();
    }
    state.counters["listed"] = listed;
    state.counters["from_typing_ms"] = fromTyping / double(state.iterations());
}

// The first page from the indexes alone, on this thread (no window, no thread handoff): each
// dictionary's matches ranked, and the best of them all described, as the service does.
void indexRun(benchmark::State& state, const char* word) {
    if (!texts().ok)
        return state.SkipWithError("reference texts not found");
    std::vector<std::unique_ptr<find::DictionaryIndex>> indexes;
    for (const auto* config : data::allConfigs())
        indexes.push_back(std::make_unique<find::DictionaryIndex>(*config, texts().dir.path()));
    const QString match = engine::translateFullTextQuery(QString::fromUtf8(word)).match;
    int count = 0;
    for (auto _ : state) {
        count = 0;
        idle(state);
        std::vector<find::FirstPage> pages;
        std::vector<std::pair<double, size_t>> best; // score, page
        std::vector<std::unique_ptr<find::DictionaryIndex::HeldReading>> held;
        for (auto& index : indexes) {
            held.push_back(std::make_unique<find::DictionaryIndex::HeldReading>(*index));
            pages.push_back(index->firstPage(match, rowsShown(), find::FindService::kListedEntries,
                                             find::FindService::kRankedAtOnce));
            count += pages.back().count;
            for (const auto& entry : pages.back().entries)
                best.emplace_back(entry.score, pages.size() - 1);
        }
        const size_t shown = std::min(best.size(), size_t(rowsShown()));
        std::partial_sort(best.begin(), best.begin() + long(shown), best.end());
        for (size_t i = 0; i < indexes.size(); ++i) {
            const auto own = size_t(std::count_if(best.begin(), best.begin() + long(shown),
                                                  [&](const auto& b) { return b.second == i; }));
            indexes[i]->describe(std::span(pages[i].entries).first(own), match);
        }
    }
    state.counters["entries"] = count;
}

// What a program without the index does: scans every row of the three tables for the word
// anywhere in its text, with what a result row shows, each statement prepared once.
void likeRun(benchmark::State& state, const char* word) {
    if (!texts().ok)
        return state.SkipWithError("reference texts not found");
    std::vector<std::unique_ptr<sqlite::Connection>> connections;
    std::vector<std::unique_ptr<sqlite::Statement>> selects;
    const QString pattern = QStringLiteral("%") + QString::fromUtf8(word) + QStringLiteral("%");
    for (const auto* c : data::allConfigs()) {
        connections.push_back(std::make_unique<sqlite::Connection>(
            data::dictionaryPath(*c, texts().dir.path()), sqlite::OpenMode::ReadOnly));
        QString where = QStringLiteral("%1 LIKE ?1 OR %2 LIKE ?1")
                            .arg(engine::quoteIdentifier(c->headwordColumn),
                                 engine::quoteIdentifier(c->definitionColumn));
        if (c->hasScripture())
            where +=
                QStringLiteral(" OR %1 LIKE ?1").arg(engine::quoteIdentifier(c->scriptureColumn));
        selects.push_back(std::make_unique<sqlite::Statement>(
            *connections.back(),
            QStringLiteral("SELECT rowid, %1, substr(%2, 1, 100) FROM %3 WHERE %4")
                .arg(engine::quoteIdentifier(c->headwordColumn),
                     engine::quoteIdentifier(c->definitionColumn),
                     engine::quoteIdentifier(c->table), where)));
    }
    int count = 0;
    for (auto _ : state) {
        idle(state);
        count = 0;
        for (auto& select : selects) {
            select->bind(1, pattern);
            while (select->step()) {
                benchmark::DoNotOptimize(select->columnText(1));
                benchmark::DoNotOptimize(select->columnText(2));
                ++count;
            }
            select->reset();
        }
    }
    state.counters["entries"] = count;
}

// A copy of a dictionary file without its index, as a file made before the index existed.
QString withoutIndex(const QString& from, const QString& to, const data::DictionaryConfig& c) {
    QFile::remove(to);
    QFile::copy(from, to);
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
    sqlite::Connection db(to, sqlite::OpenMode::ReadWrite);
    const QString fts = engine::fullTextTableName(c.table);
    for (const char* suffix : {"_insert", "_update", "_delete"})
        db.exec(QStringLiteral("DROP TRIGGER %1")
                    .arg(engine::quoteIdentifier(fts + QLatin1String(suffix))));
    db.exec(QStringLiteral("DROP TABLE %1; DROP TABLE tolvane_fulltext; VACUUM")
                .arg(engine::quoteIdentifier(fts)));
    return to;
}

// The Find window's way: in steps, each its own transaction.
double buildSeconds(const QString& path, const data::DictionaryConfig& c) {
    QElapsedTimer timer;
    timer.start();
    sqlite::Connection db(path, sqlite::OpenMode::ReadWrite);
    db.exec(QStringLiteral("PRAGMA synchronous = FULL"));
    {
        sqlite::Transaction transaction(db);
        engine::createFullTextIndex(db, data::fullTextSource(c));
        transaction.commit();
    }
    engine::fillFullTextIndex(db, data::fullTextSource(c), true);
    return double(timer.nsecsElapsed()) / 1e9;
}

double indexShare(const QString& path, const data::DictionaryConfig& c) {
    sqlite::Connection db(path, sqlite::OpenMode::ReadOnly);
    sqlite::Statement index(db, QStringLiteral("SELECT sum(pgsize) FROM dbstat WHERE name LIKE ?1 "
                                               "OR name = 'tolvane_fulltext'"));
    index.bind(1, engine::fullTextTableName(c.table) + QStringLiteral("%"));
    index.step();
    return double(index.columnInt64(0)) / double(QFileInfo(path).size());
}

QString generatedFile(const QString& folder, int rows) {
    const data::DictionaryConfig& c = data::eastonsConfig();
    const QString path = data::dictionaryPath(data::eastonsConfig(), folder);
    sqlite::Connection db(path, sqlite::OpenMode::ReadWriteCreate);
    db.exec(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF"));
    engine::createTextTable(db, c.table, {c.headwordColumn, c.definitionColumn});
    QRandomGenerator random(1000000);
    const QStringList vocabulary =
        QStringLiteral(
            "the of and to in a his he that was is for by with as which from it who be son king "
            "land city god israel people name father water house lord book day great river")
            .split(QLatin1Char(' '));
    sqlite::Transaction transaction(db);
    sqlite::Statement insert(
        db, QStringLiteral("INSERT INTO %1 VALUES (?1, ?2)").arg(engine::quoteIdentifier(c.table)));
    for (int i = 0; i < rows; ++i) {
        QString definition;
        for (int w = 0; w < 20; ++w)
            definition += vocabulary[int(random.bounded(vocabulary.size()))] + QLatin1Char(' ');
        definition += QString::number(i);
        insert.bind(1, QStringLiteral("Word%1").arg(i));
        insert.bind(2, definition);
        insert.run();
        insert.reset();
    }
    transaction.commit();
    engine::createHeadwordIndex(db, c.table, c.headwordColumn);
    return path;
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Each benchmark's median over the repetitions, or its one run.
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || !(median || run.run_type == Run::RT_Iteration))
                continue;
            auto& kept = m_times[run.run_name.function_name];
            if (median || !kept.median) {
                const auto typing = run.counters.find("from_typing_ms");
                kept = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime(),
                        typing == run.counters.end() ? 0.0 : double(typing->second), median};
            }
        }
    }
    // Wall time includes waiting for a core on a busy machine; CPU time is the work itself
    // (the whole process's: for the Find window, both threads).
    void printRatios() const {
        std::printf("\nLIKE scan time / find time, for the same word in the same run (ms):\n");
        std::printf("%-12s %9s | %9s %7s | %9s %7s | %9s %7s | %9s %9s %7s\n", "word", "LIKE wall",
                    "find wall", "ratio", "typed", "ratio", "index", "ratio", "LIKE CPU",
                    "find CPU", "ratio");
        for (const char* word : kWords) {
            const auto f = m_times.find(std::string("find/") + word);
            const auto i = m_times.find(std::string("index/") + word);
            const auto l = m_times.find(std::string("like/") + word);
            if (f == m_times.end() || i == m_times.end() || l == m_times.end())
                continue;
            const Times &find = f->second, &index = i->second, &like = l->second;
            std::printf("%-12s %9.3f | %9.3f %6.1fx | %9.3f %6.1fx | %9.3f %6.1fx | %9.3f %9.3f "
                        "%6.1fx\n",
                        word, like.wall, find.wall, like.wall / find.wall, find.fromTyping,
                        like.wall / find.fromTyping, index.wall, like.wall / index.wall, like.cpu,
                        find.cpu, like.cpu / find.cpu);
        }
        std::printf("find wall: from the search's start to its first results in the window's "
                    "list; typed: from the word set in the text box; index: the same first "
                    "page on one thread, without the window; CPU: the whole process's.\n");
    }

private:
    struct Times {
        double wall = 0, cpu = 0; // ms
        double fromTyping = 0;    // ms, the Find window only
        bool median = false;
    };
    std::map<std::string, Times> m_times; // by benchmark
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (const char* word : kWords) {
        // The search runs on the service's thread: CPU time is the whole process's.
        benchmark::RegisterBenchmark((std::string("find/") + word).c_str(), findRun, word)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->UseManualTime()
            ->Iterations(kQueries);
        benchmark::RegisterBenchmark((std::string("index/") + word).c_str(), indexRun, word)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->UseRealTime()
            ->Iterations(kQueries);
        benchmark::RegisterBenchmark((std::string("like/") + word).c_str(), likeRun, word)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->UseRealTime()
            ->Iterations(kQueries);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();

    if (!texts().ok) {
        std::printf("\nreference texts not found in %s\n",
                    qPrintable(bench::referenceDataFolder()));
        return 0;
    }
    std::printf("\nindex share of each file (index pages / file size):\n");
    for (const auto* c : data::allConfigs()) {
        const QString path = data::dictionaryPath(*c, texts().dir.path());
        std::printf("  %-10s %8.1f KiB  index %5.1f%%\n", qPrintable(c->fileName),
                    double(QFileInfo(path).size()) / 1024, 100 * indexShare(path, *c));
    }
    const data::DictionaryConfig& eastons = data::eastonsConfig();
    const QString older = withoutIndex(data::dictionaryPath(eastons, texts().dir.path()),
                                       texts().dir.filePath(QStringLiteral("older.mdb")), eastons);
    std::printf("one-time index build, Easton's (%lld rows): %.3f s\n", qlonglong(3964),
                buildSeconds(older, eastons));
    if (qEnvironmentVariableIsSet("TOLVANE_BENCH_SKIP_MILLION"))
        return 0;
    QTemporaryDir big;
    const QString generated = generatedFile(big.path(), 1000000);
    std::printf("one-time index build, 1,000,000 generated rows (%.0f MiB file): %.1f s\n",
                double(QFileInfo(generated).size()) / 1048576, buildSeconds(generated, eastons));
    std::printf("  index share of that file: %.1f%%\n", 100 * indexShare(generated, eastons));

    // One-word searches on that file through the search service, against the LIKE scan: a
    // word in one row, and a word in nearly half of them. Times to the first results, to the
    // count, and to the whole (ranked) list; the fastest of three.
    find::FindService service;
    sqlite::Connection raw(generated, sqlite::OpenMode::ReadOnly);
    sqlite::Statement like(raw,
                           QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %1 LIKE ?1 OR %3 LIKE ?1")
                               .arg(engine::quoteIdentifier(eastons.headwordColumn),
                                    engine::quoteIdentifier(eastons.table),
                                    engine::quoteIdentifier(eastons.definitionColumn)));
    auto ms = [](qint64 ns) { return double(ns) / 1e6; };
    for (const QString& word : {QStringLiteral("123456"), QStringLiteral("water")}) {
        const QString match = engine::translateFullTextQuery(word).match;
        qint64 first = std::numeric_limits<qint64>::max(), counted = first, whole = first;
        int found = 0;
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer timer;
            qint64 firstAt = -1, countedAt = -1, wholeAt = -1;
            auto connection = QObject::connect(&service, &find::FindService::finished,
                                               [&](const find::FindResults& r) {
                                                   if (firstAt < 0)
                                                       firstAt = timer.nsecsElapsed();
                                                   if (countedAt < 0 && r.count >= 0) {
                                                       countedAt = timer.nsecsElapsed();
                                                       found = r.count;
                                                   }
                                                   if (r.complete)
                                                       wholeAt = timer.nsecsElapsed();
                                               });
            timer.start();
            service.search(match, {&eastons}, big.path(), rowsShown());
            waitFor([&] { return wholeAt >= 0; });
            QObject::disconnect(connection);
            first = std::min(first, firstAt);
            counted = std::min(counted, countedAt);
            whole = std::min(whole, wholeAt);
        }
        qint64 scan = std::numeric_limits<qint64>::max();
        int scanned = 0;
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer timer;
            timer.start();
            like.bind(1, QStringLiteral("%") + word + QStringLiteral("%"));
            scanned = 0;
            while (like.step())
                ++scanned;
            like.reset();
            scan = std::min(scan, timer.nsecsElapsed());
        }
        std::printf("  \"%s\" on that file (%d entries): first results %.2f ms, count %.1f ms, "
                    "whole list %.1f ms; LIKE scan %.1f ms (%d rows): %.1fx to the first "
                    "results, %.1fx to the count\n",
                    qPrintable(word), found, ms(first), ms(counted), ms(whole), ms(scan), scanned,
                    double(scan) / double(first), double(scan) / double(counted));
    }
    return 0;
}
