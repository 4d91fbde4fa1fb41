// The engine's prefix query plus reading every matching headword (what the word list does on
// each keystroke) against the same work done directly with the SQLite C API on the same
// file: 4,000, 100,000 and 1,000,000 generated headwords; one- and three-letter prefixes and
// the whole table. The raw side runs twice: preparing its statement for every query, and with
// one statement prepared once and reset, as the engine keeps its own. After the runs it prints
// the ratios engine/raw and engine/raw cached for each case.
//
// Run a Release build: tolvane_engine_bench [--benchmark_filter=...]

#include "engine/Dao.h"
#include "engine/NoCaseCollation.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <sqlite3.h>

using namespace tolvane::engine;

namespace {

// One generated dictionary file per size, made once per run.
QString dictionaryFile(int rows) {
    static QTemporaryDir dir;
    static std::map<int, QString> files;
    if (auto found = files.find(rows); found != files.end())
        return found->second;
    const QString path = dir.filePath(QStringLiteral("words%1.db").arg(rows));
    sqlite::Connection db(path, sqlite::OpenMode::ReadWriteCreate);
    db.exec(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF"));
    createTextTable(db, QStringLiteral("data1"),
                    {QStringLiteral("field1"), QStringLiteral("field2"), QStringLiteral("field3")});
    QRandomGenerator random(static_cast<quint32>(rows));
    sqlite::Transaction transaction(db);
    sqlite::Statement insert(db, QStringLiteral("INSERT INTO data1 VALUES (?1, ?2, ?3)"));
    QString definition;
    for (int i = 0; i < rows; ++i) {
        // Headwords like a dictionary's: upper case, 3 to 12 letters, a few in mixed case.
        QString word;
        const int length = 3 + static_cast<int>(random.bounded(10));
        for (int k = 0; k < length; ++k)
            word += QChar(u'A' + static_cast<char16_t>(random.bounded(26)));
        if (i % 7 == 0)
            word = word.toLower();
        definition = QStringLiteral("Definition of %1: ").arg(word) + QString(60, u'x');
        insert.bind(1, word);
        insert.bind(2, definition);
        insert.bind(3, QStringLiteral("{\\rtf1 Gen 1:1}"));
        insert.run();
        insert.reset();
    }
    transaction.commit();
    createHeadwordIndex(db, QStringLiteral("data1"), QStringLiteral("field1"));
    files[rows] = path;
    return path;
}

enum class Shape { OneLetter, ThreeLetters, WholeTable };

const char* shapeName(Shape shape) {
    switch (shape) {
    case Shape::OneLetter:
        return "prefix1";
    case Shape::ThreeLetters:
        return "prefix3";
    case Shape::WholeTable:
        return "table";
    }
    return "";
}

QString prefixFor(Shape shape) {
    return shape == Shape::OneLetter ? QStringLiteral("m") : QStringLiteral("mar");
}

// The engine, as the dictionary window uses it: the query text, then the list fill.
void engineRun(benchmark::State& state, int rows, Shape shape) {
    auto db = DBEngine::instance().Workspaces(0)->OpenDatabase(dictionaryFile(rows));
    qint64 matched = 0;
    for (auto _ : state) {
        std::shared_ptr<Recordset> rs =
            shape == Shape::WholeTable
                ? db->OpenRecordset(QStringLiteral("data1"), dbOpenTable)
                : db->OpenRecordset(QStringLiteral("SELECT * FROM data1 WHERE field1 LIKE '") +
                                    prefixFor(shape) + QStringLiteral("'& '*'"));
        const int count = rs->RecordCount();
        if (count > 0) {
            rs->MoveLast();
            rs->MoveFirst();
        }
        qint64 characters = 0;
        for (int i = 0; i < count; ++i) {
            const QString headword = rs->Fields(QStringLiteral("field1")).Value().toString();
            characters += headword.size();
            rs->MoveNext();
        }
        benchmark::DoNotOptimize(characters);
        matched = count;
    }
    state.counters["rows"] = static_cast<double>(matched);
}

// The same rows read straight from SQLite: one statement, prepared per query as a program
// that sends one query per keystroke would (or, `cached`, prepared once and reset between
// queries), the range on the same index (so the same collation must be registered), every
// headword turned into a QString. A table recordset is the table in its own order, so the raw
// read is too (ORDER BY rowid).
void rawRun(benchmark::State& state, int rows, Shape shape, bool cached) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(dictionaryFile(rows)).constData(), &db, SQLITE_OPEN_READWRITE,
                    nullptr);
    registerNoCaseCollation(db);
    const char* sql = shape == Shape::WholeTable
                          ? "SELECT field1 FROM data1 ORDER BY rowid"
                          : "SELECT field1 FROM data1 WHERE field1 COLLATE TOLVANE_NOCASE >= ?1 "
                            "AND field1 COLLATE TOLVANE_NOCASE < ?2";
    const QByteArray low = prefixFor(shape).toUtf8();
    QByteArray high = low;
    high.back() = static_cast<char>(high.back() + 1);
    qint64 matched = 0;
    sqlite3_stmt* kept = nullptr;
    if (cached)
        sqlite3_prepare_v2(db, sql, -1, &kept, nullptr);
    for (auto _ : state) {
        sqlite3_stmt* statement = kept;
        if (cached)
            sqlite3_reset(statement);
        else
            sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        if (shape != Shape::WholeTable) {
            sqlite3_bind_text(statement, 1, low.constData(), static_cast<int>(low.size()),
                              SQLITE_STATIC);
            sqlite3_bind_text(statement, 2, high.constData(), static_cast<int>(high.size()),
                              SQLITE_STATIC);
        }
        qint64 count = 0;
        qint64 characters = 0;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            const QString headword = QString::fromUtf8(text, sqlite3_column_bytes(statement, 0));
            characters += headword.size();
            ++count;
        }
        if (!cached)
            sqlite3_finalize(statement);
        benchmark::DoNotOptimize(characters);
        matched = count;
    }
    sqlite3_finalize(kept);
    sqlite3_close(db);
    state.counters["rows"] = static_cast<double>(matched);
}

// Collects each run's time so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
    }
    void printRatios() const {
        // CPU time: on a shared machine the wall clock also counts time spent waiting for a core.
        std::printf("\n%-24s %16s %16s %16s %10s %16s\n", "case", "engine CPU (ms)", "raw CPU (ms)",
                    "cached CPU (ms)", "engine/raw", "engine/cached");
        for (const auto& [name, engineTime] : m_times) {
            if (name.rfind("engine/", 0) != 0)
                continue;
            const std::string key = name.substr(7);
            const auto raw = m_times.find("raw/" + key);
            const auto cached = m_times.find("raw_cached/" + key);
            if (raw == m_times.end() || cached == m_times.end())
                continue;
            std::printf("%-24s %16.3f %16.3f %16.3f %10.2f %16.2f\n", key.c_str(), engineTime,
                        raw->second, cached->second, engineTime / raw->second,
                        engineTime / cached->second);
        }
    }

private:
    std::map<std::string, double> m_times;
};

} // namespace

int main(int argc, char** argv) {
    for (int rows : {4000, 100000, 1000000}) {
        for (Shape shape : {Shape::OneLetter, Shape::ThreeLetters, Shape::WholeTable}) {
            const std::string key = std::to_string(rows) + "/" + shapeName(shape);
            benchmark::RegisterBenchmark(("engine/" + key).c_str(), engineRun, rows, shape)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("raw/" + key).c_str(), rawRun, rows, shape, false)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("raw_cached/" + key).c_str(), rawRun, rows, shape, true)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
