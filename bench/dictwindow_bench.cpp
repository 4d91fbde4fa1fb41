// How long a keystroke in the search box takes to bring the refilled word list on screen,
// with the real dictionary window driven offscreen by key clicks, on Easton's dictionary and
// on a generated table of a million rows. In the same run, two baselines over exactly the
// same rows: the fill into a plain sorted QListWidget (one widget item per row, as a classic
// list box works), and the raw SQLite query alone (no window, no list).
//
//   TOLVANE_SHARED_DIR=/work/shared build/bin/tolvane_dictwindow_bench
//
// The peak memory of the process is reported as the counter peak_rss_mb.

#include "data/DictionaryConfig.h"
#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "import/CsvImport.h"
#include "platform/AppFolder.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <random>

using namespace tolvane;

namespace {

constexpr int kGeneratedRows = 1'000'000;

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Answers every message box with OK, so that no modal dialog ever opens.
class SilentMessages final : public platform::MessageBoxService {
public:
    int show(const QString&, int, const QString&) override { return ++count, 1; }
    int count = 0;
};

// Random headwords in mixed case over a-z, 3 to 10 letters, in random order.
void writeGeneratedDictionary(const QString& path, const data::DictionaryConfig& config) {
    engine::sqlite::Connection connection(path, engine::sqlite::OpenMode::ReadWriteCreate);
    engine::createTextTable(connection, config.table,
                            {config.headwordColumn, config.definitionColumn});
    engine::sqlite::Transaction transaction(connection);
    auto insert = connection.prepare(
        QStringLiteral("INSERT INTO %1 VALUES (?, ?)").arg(engine::quoteIdentifier(config.table)));
    std::mt19937 random(42);
    std::uniform_int_distribution<int> letter(0, 25), length(3, 10), upper(0, 3);
    for (int i = 0; i < kGeneratedRows; ++i) {
        QString word;
        const int n = length(random);
        for (int j = 0; j < n; ++j) {
            const char base = (j == 0 && upper(random) == 0) ? 'A' : 'a';
            word += QChar(base + letter(random));
        }
        insert.bind(1, word);
        insert.bind(2, QStringLiteral("meaning of ") + word);
        insert.run();
        insert.reset();
    }
    transaction.commit();
    engine::createHeadwordIndex(connection, config.table, config.headwordColumn);
}

// One open dictionary window over one dictionary file.
struct OpenWindow {
    const data::DictionaryConfig* config;
    QString folder;
    std::unique_ptr<dictwindow::DictionaryWindow> window;
    std::unique_ptr<QWidget> form;
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

    std::shared_ptr<SilentMessages> messages = std::make_shared<SilentMessages>();

private:
    Fixture() {
        platform::setMessageBoxService(messages);
        const QByteArray shared = qgetenv("TOLVANE_SHARED_DIR");
        const QString csv = QDir(shared.isEmpty() ? QStringLiteral("../shared") : QString::fromLocal8Bit(shared))
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
        const QString folder = m_dir.filePath(QStringLiteral("million"));
        QDir().mkpath(folder);
        writeGeneratedDictionary(QDir(folder).filePath(data::hitchcockConfig().fileName),
                                 data::hitchcockConfig());
        open("million", data::hitchcockConfig(), folder);
    }

    void open(const std::string& name, const data::DictionaryConfig& config, const QString& folder) {
        platform::setApplicationFolder(folder);
        OpenWindow w{&config, folder, std::make_unique<dictwindow::DictionaryWindow>(config), {}};
        w.form.reset(w.window->createControls());
        w.window->Form_Load();
        w.form->show();
        (void)QTest::qWaitForWindowExposed(w.form.get());
        m_files[name] = QDir(folder).filePath(config.fileName);
        m_windows.emplace(name, std::move(w));
    }

