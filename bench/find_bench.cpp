// Finding a word in the entries of all three reference texts, to the results the Find window
// lists (the search on its own thread, the best entries and their snippets, the list model
// filled), against a LIKE '%word%' scan of the same tables in the same run. Then the index's
// share of each file, and the one-time cost of making the index for a file without one: for
// Easton's, and for 1,000,000 generated rows.
//
// Needs the reference texts (../shared/data, or $TOLVANE_SHARED_DIR/data).
// Run a Release build: tolvane_find_bench [--benchmark_filter=...]

#include "data/DataOperations.h"
#include "data/FullTextSource.h"
#include "engine/FullTextIndex.h"
#include "engine/FullTextQuery.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "find/FindResultList.h"
#include "find/FindService.h"
#include "import/CsvImport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <limits>
#include <map>

using namespace tolvane;
namespace sqlite = engine::sqlite;

namespace {

const char* const kWords[] = {"water", "melchizedek"};

QString sharedData() {
    const QString env = qEnvironmentVariable("TOLVANE_SHARED_DIR");
    return (env.isEmpty() ? QStringLiteral(TOLVANE_SOURCE_ROOT "/../shared") : env) +
           QStringLiteral("/data");
}

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
    const std::pair<const data::DictionaryConfig*, const char*> files[] = {
        {&data::kingJamesConfig(), "kjv_archaic.csv"},
        {&data::eastonsConfig(), "eastons.csv"},
        {&data::hitchcockConfig(), "hitchcock.csv"}};
    for (const auto& [config, file] : files) {
        import::CsvImportRequest request;
        request.dictionary = config;
        request.input = sharedData() + QLatin1Char('/') + QLatin1String(file);
        request.output = data::dictionaryPath(*config, t.dir.path());
        if (!QFileInfo::exists(request.input))
            return t;
        import::importCsv(request);
    }
    t.ok = true;
    return t;
}

void findRun(benchmark::State& state, const char* word) {
    if (!texts().ok)
        return state.SkipWithError("reference texts not found");
    find::FindService service;
    find::FindResultModel model;
    const QString match = engine::translateFullTextQuery(QString::fromUtf8(word)).match;
    int count = 0;
    // Open every file and check its index once, as the first search of a session does.
    auto once = [&] {
        QEventLoop loop;
        QObject::connect(&service, &find::FindService::finished, &loop,
                         [&](const find::FindResults& results) {
                             model.setEntries(results.entries);
                             count = results.count;
                             loop.quit();
                         });
        service.search(match, data::allConfigs(), texts().dir.path());
        loop.exec();
    };
    once();
    for (auto _ : state)
        once();
    state.counters["entries"] = count;
}

// The first results without the thread and the list: the count and the best entries (no
// snippets yet) from the indexes alone, on this thread.
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
        for (auto& index : indexes) {
            count += index->count(match);
            benchmark::DoNotOptimize(
                index->search(match, 0, find::FindService::kFirstEntries, false));
        }
    }
    state.counters["entries"] = count;
}

