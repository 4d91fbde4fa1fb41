// How long a keystroke in the search box takes to bring the refilled word list on screen,
// with the real dictionary window driven offscreen by key clicks, on Easton's dictionary and
// on generated tables of 4,000, 100,000 and 1,000,000 rows (and 5,000,000 when asked for).
// In the same run, the floor over exactly the same rows: sqlite3_step over the same index
// range the engine reads (the list index, in list order), building a QString for every
// headword, in this process; and for the smaller sizes the fill of a plain sorted QListWidget.
// The engine's share of a keystroke is measured on its own too (engine/...): the listing
// opened and its headwords taken, without the window's key handling, layout and painting.
// Floor and engine share run in loops of their own, with warm caches; for three letters they
// are also timed each right after a window keystroke (..._after_keystroke/...), as the
// window's own search runs.
//
//   TOLVANE_SHARED_DIR=/work/shared build/bin/tolvane_dictwindow_bench
//   TOLVANE_BENCH_ROWS=1000000,5000000 build/bin/tolvane_dictwindow_bench   # sizes to make
//
// At the end it prints window/floor ratios (CPU time), and for every generated size: the
// one-time cost of opening a file made before the list index existed (the engine adds the
// index and rebuilds the headword index), the resident memory of the open window above the
// headwords' UTF-16 size, and the peak during a whole-list refill against the steady state,
// also after an entry was chosen (against the state after the click and against the
// whole-list steady state the refill returns to).

#include "GeneratedDictionary.h"

#include "data/DataOperations.h"
#include "data/DictionaryConfig.h"
#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "engine/Dao.h"
#include "engine/ListCollation.h"
#include "engine/NoCaseCollation.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "import/CsvImport.h"
#include "platform/AppFolder.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>

using namespace tolvane;
using bench::benchSizes;
using bench::sizeName;
using bench::writeGeneratedDictionary;

namespace {

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// A line "Key:   123 kB" of /proc/self/status, in bytes.
double statusBytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::atof(line.c_str() + prefix.size()) * 1024.0;
    return 0;
}

// Resident memory now, after handing freed heap back to the system.
double residentBytes() {
    malloc_trim(0);
    return statusBytes("VmRSS");
}

