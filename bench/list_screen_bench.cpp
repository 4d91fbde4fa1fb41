// What the user sees of the word list, timed up to the list painted on screen (the end of the
// list viewport's paint event), with the real dictionary window driven offscreen:
//
// - typing/SIZE/key_N: the N-th letter of "bet" typed into the box (the first over the whole
//   list), and in turn with it its floor: the same index range read through the SQLite C API
//   (the SQL the list runs for that prefix), its headwords made into a QStringListModel and
//   one paint of a plain QListView of the same size with the same uniform rows;
// - first_screen/SIZE/PATH: every path that shows the whole list, up to its first screen:
//   opening the window (the dictionary menu), emptying the box, Get New Word, Cancel, and a
//   window opened on one entry (Find, Back/Forward);
// - fill/SIZE: after emptying the box, the time from the first screen to the list's full
//   length (the scroll bar right), to the last row read, the longest pass of the event loop
//   during the whole fill (what a key waits for at worst; wall and this thread's CPU time),
//   and a key posted in the middle of the fill: until it is handled, and up to the list for
//   it painted.
//
// Wall time (the paint's end is a moment, not a CPU share): run it on a quiet machine and read
// the ratios of the same run. The generated files are kept under $TOLVANE_BENCH_CACHE
// (build/bench-cache by default) and made once; 5,000,000 rows only when asked for:
//
//   build/bin/tolvane_list_screen_bench
//   TOLVANE_BENCH_ROWS=1000000,5000000 build/bin/tolvane_list_screen_bench

#include "GeneratedDictionary.h"
#include "ListScreen.h"

#include "data/DataOperations.h"
#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "engine/ListCollation.h"
#include "engine/NoCaseCollation.h"
#include "engine/Schema.h"
#include "platform/AppFolder.h"
#include "platform/MessageBox.h"
#include "shell/Forms.h"
#include "shell/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QTest>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <memory>

using namespace tolvane;
using bench::sizeName;