    static inline std::unique_ptr<Fixture> s_instance;
    QTemporaryDir m_dir;
    std::map<std::string, OpenWindow> m_windows;
    std::map<std::string, QString> m_files;
};

// Puts text into the search box without running the search, so that the measured keystroke
// alone does the work.
void presetSearchText(OpenWindow& w, const QString& text) {
    auto* box = w.window->controls().txtSearch;
    const bool blocked = box->blockSignals(true);
    box->setText(text);
    box->blockSignals(blocked);
    box->setFocus();
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

// A letter typed after `before` (whose search is not run), up to the refilled, painted list.
void BM_WindowKeystroke(benchmark::State& state, const std::string& name, QString before,
                        char key) {
    OpenWindow* w = Fixture::get().window(name);
    if (!w) {
        state.SkipWithError("dictionary not available");
        return;
    }
    auto* box = w->window->controls().txtSearch;
    for (auto _ : state) {
        state.PauseTiming();
        presetSearchText(*w, before);
        box->setCursorPosition(int(before.size()));
        state.ResumeTiming();
        QTest::keyClick(box, key);
        QApplication::processEvents();
    }
    state.counters["rows"] = w->window->controls().lstdata->ListCount();
    state.counters["peak_rss_mb"] = peakRssMb();
}

// Get New Word pressed from the keyboard: the search for "a", then the whole list.
void BM_WindowGetNewWord(benchmark::State& state, const std::string& name) {
    OpenWindow* w = Fixture::get().window(name);
    if (!w) {
        state.SkipWithError("dictionary not available");
        return;
    }
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

// --- baseline: the same rows into a plain sorted QListWidget -------------------------------

void BM_ListWidgetFill(benchmark::State& state, const std::string& name, QString prefix) {
    OpenWindow* w = Fixture::get().window(name);
    if (!w) {
        state.SkipWithError("dictionary not available");
        return;
    }
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

// --- baseline: the raw query alone ----------------------------------------------------------

void BM_RawSqlite(benchmark::State& state, const std::string& name, QString prefix) {
    OpenWindow* w = Fixture::get().window(name);
    if (!w) {
        state.SkipWithError("dictionary not available");
        return;
    }
    const auto& cfg = *w->config;
    engine::sqlite::Connection connection(Fixture::get().file(name),
                                          engine::sqlite::OpenMode::ReadOnly);
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(cfg.headwordColumn, cfg.table);
    if (!prefix.isEmpty())
        sql += QStringLiteral(" WHERE %1 LIKE ?").arg(cfg.headwordColumn);
    auto query = connection.prepare(sql);
    int rows = 0;
    for (auto _ : state) {
        rows = 0;
        query.reset();
        if (!prefix.isEmpty())
            query.bind(1, prefix + QLatin1Char('%'));
        while (query.step()) {
            benchmark::DoNotOptimize(query.columnText(0));
            ++rows;
        }
    }
    state.counters["rows"] = rows;
}

void registerAll() {
    struct Size {
        std::string name;
        QString one, three;
    };
    const Size sizes[] = {{"eastons", QStringLiteral("b"), QStringLiteral("bet")},
                          {"million", QStringLiteral("b"), QStringLiteral("bet")}};
    for (const Size& s : sizes) {
        const auto before = [](const QString& p) { return p.left(p.size() - 1); };
        const char oneKey = s.one.back().toLatin1();
        const char threeKey = s.three.back().toLatin1();
        benchmark::RegisterBenchmark(("window/" + s.name + "/one_letter").c_str(), BM_WindowKeystroke,
                                     s.name, before(s.one), oneKey)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("window/" + s.name + "/three_letters").c_str(),
                                     BM_WindowKeystroke, s.name, before(s.three), threeKey)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("window/" + s.name + "/get_new_word").c_str(),
                                     BM_WindowGetNewWord, s.name)
            ->Unit(benchmark::kMillisecond);
        for (const auto& [label, prefix] :
             {std::pair{"one_letter", s.one}, {"three_letters", s.three}, {"whole_list", QString()}}) {
            benchmark::RegisterBenchmark(("listwidget/" + s.name + "/" + label).c_str(),
                                         BM_ListWidgetFill, s.name, prefix)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("sqlite/" + s.name + "/" + label).c_str(), BM_RawSqlite,
                                         s.name, prefix)
                ->Unit(benchmark::kMillisecond);
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
    benchmark::RunSpecifiedBenchmarks();
    std::printf("peak RSS of the whole run: %.1f MB\n", peakRssMb());
    Fixture::release();
    benchmark::Shutdown();
    return 0;
}