// Starts a new peak: the kernel's high-water mark of resident memory is reset to now.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Runs the event loop until the word list's fill in pages has read its last page.
void waitForTheFill(dictwindow::WordList& list) {
    while (list.isFilling())
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

// Answers every message box with OK, so that no modal dialog ever opens.
class SilentMessages final : public platform::MessageBoxService {
public:
    int show(const QString&, int, const QString&) override { return ++count, 1; }
    int count = 0;
};

// One open dictionary window over one dictionary file.
struct OpenWindow {
    const data::DictionaryConfig* config;
    QString folder;
    std::unique_ptr<dictwindow::DictionaryWindow> window;
    std::unique_ptr<QWidget> form;
};

// What was measured once per generated size, printed at the end.
struct SizeFacts {
    int rows = 0;
    double firstOpenMs = 0;    // opening the old file: list index added, headword index rebuilt
    double bytesPerRow = 0;    // resident memory of the open window per row
    double utf16PerRow = 0;    // the headwords' own UTF-16 size per row
    double steadyMb = 0;       // process, whole list shown
    double refillPeakMb = 0;   // process, peak while a whole list replaces the whole list
    double windowSteadyMb = 0; // the same two without what the process held before the window
    double windowPeakMb = 0;
    // The same refill with an entry chosen first. The window then holds the chosen row's set
    // instead of the whole table's, so it sits below its whole-list steady state (by the
    // table's row ids), and the refill brings it back there: the peak is given against both.
    double afterClickMb = 0;     // process, an entry chosen, the whole list still shown
    double afterClickPeakMb = 0; // process, peak while Cancel lists the whole table again
    double afterRefillMb = 0;    // process, that refill done: the whole-list steady state
};

class Fixture {
public:
    static Fixture& get() {
        if (!s_instance)
            s_instance.reset(new Fixture);
        return *s_instance;
    }
    // The windows must go before the application object does.
    static void release() { s_instance.reset(); }

    OpenWindow* window(const std::string& name) {
        auto it = m_windows.find(name);
        return it == m_windows.end() ? nullptr : &it->second;
    }
    QString file(const std::string& name) { return window(name) ? m_files[name] : QString(); }
    const std::vector<SizeFacts>& facts() const { return m_facts; }

    std::shared_ptr<SilentMessages> messages = std::make_shared<SilentMessages>();

private:
    Fixture() {
        platform::setMessageBoxService(messages);
        const QByteArray shared = qgetenv("TOLVANE_SHARED_DIR");
        const QString csv =
            QDir(shared.isEmpty() ? QStringLiteral("../shared") : QString::fromLocal8Bit(shared))
                .filePath(QStringLiteral("data/eastons.csv"));
        if (QFileInfo::exists(csv)) {
            const QString folder = m_dir.filePath(QStringLiteral("eastons"));
            QDir().mkpath(folder);
            import::CsvImportRequest request;
            request.dictionary = &data::eastonsConfig();
            request.input = csv;
            request.output = QDir(folder).filePath(data::eastonsConfig().fileName);
            import::importCsv(request);
            open("eastons", data::eastonsConfig(), folder);
        }
        for (const int rows : benchSizes("4000,100000,1000000"))
            openGenerated(rows);
    }

    void openGenerated(int rows) {
        const auto& config = data::hitchcockConfig();
        const std::string name = sizeName(rows);
        const QString folder = m_dir.filePath(QString::fromStdString(name));
        QDir().mkpath(folder);
        const QString path = QDir(folder).filePath(config.fileName);
        SizeFacts facts;
        facts.rows = rows;
        facts.utf16PerRow = writeGeneratedDictionary(path, config, rows) / rows;
        {
            QElapsedTimer timer;
            timer.start();
            auto db = engine::DBEngine::instance().Workspaces(0)->OpenDatabase(path);
            facts.firstOpenMs = double(timer.nsecsElapsed()) / 1e6;
        }
        const double before = residentBytes();
        open(name, config, folder);
        const double steady = residentBytes();
        facts.bytesPerRow = (steady - before) / rows;
        // A whole list replacing the whole list: Cancel lists the table again. Right after the
        // fill, the recordset it replaces is the whole table (its row ids still held).
        dictwindow::DictionaryWindow& window = *this->window(name)->window;
        resetPeak();
        window.cmdcancel_Click();
        waitForTheFill(*window.controls().lstdata);
        const double peak = statusBytes("VmHWM");
        // As the editor is used: an entry chosen first, so the recordset replaced is its
        // headword query.
        auto* list = window.controls().lstdata;
        list->setCurrentIndex(list->model()->index(0, 0));
        window.lstdata_Click();
        facts.afterClickMb = residentBytes() / 1e6;
        resetPeak();
        window.cmdcancel_Click();
        waitForTheFill(*window.controls().lstdata);
        facts.afterClickPeakMb = statusBytes("VmHWM") / 1e6;
        facts.afterRefillMb = residentBytes() / 1e6;
        facts.steadyMb = steady / 1e6;
        facts.refillPeakMb = peak / 1e6;
        facts.windowSteadyMb = (steady - before) / 1e6;
        facts.windowPeakMb = (peak - before) / 1e6;
        m_facts.push_back(facts);
    }

    void open(const std::string& name, const data::DictionaryConfig& config,
              const QString& folder) {
        platform::setApplicationFolder(folder);
        OpenWindow w{&config, folder, std::make_unique<dictwindow::DictionaryWindow>(config), {}};
        w.form.reset(w.window->createControls());
        w.window->Form_Load();
        w.form->show();
        (void)QTest::qWaitForWindowExposed(w.form.get());
        waitForTheFill(*w.window->controls().lstdata);
        m_files[name] = QDir(folder).filePath(config.fileName);
        m_windows.emplace(name, std::move(w));
    }

    static inline std::unique_ptr<Fixture> s_instance;
    QTemporaryDir m_dir;
    std::map<std::string, OpenWindow> m_windows;
    std::map<std::string, QString> m_files;
    std::vector<SizeFacts> m_facts;
};

// The window of the dictionary `name`, or null with the benchmark skipped when it is missing.
OpenWindow* windowOrSkip(benchmark::State& state, const std::string& name) {
    OpenWindow* w = Fixture::get().window(name);
    if (!w)
        state.SkipWithError("dictionary not available");
    return w;
}

// Puts text into the search box without running the search, so that the measured keystroke
// alone does the work.
void presetSearchText(OpenWindow& w, const QString& text) {
    auto* box = w.window->controls().txtSearch;
    const bool blocked = box->blockSignals(true);
    box->setText(text);
    box->blockSignals(blocked);
    box->setFocus();
}

// A three-letter keystroke in the window, as window/.../three_letters times it, to leave the
// caches as a keystroke leaves them for the next one.
void typeAsTheWindowBenchmarkDoes(OpenWindow& w) {
    presetSearchText(w, QStringLiteral("be"));
    w.window->controls().txtSearch->setCursorPosition(2);
    QTest::keyClick(w.window->controls().txtSearch, 't');
    QApplication::processEvents();
}

// What a search for `prefix` lists (the empty prefix: the whole table), in list order.
QStringList rowsFor(OpenWindow& w, const QString& prefix) {
    presetSearchText(w, prefix.isEmpty() ? QStringLiteral("#") : QString());
    w.window->controls().txtSearch->setText(prefix);
    QStringList items;
    auto* list = w.window->controls().lstdata;
    for (int i = 0, n = list->ListCount(); i < n; ++i)
        items << list->List(i);
    return items;
}

// --- the window ---------------------------------------------------------------------------

// A letter typed after `before` (whose search is not run), up to the refilled, painted list;
// key 0 is Backspace.
void BM_WindowKeystroke(benchmark::State& state, const std::string& name, QString before,
                        char key) {
    OpenWindow* w = windowOrSkip(state, name);
    if (!w)
        return;
    auto* box = w->window->controls().txtSearch;
    for (auto _ : state) {
        state.PauseTiming();
        presetSearchText(*w, before);
        box->setCursorPosition(int(before.size()));
        state.ResumeTiming();
        if (key)
            QTest::keyClick(box, key);
        else
            QTest::keyClick(box, Qt::Key_Backspace);
        QApplication::processEvents();
    }
    state.counters["rows"] = w->window->controls().lstdata->ListCount();
    state.counters["peak_rss_mb"] = peakRssMb();
}

// Get New Word pressed from the keyboard: the search for "a", then the whole list.
void BM_WindowGetNewWord(benchmark::State& state, const std::string& name) {
    OpenWindow* w = windowOrSkip(state, name);
    if (!w)
        return;
    QPushButton* button = w->window->controls().Command1;
    for (auto _ : state) {
        state.PauseTiming();
        presetSearchText(*w, QStringLiteral("zq"));
        button->setFocus();
        state.ResumeTiming();
        QTest::keyClick(button, Qt::Key_Space);
        QApplication::processEvents();
    }
    state.counters["rows"] = w->window->controls().lstdata->ListCount();
    state.counters["peak_rss_mb"] = peakRssMb();
}

// --- the engine's share: the same search without the window ----------------------------

// What the window asks of the engine for a keystroke: the listing opened on the window's own
// database and its headwords taken in one block. The rest of a keystroke is the window's.
// `afterKeystroke`: each run follows an untimed window keystroke (caches as in the window).
void BM_EngineListing(benchmark::State& state, const std::string& name, QString prefix,
                      bool afterKeystroke) {
    OpenWindow* w = windowOrSkip(state, name);
    if (!w)
        return;
    const data::DictionaryConfig& config = *w->config;
    qsizetype rows = 0;
    for (auto _ : state) {
        if (afterKeystroke) {
            state.PauseTiming();
            typeAsTheWindowBenchmarkDoes(*w);
            state.ResumeTiming();
        }
        auto listing = data::openListing(config, w->window->db, prefix);
        engine::TextBlock headwords =
            listing->takeRemainingText(listing->columnIndex(config.headwordColumn));
        rows = headwords.size();
        benchmark::DoNotOptimize(headwords);
    }
    state.counters["rows"] = double(rows);
}

// The engine's share of a whole list's first screen: the pages opened (the counts) and the
// first page read.
void BM_EngineFirstPage(benchmark::State& state, const std::string& name) {
    OpenWindow* w = windowOrSkip(state, name);
    if (!w)
        return;
    for (auto _ : state) {
        auto pages = w->window->db->OpenListPages(w->config->table, w->config->headwordColumn);
        engine::TextBlock first;
        pages->next(first, 1024);
        benchmark::DoNotOptimize(first);
    }
}

// --- baseline: the same rows into a plain sorted QListWidget -------------------------------

void BM_ListWidgetFill(benchmark::State& state, const std::string& name, QString prefix) {
    OpenWindow* w = windowOrSkip(state, name);
    if (!w)
        return;
    const QStringList items = rowsFor(*w, prefix);
    QListWidget list;
    list.setSortingEnabled(true);
    list.resize(200, 170);
    list.show();
    for (auto _ : state) {
        list.clear();
        for (const QString& item : items)
            list.addItem(item);
        QApplication::processEvents();
    }
    state.counters["rows"] = double(items.size());
}

// --- the floor: the same index range, the same strings ------------------------------------

// sqlite3_step over the list index, as the engine reads it (the whole index, or a prefix's
// range of it from the prefix to the prefix followed by U+FFFF), a QString made for every
// headword; the statement prepared once, as the engine keeps its own.
void BM_Floor(benchmark::State& state, const std::string& name, QString prefix,
              bool afterKeystroke) {
    OpenWindow* w = windowOrSkip(state, name);
    if (!w)
        return;
    const auto& cfg = *w->config;
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(Fixture::get().file(name)).constData(), &db,
                    SQLITE_OPEN_READONLY, nullptr);
    engine::registerNoCaseCollation(db);
    engine::registerListCollation(db);
    const QString column = engine::quoteIdentifier(cfg.headwordColumn) +
                           QStringLiteral(" COLLATE ") + QLatin1String(engine::kListCollation);
    const QString index =
        engine::quoteIdentifier(engine::listIndexName(cfg.table, cfg.headwordColumn));
    QString sql = QStringLiteral("SELECT rowid, %1 FROM %2 INDEXED BY %3 ")
                      .arg(engine::quoteIdentifier(cfg.headwordColumn),
                           engine::quoteIdentifier(cfg.table), index);
    if (!prefix.isEmpty())
        sql += QStringLiteral("WHERE %1 >= ?1 AND %1 <= ?2 ").arg(column);
    sql += QStringLiteral("ORDER BY %1, rowid").arg(column);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_close(db);
        return;
    }
    const QByteArray low = prefix.toUtf8();
    const QByteArray high = (prefix + QChar(0xFFFF)).toUtf8();
    int rows = 0;
    for (auto _ : state) {
        if (afterKeystroke) {
            state.PauseTiming();
            typeAsTheWindowBenchmarkDoes(*w);
            state.ResumeTiming();
        }
        rows = 0;
        sqlite3_reset(statement);
        if (!prefix.isEmpty()) {
            sqlite3_bind_text(statement, 1, low.constData(), int(low.size()), SQLITE_STATIC);
            sqlite3_bind_text(statement, 2, high.constData(), int(high.size()), SQLITE_STATIC);
        }
        while (sqlite3_step(statement) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_int64(statement, 0));
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
            QString headword = QString::fromUtf8(text, sqlite3_column_bytes(statement, 1));
            benchmark::DoNotOptimize(headword);
            ++rows;
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    state.counters["rows"] = rows;
}

