// An older file (made before the list index, the full-text index and the recorded collation
// versions, as the earlier program made it) at 100k and 1M rows (and 5M with
// TOLVANE_BENCH_ROWS=100000,1000000,5000000): each one-time build against its SQL floor in the
// same run, the repetitions of the two sides taken in turns, and the dictionary window opening
// such a file.
//
// - list index: the build (texts read and ordered on its thread, the stale headword index
//   rebuilt and the list index made, one transaction) against a bare REINDEX and CREATE INDEX
//   in the same collations;
// - full-text index: the fill as the Find window runs it against one INSERT ... SELECT into the
//   FTS5 table in one transaction, and the fill in steps of 2,000 rows as it was;
// - the window: from the open to the first screen of the list painted by the event loop itself,
//   and the longest pass and the 99th percentile of the event loop's passes (a 1 ms timer's
//   gaps) until every build and the fill are done;
// - then the scripted sessions of OlderFileSessions.h (TOLVANE_BENCH_SESSIONS=0 leaves them out).
//
// The generated files are written to a temporary folder, made afresh at each run.

#include "OlderFileSessions.h"
#include "data/DataOperations.h"
#include "data/DictionaryConfig.h"
#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/WordList.h"
#include "engine/FullTextIndex.h"
#include "engine/ListCollation.h"
#include "engine/ListIndexBuild.h"
#include "engine/NoCaseCollation.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "platform/AppFolder.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <random>

using namespace tolvane;
namespace sqlite = engine::sqlite;