namespace {

using namespace bench;

class SilentMessages final : public platform::MessageBoxService {
public:
    int show(const QString&, int, const QString&) override { return 1; }
};

const QString kTyped = QStringLiteral("bet");

// --- typing -------------------------------------------------------------------------------

// Lets the event loop finish what is pending (a view's delayed layout and its repaint), so that
// none of it is timed with what comes next.
void settle() {
    for (int pass = 0; pass < 4; ++pass)
        QApplication::processEvents();
}

// Up to the viewport's last paint for a change, in milliseconds (negative when it was not
// painted): a view whose first paint comes before its delayed layout paints again once laid
// out, and only that paint shows the rows. `later` counts the paints after the first.
double untilSettledPaint(QWidget* viewport, int paintsBefore, qint64 start, int& later) {
    if (app().untilPainted(viewport, paintsBefore, start) < 0)
        return -1;
    const int first = app().paints;
    settle();
    later += app().paints - first;
    return double(app().paintedAt - start) / 1e6;
}

// The floor of a keystroke: the range the list reads for a prefix (from the prefix to the
// prefix followed by U+FFFF in the list order, through the list index, with the row ids) read
// through the SQLite C API, its headwords made into a QStringListModel and one paint of a
// plain QListView of the list's size.
class Floor {
public:
    explicit Floor(const Window& w) {
        sqlite3_open_v2(QFile::encodeName(QDir(w.folder).filePath(config().fileName)).constData(),
                        &m_db, SQLITE_OPEN_READONLY, nullptr);
        engine::registerNoCaseCollation(m_db);
        engine::registerListCollation(m_db);
        const QString by = engine::quoteIdentifier(config().headwordColumn) +
                           QStringLiteral(" COLLATE ") + QLatin1String(engine::kListCollation);
        const QString sql =
            QStringLiteral("SELECT rowid, %1 FROM %2 INDEXED BY %3 WHERE %4 >= ?1 AND %4 <= ?2 "
                           "ORDER BY %4, rowid")
                .arg(engine::quoteIdentifier(config().headwordColumn),
                     engine::quoteIdentifier(config().table),
                     engine::quoteIdentifier(
                         engine::listIndexName(config().table, config().headwordColumn)),
                     by);
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &m_statement, nullptr) !=
            SQLITE_OK)
            m_error = sqlite3_errmsg(m_db);
        m_view.setUniformItemSizes(true);
        m_view.setModel(&m_model);
        m_view.resize(w.list()->size());
        // The window typed into stays the active one, as while the user types in it.
        m_view.setAttribute(Qt::WA_ShowWithoutActivating);
        m_view.show();
        (void)QTest::qWaitForWindowExposed(&m_view);
        w.form->activateWindow();
        (void)QTest::qWaitForWindowActive(w.form.get());
    }
    ~Floor() {
        sqlite3_finalize(m_statement);
        sqlite3_close(m_db);
    }
    const std::string& error() const { return m_error; }

    // One read and paint of `prefix`'s rows, from an empty view: its milliseconds, or a
    // negative time when the view was not painted.
    double run(const QString& prefix, int& laterPaints) {
        const QByteArray low = prefix.toUtf8();
        const QByteArray high = (prefix + QChar(0xFFFF)).toUtf8();
        const int before = app().paints;
        const qint64 start = app().clock.nsecsElapsed();
        {
            sqlite3_reset(m_statement);
            sqlite3_bind_text(m_statement, 1, low.constData(), int(low.size()), SQLITE_STATIC);
            sqlite3_bind_text(m_statement, 2, high.constData(), int(high.size()), SQLITE_STATIC);
            QStringList words;
            while (sqlite3_step(m_statement) == SQLITE_ROW) {
                benchmark::DoNotOptimize(sqlite3_column_int64(m_statement, 0));
                words << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(m_statement, 1)),
                    sqlite3_column_bytes(m_statement, 1));
            }
            m_model.setStringList(words);
        }
        const double ms = untilSettledPaint(m_view.viewport(), before, start, laterPaints);
        m_listed = m_model.rowCount();
        m_model.setStringList({});
        settle();
        return ms;
    }
    int listed() const { return m_listed; }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    std::string m_error;
    int m_listed = 0;
    QStringListModel m_model;
    QListView m_view;
};

// The key-th letter of "bet" typed, and its floor, taken in turns: the two medians are taken
// under the same conditions of a shared machine (a busy spell slows both, not one of them).
// Each is timed up to the list's last paint, once the event loop has nothing more to do for
// it. The manual time is the window's.
void BM_Typing(benchmark::State& state, int rows, int key) {
    Window& w = windowFor(rows);
    // A file made just now gets its list index in the background; the floor reads through it.
    while (w.window->db->listPreparingPercent() >= 0)
        QTest::qWait(20);
    Floor floor(w);
    if (!floor.error().empty()) {
        state.SkipWithError(floor.error().c_str());
        return;
    }
    std::vector<double> typed, floorTimes;
    int laterTyped = 0, laterFloor = 0;
    for (auto _ : state) {
        state.PauseTiming();
        showSearch(w, kTyped.left(key - 1));
        settle();
        state.ResumeTiming();
        const int before = app().paints;
        const qint64 start = app().clock.nsecsElapsed();
        QTest::keyClick(w.box(), kTyped.at(key - 1).toLatin1());
        typed.push_back(untilSettledPaint(w.list()->viewport(), before, start, laterTyped));
        state.SetIterationTime(std::max(typed.back(), 1e-6) / 1e3);
        state.PauseTiming();
        floorTimes.push_back(floor.run(kTyped.left(key), laterFloor));
        if (typed.back() < 0 || floorTimes.back() < 0)
            state.SkipWithError("a list was not painted");
        state.ResumeTiming();
    }
    // Paints after the first: a list painted before it was laid out painted again.
    state.counters["later_paints"] = double(laterTyped) / double(state.iterations());
    state.counters["floor_later_paints"] = double(laterFloor) / double(state.iterations());
    state.counters["rows"] = floor.listed();
    reportMedian(state, typed);
    std::nth_element(floorTimes.begin(), floorTimes.begin() + floorTimes.size() / 2,
                     floorTimes.end());
    state.counters["floor_median_ms"] = floorTimes[floorTimes.size() / 2];
}