// Collects each run's CPU time so the window/floor ratios can be printed at the end (CPU
// time: on a shared machine the wall clock also counts waiting for a core; with repetitions,
// their median).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With --benchmark_repetitions, the median of the repetitions.
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            if (run.run_type == Run::RT_Iteration && run.repetitions <= 1)
                m_times[run.benchmark_name()] = run.GetAdjustedCPUTime();
            else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_times[run.run_name.str()] = run.GetAdjustedCPUTime();
        }
    }
    void printRatios() const {
        std::printf("\n%-30s %14s %14s %10s\n", "case", "window (ms)", "floor (ms)",
                    "window/floor");
        for (const auto& [name, windowTime] : m_times) {
            if (name.rfind("window/", 0) != 0)
                continue;
            std::string floorName = name.substr(7);
            if (const auto at = floorName.find("_filled"); at != std::string::npos)
                floorName.erase(at); // the whole list, read to its end
            const auto floor = m_times.find("floor/" + floorName);
            if (floor == m_times.end())
                continue;
            std::printf("%-30s %14.3f %14.3f %10.2f", name.substr(7).c_str(), windowTime,
                        floor->second, windowTime / floor->second);
            // The engine alone against the same floor, where it was measured.
            if (const auto engine = m_times.find("engine/" + name.substr(7));
                engine != m_times.end())
                std::printf("   (engine alone %.3f ms, %.2f)", engine->second,
                            engine->second / floor->second);
            // The same after a window keystroke, where measured.
            const auto coldFloor = m_times.find("floor_after_keystroke/" + name.substr(7));
            const auto coldEngine = m_times.find("engine_after_keystroke/" + name.substr(7));
            if (coldFloor != m_times.end() && coldEngine != m_times.end())
                std::printf("\n%-30s %14s %14.3f %10.2f   (engine alone %.3f ms, %.2f)",
                            "  after a keystroke", "", coldFloor->second,
                            windowTime / coldFloor->second, coldEngine->second,
                            coldEngine->second / coldFloor->second);
            std::printf("\n");
        }
    }