namespace {

const data::DictionaryConfig& config() {
    return data::eastonsConfig();
}

std::vector<int> sizes() {
    const QByteArray wanted = qgetenv("TOLVANE_BENCH_ROWS");
    std::vector<int> out;
    for (const QByteArray& size :
         (wanted.isEmpty() ? QByteArray("100000,1000000") : wanted).split(','))
        if (size.toInt() > 0)
            out.push_back(size.toInt());
    return out;
}

// Random headwords (mixed case, a-z, 3 to 10 letters) with a dozen words of text, in random
// order, with the headword index only and no versions recorded: as files were made before the
// two newer indexes.
QString olderFile(int rows) {
    static QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("older-%1.db").arg(rows));
    if (QFile::exists(path))
        return path;
    {
        sqlite::Connection db(path, sqlite::OpenMode::ReadWriteCreate);
        db.exec(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF"));
        engine::createTextTable(db, config().table,
                                {config().headwordColumn, config().definitionColumn});
        const QStringList vocabulary =
            QStringLiteral("the of and to in his he that was is for by with as which from it "
                           "who be son king land city god israel people name father water house")
                .split(QLatin1Char(' '));
        std::mt19937 random(42);
        std::uniform_int_distribution<int> letter(0, 25), length(3, 10), upper(0, 3),
            word(0, int(vocabulary.size()) - 1);
        sqlite::Transaction transaction(db);
        sqlite::Statement insert(db, QStringLiteral("INSERT INTO %1 VALUES (?1, ?2)")
                                         .arg(engine::quoteIdentifier(config().table)));
        for (int i = 0; i < rows; ++i) {
            QString headword, text;
            const int n = length(random);
            for (int j = 0; j < n; ++j)
                headword += QChar((j == 0 && upper(random) == 0 ? 'A' : 'a') + letter(random));
            for (int w = 0; w < 12; ++w)
                text += vocabulary[word(random)] + QLatin1Char(' ');
            insert.bind(1, headword);
            insert.bind(2, text + QString::number(i));
            insert.run();
            insert.reset();
        }
        engine::createHeadwordIndex(db, config().table, config().headwordColumn);
        db.exec(QStringLiteral("DROP TABLE tolvane_metadata")); // no versions recorded then
        transaction.commit();
    }
    return path;
}

struct Copy {
    explicit Copy(int rows) {
        path = data::dictionaryPath(config(), dir.path());
        QFile::copy(olderFile(rows), path);
    }
    QTemporaryDir dir;
    QString path;
};

std::map<std::string, double> g_ms;  // by benchmark name: the last run's milliseconds
std::map<std::string, double> g_cpu; // the same run's CPU milliseconds, all threads

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Wall time and the whole process's CPU time of one timed stretch (the machine is shared: the
// CPU time is the work itself).
struct Timing {
    Timing() : cpu(processCpuMs()) { wall.start(); }
    QElapsedTimer wall;
    double cpu;
};

void record(benchmark::State& state, const std::string& name, const Timing& timing) {
    const double ms = double(timing.wall.nsecsElapsed()) / 1e6;
    state.SetIterationTime(ms / 1000);
    const double cpu = processCpuMs() - timing.cpu;
    // The least of the repetitions: what the work takes when the machine lets it.
    g_ms[name] = g_ms.count(name) ? std::min(g_ms[name], ms) : ms;
    g_cpu[name] = g_cpu.count(name) ? std::min(g_cpu[name], cpu) : cpu;
    state.counters["cpu_ms"] = cpu;
}

void listIndexFloor(benchmark::State& state, int rows, std::string name) {
    for (auto _ : state) {
        state.PauseTiming();
        Copy copy(rows);
        sqlite::Connection db(copy.path, sqlite::OpenMode::ReadWrite);
        state.ResumeTiming();
        const Timing timing;
        sqlite::Transaction transaction(db);
        // The file's headword index, whose versions are not recorded, is rebuilt too.
        db.exec(QStringLiteral("REINDEX %1").arg(QLatin1String(engine::kNoCaseCollation)));
        db.exec(QStringLiteral("CREATE INDEX floor ON %1 (%2 COLLATE %3)")
                    .arg(engine::quoteIdentifier(config().table),
                         engine::quoteIdentifier(config().headwordColumn),
                         QLatin1String(engine::kListCollation)));
        transaction.commit();
        record(state, name, timing);
    }
}

void listIndexBuild(benchmark::State& state, int rows, std::string name) {
    for (auto _ : state) {
        state.PauseTiming();
        Copy copy(rows);
        state.ResumeTiming();
        const Timing timing;
        engine::ListIndexBuild build(
            {copy.path, copy.path, config().table, config().headwordColumn, true, true}, 0);
        double textsMs = 0;
        while (build.isRunning()) {
            if (textsMs == 0 && build.sortedTexts())
                textsMs = double(timing.wall.nsecsElapsed()) / 1e6;
            QThread::usleep(1000); // seldom enough not to count in the build's CPU time
        }
        if (!build.indexAdded())
            state.SkipWithError("the index was not added");
        record(state, name, timing);
        g_ms[name + "/texts"] = std::max(g_ms[name + "/texts"], textsMs);
        state.counters["texts_ms"] = textsMs;
    }
}

// The dictionary's headword and definition, as the Find window indexes them.
engine::FullTextSource fullTextSource() {
    return {config().table, config().headwordColumn, config().definitionColumn, {}};
}

void fullTextFloor(benchmark::State& state, int rows, std::string name) {
    const engine::FullTextSource source = fullTextSource();
    for (auto _ : state) {
        state.PauseTiming();
        Copy copy(rows);
        sqlite::Connection db(copy.path, sqlite::OpenMode::ReadWrite);
        engine::createFullTextIndex(db, source);
        db.exec(QStringLiteral("DROP TRIGGER IF EXISTS \"%1_fts_insert\"").arg(config().table));
        state.ResumeTiming();
        const Timing timing;
        sqlite::Transaction transaction(db);
        db.exec(QStringLiteral("INSERT INTO %1 (rowid, headword, definition) SELECT rowid, %2, %3 "
                               "FROM %4")
                    .arg(engine::quoteIdentifier(engine::fullTextTableName(config().table)),
                         engine::quoteIdentifier(config().headwordColumn),
                         engine::quoteIdentifier(config().definitionColumn),
                         engine::quoteIdentifier(config().table)));
        transaction.commit();
        record(state, name, timing);
    }
}

void fullTextFill(benchmark::State& state, int rows, int stepRows, std::string name) {
    const engine::FullTextSource source = fullTextSource();
    for (auto _ : state) {
        state.PauseTiming();
        Copy copy(rows);
        sqlite::Connection db(copy.path, sqlite::OpenMode::ReadWrite);
        {
            sqlite::Transaction transaction(db);
            engine::createFullTextIndex(db, source);
            transaction.commit();
        }
        state.ResumeTiming();
        const Timing timing;
        int reports = 0;
        engine::fillFullTextIndex(
            db, source, true, [&](const engine::FullTextProgress&) { return ++reports, true; },
            stepRows);
        record(state, name, timing);
        state.counters["progress_reports"] = reports;
    }
}

class SilentMessages final : public platform::MessageBoxService {
public:
    int show(const QString&, int, const QString&) override { return 1; }
};

// Notes the first paint of the list's viewport, as the event loop delivers it, that shows rows.
class FirstScreen final : public QObject {
public:
    FirstScreen(dictwindow::WordList* list, const QElapsedTimer& clock)
        : m_list(list), m_clock(clock) {
        list->viewport()->installEventFilter(this);
    }
    double ms = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && ms == 0 && m_list->model()->rowCount() > 0 &&
            !m_list->model()->index(0, 0).data().toString().isEmpty()) {
            m_list->viewport()->removeEventFilter(this);
            const bool handled = watched->event(event); // painted, then timed
            ms = double(m_clock.nsecsElapsed()) / 1e6;
            return handled;
        }
        return false;
    }