// Every row holding the word anywhere in its text, with what a result row shows.
void likeRun(benchmark::State& state, const char* word) {
    if (!texts().ok)
        return state.SkipWithError("reference texts not found");
    std::vector<std::unique_ptr<sqlite::Connection>> connections;
    for (const auto* config : data::allConfigs())
        connections.push_back(std::make_unique<sqlite::Connection>(
            data::dictionaryPath(*config, texts().dir.path()), sqlite::OpenMode::ReadOnly));
    const QString pattern = QStringLiteral("%") + QString::fromUtf8(word) + QStringLiteral("%");
    int count = 0;
    for (auto _ : state) {
        count = 0;
        for (size_t i = 0; i < connections.size(); ++i) {
            const data::DictionaryConfig& c = *data::allConfigs()[i];
            QString where = QStringLiteral("%1 LIKE ?1 OR %2 LIKE ?1")
                                .arg(engine::quoteIdentifier(c.headwordColumn),
                                     engine::quoteIdentifier(c.definitionColumn));
            if (c.hasScripture())
                where += QStringLiteral(" OR %1 LIKE ?1")
                             .arg(engine::quoteIdentifier(c.scriptureColumn));
            sqlite::Statement select(
                *connections[i],
                QStringLiteral("SELECT rowid, %1, substr(%2, 1, 100) FROM %3 WHERE %4")
                    .arg(engine::quoteIdentifier(c.headwordColumn),
                         engine::quoteIdentifier(c.definitionColumn),
                         engine::quoteIdentifier(c.table), where));
            select.bind(1, pattern);
            while (select.step()) {
                benchmark::DoNotOptimize(select.columnText(1));
                benchmark::DoNotOptimize(select.columnText(2));
                ++count;
            }
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
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_times[run.benchmark_name()] = {run.GetAdjustedRealTime(),
                                                 run.GetAdjustedCPUTime()};
    }
    // Wall time includes waiting for a core on a busy machine; CPU time is the work itself.
    void printRatios() const {
        std::printf("\n%-14s %11s %11s %9s %11s %11s %9s\n", "word", "find wall", "LIKE wall",
                    "ratio", "find CPU", "LIKE CPU", "ratio");
        for (const char* word : kWords) {
            const std::string suffix = std::string(word) + "/process_time/real_time";
            const auto f = m_times.find("find/" + suffix);
            const auto l = m_times.find("like/" + suffix);
            if (f == m_times.end() || l == m_times.end())
                continue;
            std::printf("%-14s %9.3fms %9.3fms %8.1fx %9.3fms %9.3fms %8.1fx\n", word,
                        f->second.first, l->second.first, l->second.first / f->second.first,
                        f->second.second, l->second.second, l->second.second / f->second.second);
        }
    }

private:
    std::map<std::string, std::pair<double, double>> m_times; // wall, CPU (ms)
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    for (const char* word : kWords) {
        // The search runs on the service's thread: CPU time is the whole process's.
        benchmark::RegisterBenchmark((std::string("find/") + word).c_str(), findRun, word)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->UseRealTime();
        benchmark::RegisterBenchmark((std::string("index/") + word).c_str(), indexRun, word)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->UseRealTime();
        benchmark::RegisterBenchmark((std::string("like/") + word).c_str(), likeRun, word)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();

    if (!texts().ok) {
        std::printf("\nreference texts not found in %s\n", qPrintable(sharedData()));
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

    // One-word searches on that file, the first results against the LIKE scan: a word in one
    // row, and a word in nearly half of them (the ranking then has that many rows to sort).
    find::DictionaryIndex index(eastons, big.path(), {});
    sqlite::Connection raw(generated, sqlite::OpenMode::ReadOnly);
    auto best = [](auto&& run) {
        qint64 fastest = std::numeric_limits<qint64>::max();
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer timer;
            timer.start();
            run();
            fastest = std::min(fastest, timer.nsecsElapsed());
        }
        return double(fastest) / 1e6;
    };
    for (const QString& word : {QStringLiteral("123456"), QStringLiteral("water")}) {
        const QString match = engine::translateFullTextQuery(word).match;
        int found = 0;
        const double findMs = best([&] {
            found = index.count(match);
            benchmark::DoNotOptimize(
                index.search(match, 0, find::FindService::kFirstEntries, false));
        });
        int scanned = 0;
        const double likeMs = best([&] {
            sqlite::Statement like(
                raw, QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %1 LIKE ?1 OR %3 LIKE ?1")
                         .arg(engine::quoteIdentifier(eastons.headwordColumn),
                              engine::quoteIdentifier(eastons.table),
                              engine::quoteIdentifier(eastons.definitionColumn)));
            like.bind(1, QStringLiteral("%") + word + QStringLiteral("%"));
            scanned = 0;
            while (like.step())
                ++scanned;
        });
        std::printf("  \"%s\" on that file: first results %.2f ms (%d entries), LIKE scan %.1f "
                    "ms (%d rows): %.1fx\n",
                    qPrintable(word), findMs, found, likeMs, scanned, likeMs / findMs);
    }
    return 0;
}