private:
    std::map<std::string, double> m_times;
};

void printSizeFacts() {
    std::printf("\n%-6s %14s %12s %12s %12s %14s %12s %12s\n", "rows", "first open ms", "bytes/row",
                "UTF-16/row", "above UTF-16", "steady MB", "refill peak", "peak/steady");
    for (const SizeFacts& f : Fixture::get().facts())
        std::printf("%-6s %14.1f %12.1f %12.1f %12.1f %14.1f %12.1f %12.2f\n",
                    sizeName(f.rows).c_str(), f.firstOpenMs, f.bytesPerRow, f.utf16PerRow,
                    f.bytesPerRow - f.utf16PerRow, f.steadyMb, f.refillPeakMb,
                    f.refillPeakMb / f.steadyMb);
    std::printf("(the window's own share of the refill: ");
    for (const SizeFacts& f : Fixture::get().facts())
        std::printf("%s %.1f -> %.1f MB; ", sizeName(f.rows).c_str(), f.windowSteadyMb,
                    f.windowPeakMb);
    std::printf(")\n");
    // "peak/click" is the peak against the state right after the click, which lacks the
    // table's row ids that the whole list's set holds again once the refill is done;
    // "peak/steady" is the peak against that whole-list steady state.
    std::printf("\nentry chosen, then Cancel:\n%-6s %14s %12s %14s %12s %12s\n", "rows",
                "after click MB", "refill peak", "after refill MB", "peak/click", "peak/steady");
    for (const SizeFacts& f : Fixture::get().facts())
        std::printf("%-6s %14.1f %12.1f %14.1f %12.2f %12.2f\n", sizeName(f.rows).c_str(),
                    f.afterClickMb, f.afterClickPeakMb, f.afterRefillMb,
                    f.afterClickPeakMb / f.afterClickMb, f.afterClickPeakMb / f.afterRefillMb);
}