private:
    dictwindow::WordList* m_list;
    const QElapsedTimer& m_clock;
};

// The window opening an older file: the time to its first painted screen, and the event loop's
// passes (a 1 ms timer's gaps) from just before the open until the builds and the fill are done.
void windowOpen(benchmark::State& state, int rows, std::string name) {
    for (auto _ : state) {
        state.PauseTiming();
        Copy copy(rows);
        platform::setApplicationFolder(copy.dir.path());
        dictwindow::DictionaryWindow window(config());
        std::unique_ptr<QWidget> form(window.createControls());
        form->show();
        (void)QTest::qWaitForWindowExposed(form.get());
        state.ResumeTiming();
        QElapsedTimer clock, gap;
        std::vector<double> gaps;
        QTimer ticker;
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            gaps.push_back(double(gap.nsecsElapsed()) / 1e6);
            gap.start();
        });
        clock.start();
        gap.start();
        ticker.start();
        dictwindow::WordList* list = window.controls().lstdata;
        FirstScreen first(list, clock);
        window.Form_Load();
        const double loadMs = double(clock.nsecsElapsed()) / 1e6;
        while (window.db->listPreparingPercent() >= 0 || list->isFilling() || first.ms == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); // the ticker wakes
        gaps.push_back(double(gap.nsecsElapsed()) / 1e6);
        std::sort(gaps.begin(), gaps.end());
        const double longest = gaps.back();
        const double p99 = gaps[size_t(double(gaps.size() - 1) * 0.99)];
        state.SetIterationTime(first.ms / 1000);
        // The worst of the repetitions: what the user may meet.
        auto worst = [](const std::string& key, double value) {
            g_ms[key] = std::max(g_ms.count(key) ? g_ms[key] : 0.0, value);
        };
        worst(name, first.ms);
        worst(name + "/stall", longest);
        worst(name + "/p99", p99);
        worst(name + "/done", double(clock.nsecsElapsed()) / 1e6);
        state.counters["longest_pass_ms"] = longest;
        state.counters["p99_pass_ms"] = p99;
        state.counters["form_load_ms"] = loadMs;
        state.counters["done_ms"] = double(clock.nsecsElapsed()) / 1e6;
        window.cmdend_Click();
    }
}