// --- the whole list's first screen --------------------------------------------------------

enum class Path { Open, EmptyBox, GetNewWord, Cancel, OnOneEntry };

// Whether `list` shows rows now, found as its paint finds them, or has none to show. (A list
// view's layout is cleared when rows come and redone later; a paint that found no rows in
// between would draw an empty viewport.)
std::function<bool()> showsRows(dictwindow::WordList* list) {
    return
        [list] { return list->model()->rowCount() == 0 || list->indexAt(QPoint(1, 1)).isValid(); };
}

// Paints of an empty viewport before a first screen (not timed as the first screen), counted
// from its making to report().
class BlankPaints {
public:
    void report(benchmark::State& state) const {
        state.counters["blank_paints"] =
            double((app().allPaints - m_all) - (app().paints - m_counted)) /
            double(state.iterations());
    }

private:
    int m_all = app().allPaints;
    int m_counted = app().paints;
};

void BM_FirstScreen(benchmark::State& state, int rows, Path path) {
    Window& w = windowFor(rows);
    const QString headword = w.list()->List(w.list()->ListCount() / 2);
    std::vector<double> times;
    const BlankPaints blank;
    for (auto _ : state) {
        if (path == Path::Open || path == Path::OnOneEntry) {
            dictwindow::DictionaryWindow window(config());
            std::unique_ptr<QWidget> form(window.createControls());
            app().shows = showsRows(window.controls().lstdata);
            timeToPaint(state, window.controls().lstdata->viewport(), times, [&] {
                if (path == Path::OnOneEntry)
                    window.loadNarrowedTo(headword);
                window.Form_Load();
                if (path == Path::OnOneEntry)
                    window.showHeadword(headword, 0);
                form->show();
            });
            state.PauseTiming();
            app().shows = nullptr;
            form.reset();
            data::closeDictionary(window.db);
            QApplication::processEvents();
            state.ResumeTiming();
            continue;
        }
        showSearch(w, path == Path::EmptyBox ? QStringLiteral("b") : QStringLiteral("zq"));
        if (path == Path::GetNewWord)
            w.window->controls().Command1->setFocus();
        if (path == Path::Cancel)
            w.window->cmdEdit_Click();
        settle(); // nothing of the search before is painted in the time of the path's own
        app().shows = showsRows(w.list());
        if (path == Path::EmptyBox) {
            timeToPaint(state, w.list()->viewport(), times,
                        [&] { QTest::keyClick(w.box(), Qt::Key_Backspace); });
        } else if (path == Path::GetNewWord) {
            timeToPaint(state, w.list()->viewport(), times,
                        [&] { QTest::keyClick(w.window->controls().Command1, Qt::Key_Space); });
        } else {
            timeToPaint(state, w.list()->viewport(), times, [&] { w.window->cmdcancel_Click(); });
        }
        state.PauseTiming();
        app().shows = nullptr;
        waitForTheFill(*w.list());
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    blank.report(state);
    reportMedian(state, times);
}

// The whole program's path: the main window's menu command for the dictionary, up to the
// first screen of the dictionary window it shows (an MDI child of the main window), and the
// window closed again between runs.
void BM_FromTheMenu(benchmark::State& state, int rows) {
    Window& w = windowFor(rows);
    platform::setApplicationFolder(w.folder);
    shell::Forms forms;
    forms.frmMain().Show();
    QWidget* main = forms.mainWindow();
    (void)QTest::qWaitForWindowExposed(main);
    auto* command = main->findChild<QAction*>(QStringLiteral("mnuDictioanariesHitchcock"));
    std::vector<double> times;
    const BlankPaints blank;
    for (auto _ : state) {
        dictwindow::DictionaryWindow& window = forms.dictionaryWindow(config());
        const int before = app().paints;
        const qint64 start = app().clock.nsecsElapsed();
        command->trigger();
        dictwindow::WordList* list = window.controls().lstdata;
        app().shows = showsRows(list);
        const double seconds = app().untilPainted(list->viewport(), before, start);
        app().shows = nullptr;
        if (seconds < 0)
            state.SkipWithError("the list was not painted");
        state.SetIterationTime(std::max(seconds, 1e-9));
        times.push_back(seconds * 1e3);
        state.PauseTiming();
        waitForTheFill(*list);
        forms.frmHitchcock().Unload();
        settle();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    blank.report(state);
    reportMedian(state, times);
    forms.frmMain().Unload();
    settle();
    platform::setApplicationFolder(w.folder);
}

// --- the fill behind the first screen -----------------------------------------------------

// Emptying the box, then the event loop run pass by pass until the fill ends. Manual time:
// the first screen to the list's full length (the scroll bar right).
void BM_Fill(benchmark::State& state, int rows) {
    Window& w = windowFor(rows);
    double toFull = 0, toEnd = 0, longestPass = 0, longestPassCpu = 0, keyWait = 0, keyDuring = 0,
           longestBlank = 0;
    for (auto _ : state) {
        showSearch(w, QStringLiteral("b"));
        // Every pass of the event loop after the keystroke, the one that paints the first
        // screen included (it also runs the fill's first step).
        const int before = app().paints;
        QTest::keyClick(w.box(), Qt::Key_Backspace);
        app().watched = w.list()->viewport();
        qint64 painted = -1, full = -1, last = app().clock.nsecsElapsed(), longest = 0,
               longestCpu = 0, blankSince = -1;
        const auto shows = showsRows(w.list());
        while (w.list()->isFilling() || painted < 0) {
            const qint64 cpu = threadCpuNanoseconds();
            QApplication::processEvents();
            const qint64 now = app().clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            longestCpu = std::max(longestCpu, threadCpuNanoseconds() - cpu);
            last = now;
            if (painted < 0 && app().paints != before)
                painted = app().paintedAt;
            // After the first screen, how long the list shows none of its rows at a time.
            if (painted >= 0 && !shows() && blankSince < 0)
                blankSince = now;
            if (blankSince >= 0 && shows()) {
                longestBlank = std::max(longestBlank, double(now - blankSince) / 1e6);
                blankSince = -1;
            }
            if (painted >= 0 && full < 0 && w.list()->model()->rowCount() == rows)
                full = now;
        }
        if (full < 0)
            full = last;
        if (blankSince >= 0)
            longestBlank = std::max(longestBlank, double(last - blankSince) / 1e6);
        state.SetIterationTime(double(full - painted) / 1e9);
        toFull += double(full - painted) / 1e6;
        toEnd += double(last - painted) / 1e6;
        longestPass = std::max(longestPass, double(longest) / 1e6);
        longestPassCpu = std::max(longestPassCpu, double(longestCpu) / 1e6);

        // A key pressed while the fill runs: posted as the window system would, after a few
        // passes, up to the new list painted.
        state.PauseTiming();
        showSearch(w, QStringLiteral("b"));
        QTest::keyClick(w.box(), Qt::Key_Backspace);
        for (int pass = 0; pass < 20 && w.list()->isFilling(); ++pass)
            QApplication::processEvents();
        const int paintsBefore = app().paints;
        const qint64 pressed = app().clock.nsecsElapsed();
        app().keyAt = -1;
        QCoreApplication::postEvent(w.box(), new QKeyEvent(QEvent::KeyPress, Qt::Key_B,
                                                           Qt::NoModifier, QStringLiteral("b")));
        keyDuring = std::max(keyDuring,
                             app().untilPainted(w.list()->viewport(), paintsBefore, pressed) * 1e3);
        keyWait = std::max(keyWait, double(app().keyAt - pressed) / 1e6);
        state.ResumeTiming();
    }
    const double n = double(state.iterations());
    state.counters["to_full_length_ms"] = toFull / n;
    state.counters["to_last_row_ms"] = toEnd / n;
    state.counters["longest_pass_ms"] = longestPass;
    state.counters["longest_blank_ms"] = longestBlank; // rows not shown after the first screen
    state.counters["longest_pass_cpu_ms"] = longestPassCpu;
    state.counters["key_wait_ms"] = keyWait;          // posted to handled
    state.counters["key_during_fill_ms"] = keyDuring; // posted to the list for "b" painted
}

// The list's count as the fill takes it (in pieces, `piece` entries each) against count(*) in
// one go (piece 0), CPU time; the longest piece is what a key can wait for.
void BM_Count(benchmark::State& state, int rows, qsizetype piece) {
    Window& w = windowFor(rows);
    double longest = 0;
    for (auto _ : state) {
        auto pages = w.window->db->OpenListPages(config().table, config().headwordColumn);
        if (piece == 0) {
            benchmark::DoNotOptimize(pages->textCount());
            continue;
        }
        engine::ListPages::Step step = engine::ListPages::Step::More;
        while (step == engine::ListPages::Step::More) {
            const qint64 before = threadCpuNanoseconds();
            step = pages->countSome(piece);
            longest = std::max(longest, double(threadCpuNanoseconds() - before) / 1e6);
        }
        if (pages->textCount() != rows)
            state.SkipWithError("the count in pieces is not the row count");
    }
    state.counters["longest_piece_ms"] = longest;
}

void registerAll() {
    for (const int rows : bench::benchSizes("4000,100000,1000000")) {
        const std::string size = sizeName(rows);
        const auto add = [](const std::string& name, auto&&... args) {
            return benchmark::RegisterBenchmark(name.c_str(), args...)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        };
        for (int key = 1; key <= 3; ++key) {
            const std::string label = size + "/key_" + std::to_string(key);
            // Many runs for a steady median, except where each run first waits for the
            // whole list (the first letter).
            const int runs = key == 1 ? 20 : 300;
            add("typing/" + label, BM_Typing, rows, key)->Iterations(runs);
        }
        for (const auto& [name, path] : {std::pair{"open", Path::Open},
                                         {"empty_box", Path::EmptyBox},
                                         {"get_new_word", Path::GetNewWord},
                                         {"cancel", Path::Cancel},
                                         {"on_one_entry", Path::OnOneEntry}})
            add("first_screen/" + size + "/" + name, BM_FirstScreen, rows, path)->Iterations(5);
        add("first_screen/" + size + "/from_the_menu", BM_FromTheMenu, rows)->Iterations(5);
        if (rows >= 1'000'000)
            add("fill/" + size, BM_Fill, rows)->Iterations(3);
        for (const qsizetype piece : {0, 65'536})
            benchmark::RegisterBenchmark(
                ("count/" + size + "/" + (piece ? "in_pieces" : "whole")).c_str(), BM_Count, rows,
                piece)
                ->Unit(benchmark::kMillisecond);
    }
}

// Prints typing/floor ratios at the end, from each run's medians (wall time).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto typed = run.counters.find("median_ms");
            const auto floor = run.counters.find("floor_median_ms");
            if (!run.error_occurred && typed != run.counters.end() && floor != run.counters.end())
                m_times[run.benchmark_name()] = {typed->second, floor->second};
        }
    }
    void printRatios() const {
        std::printf("\n%-20s %12s %12s %8s\n", "keystroke (median)", "window ms", "floor ms",
                    "ratio");
        for (const auto& [name, times] : m_times) {
            const std::string label = name.substr(7, name.find("/iter") - 7);
            std::printf("%-20s %12.3f %12.3f %8.2f\n", label.c_str(), times.first, times.second,
                        times.first / times.second);
        }
    }

private:
    std::map<std::string, std::pair<double, double>> m_times; // typing, floor
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    bench::PaintClock application(argc, argv);
    application.clock.start();
    platform::setMessageBoxService(std::make_shared<SilentMessages>());
    benchmark::Initialize(&argc, argv);
    registerAll();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    bench::closeWindows();
    benchmark::Shutdown();
    return 0;
}