// The whole list brought back by emptying the search box (Backspace over one letter), up to
// its first screen painted.
void BM_WindowWholeList(benchmark::State& state, const std::string& name) {
    BM_WindowKeystroke(state, name, QStringLiteral("b"), 0);
}

// The same up to the first screen painted and no further: the keystroke handled and the list
// painted at once, without the event loop's later steps (the count, the pages, the layout's
// batches), which run after the first paint. Between runs the fill is let finish, untimed.
void BM_WindowWholeListFirstScreen(benchmark::State& state, const std::string& name) {
    OpenWindow* w = windowOrSkip(state, name);
    if (!w)
        return;
    auto* box = w->window->controls().txtSearch;
    auto* list = w->window->controls().lstdata;
    for (auto _ : state) {
        state.PauseTiming();
        presetSearchText(*w, QStringLiteral("b"));
        box->setCursorPosition(1);
        QApplication::processEvents();
        state.ResumeTiming();
        QTest::keyClick(box, Qt::Key_Backspace);
        list->viewport()->repaint();
        state.PauseTiming();
        waitForTheFill(*list);
        state.ResumeTiming();
    }
    state.counters["rows"] = list->ListCount();
}

// The same, up to the last page of the fill read: what the whole list costs in all, set against
// the floor's whole list.
void BM_WindowWholeListFilled(benchmark::State& state, const std::string& name) {
    OpenWindow* w = windowOrSkip(state, name);
    if (!w)
        return;
    auto* box = w->window->controls().txtSearch;
    for (auto _ : state) {
        state.PauseTiming();
        presetSearchText(*w, QStringLiteral("b"));
        box->setCursorPosition(1);
        state.ResumeTiming();
        QTest::keyClick(box, Qt::Key_Backspace);
        waitForTheFill(*w->window->controls().lstdata);
    }
    state.counters["rows"] = w->window->controls().lstdata->ListCount();
}