int repetitions() {
    const int wanted = qEnvironmentVariableIntValue("TOLVANE_BENCH_REPETITIONS");
    return wanted > 0 ? wanted : 3;
}

std::string label(int rows) {
    return rows % 1000000 == 0 ? std::to_string(rows / 1000000) + "M"
                               : std::to_string(rows / 1000) + "k";
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::setMessageBoxService(std::make_shared<SilentMessages>());
    for (const int rows : sizes()) {
        olderFile(rows);
        const std::string n = label(rows);
        auto add = [](const std::string& name, auto f, auto... args) {
            benchmark::RegisterBenchmark(name.c_str(), f, args..., name)
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime()
                ->Iterations(1);
        };
        // Each repetition takes every side once, in turns: the machine's changing load falls
        // on both sides of a ratio alike.
        for (int turn = 0; turn < repetitions(); ++turn) {
            add("list_index/" + n + "/floor", listIndexFloor, rows);
            add("list_index/" + n + "/build", listIndexBuild, rows);
            add("full_text/" + n + "/floor", fullTextFloor, rows);
            add("full_text/" + n + "/fill", fullTextFill, rows, 0);
            add("full_text/" + n + "/fill_steps_of_2000", fullTextFill, rows, 2000);
            add("window/" + n + "/first_screen", windowOpen, rows);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nbuild / floor, same run:\n");
    for (const int rows : sizes()) {
        const std::string n = label(rows);
        auto ms = [&](const std::string& key) { return g_ms.count(key) ? g_ms[key] : 0.0; };
        auto cpu = [&](const std::string& key) { return g_cpu.count(key) ? g_cpu[key] : 0.0; };
        auto cpuRatio = [&](const std::string& a, const std::string& b) {
            return cpu(b) > 0 ? cpu(a) / cpu(b) : 0.0;
        };
        const double listFloor = ms("list_index/" + n + "/floor");
        const double ftsFloor = ms("full_text/" + n + "/floor");
        if (listFloor > 0)
            std::printf(
                "%4s list index: build %.0f ms = %.2fx (texts ready at %.0f ms; the "
                "rest after them %.2fx)\n",
                n.c_str(), ms("list_index/" + n + "/build"),
                ms("list_index/" + n + "/build") / listFloor,
                ms("list_index/" + n + "/build/texts"),
                (ms("list_index/" + n + "/build") - ms("list_index/" + n + "/build/texts")) /
                    listFloor);
        std::printf(
            "     CPU: list index %.2fx; full text %.2fx, steps of 2,000 %.2fx\n",
            cpuRatio("list_index/" + n + "/build", "list_index/" + n + "/floor"),
            cpuRatio("full_text/" + n + "/fill", "full_text/" + n + "/floor"),
            cpuRatio("full_text/" + n + "/fill_steps_of_2000", "full_text/" + n + "/floor"));
        if (ftsFloor > 0)
            std::printf("%4s full text: fill %.2fx, steps of 2,000 %.2fx (floor %.0f ms)\n",
                        n.c_str(), ms("full_text/" + n + "/fill") / ftsFloor,
                        ms("full_text/" + n + "/fill_steps_of_2000") / ftsFloor, ftsFloor);
        std::printf("%4s window: first screen %.1f ms, longest pass %.1f ms, p99 %.1f ms, all "
                    "done %.0f ms (worst of the repetitions)\n",
                    n.c_str(), ms("window/" + n + "/first_screen"),
                    ms("window/" + n + "/first_screen/stall"),
                    ms("window/" + n + "/first_screen/p99"),
                    ms("window/" + n + "/first_screen/done"));
    }
    if (qEnvironmentVariable("TOLVANE_BENCH_SESSIONS") != QLatin1String("0")) {
        std::printf("\nscripted sessions:\n");
        std::fflush(stdout);
        for (const int rows : sizes())
            bench::runOlderFileSessions(config(), olderFile(rows), label(rows));
    }
    return 0;
}