// One step of the user's resize: the window a few pixels taller (every other step back), the
// list laid out again and painted. `perItem`: with the list scrolling by whole items, as it
// did before, for the ratio.
void BM_WindowResizeStep(benchmark::State& state, const std::string& name, bool perItem) {
    OpenWindow* w = windowOrSkip(state, name);
    if (!w)
        return;
    auto* list = w->window->controls().lstdata;
    const auto mode = list->verticalScrollMode();
    if (perItem)
        list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    QWidget* form = w->form.get();
    const QSize base = form->size();
    int step = 0;
    for (auto _ : state) {
        form->resize(base + QSize(0, ++step % 2 ? 8 : 0));
        QApplication::processEvents();
    }
    form->resize(base);
    list->setVerticalScrollMode(mode);
    QApplication::processEvents();
    state.counters["rows"] = list->ListCount();
}

// A window opened to show one entry, as Find and Back/Forward open it (Navigator::openEntry):
// the window made, the file opened, the list narrowed to the headword, the entry shown and
// painted. `narrowed` false: the window opened on the whole list instead, up to its first
// screen painted, as the dictionary menu opens it.
void BM_WindowOpen(benchmark::State& state, const std::string& name, bool narrowed) {
    OpenWindow* w = windowOrSkip(state, name);
    if (!w)
        return;
    auto* list = w->window->controls().lstdata;
    const QString headword = list->List(list->ListCount() / 2);
    platform::setApplicationFolder(w->folder);
    for (auto _ : state) {
        dictwindow::DictionaryWindow window(*w->config);
        std::unique_ptr<QWidget> form(window.createControls());
        if (narrowed)
            window.loadNarrowedTo(headword);
        window.Form_Load();
        if (narrowed && !window.showHeadword(headword, 0))
            state.SkipWithError("the entry was not shown");
        form->show();
        QApplication::processEvents();
        state.PauseTiming();
        form.reset();
        data::closeDictionary(window.db);
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void registerAll() {
    std::vector<std::string> names{"eastons"};
    for (const int rows : benchSizes("4000,100000,1000000"))
        names.push_back(sizeName(rows));
    for (const std::string& name : names) {
        const bool small = name == "eastons" || name == "4k" || name == "100k";
        const auto add = [](const std::string& label, auto&&... args) {
            benchmark::RegisterBenchmark(label.c_str(), args...)->Unit(benchmark::kMillisecond);
        };
        add("window/" + name + "/one_letter", BM_WindowKeystroke, name, QString(), 'b');
        add("window/" + name + "/three_letters", BM_WindowKeystroke, name, QStringLiteral("be"),
            't');
        add("window/" + name + "/whole_list", BM_WindowWholeList, name);
        add("window/" + name + "/get_new_word", BM_WindowGetNewWord, name);
        add("window/" + name + "/whole_list_filled", BM_WindowWholeListFilled, name);
        // Few runs: each waits, untimed, for the whole fill.
        benchmark::RegisterBenchmark(("first_screen/" + name + "/whole_list").c_str(),
                                     BM_WindowWholeListFirstScreen, name)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
        add("open/" + name + "/on_one_entry", BM_WindowOpen, name, true);
        add("engine/" + name + "/first_page", BM_EngineFirstPage, name);
        add("resize/" + name + "/step", BM_WindowResizeStep, name, false);
        add("resize/" + name + "/step_scrolling_per_item", BM_WindowResizeStep, name, true);
        add("open/" + name + "/whole_list", BM_WindowOpen, name, false);
        // A keystroke's floor and engine share are timed in a loop of their own, with warm
        // caches; the window's keystroke follows layout and painting. Both again, each after
        // a window keystroke, to tell the two apart.
        add("floor_after_keystroke/" + name + "/three_letters", BM_Floor, name,
            QStringLiteral("bet"), true);
        add("engine_after_keystroke/" + name + "/three_letters", BM_EngineListing, name,
            QStringLiteral("bet"), true);
        for (const auto& [label, prefix] : {std::pair{"one_letter", QStringLiteral("b")},
                                            {"three_letters", QStringLiteral("bet")},
                                            {"whole_list", QString()}}) {
            add("floor/" + name + "/" + label, BM_Floor, name, prefix, false);
            add("engine/" + name + "/" + label, BM_EngineListing, name, prefix, false);
            if (small)
                add("listwidget/" + name + "/" + label, BM_ListWidgetFill, name, prefix);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    registerAll();
    Fixture::get();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    printSizeFacts();
    std::printf("peak RSS of the whole run: %.1f MB\n", peakRssMb());
    Fixture::release();
    benchmark::Shutdown();
    return 0;
}
