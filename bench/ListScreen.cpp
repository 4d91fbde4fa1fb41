#include "ListScreen.h"

#include "GeneratedDictionary.h"

#include "platform/AppFolder.h"

#include <QDir>
#include <QTest>
#include <algorithm>
#include <ctime>
#include <map>

namespace tolvane::bench {

PaintClock& app() {
    return *static_cast<PaintClock*>(QCoreApplication::instance());
}

const data::DictionaryConfig& config() {
    return data::hitchcockConfig();
}

namespace {

// The windows must go before the application object does.
std::unique_ptr<std::map<int, Window>> s_windows = std::make_unique<std::map<int, Window>>();

QString cacheFolder() {
    const QByteArray set = qgetenv("TOLVANE_BENCH_CACHE");
    return set.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath("../bench-cache")
                         : QString::fromLocal8Bit(set);
}

} // namespace

void closeWindows() {
    s_windows.reset();
}

qint64 threadCpuNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

void waitForTheFill(dictwindow::WordList& list) {
    while (list.isFilling())
        QApplication::processEvents();
}

Window& windowFor(int rows) {
    std::map<int, Window>& windows = *s_windows;
    if (auto it = windows.find(rows); it != windows.end()) {
        it->second.form->activateWindow();
        (void)QTest::qWaitForWindowActive(it->second.form.get());
        return it->second;
    }
    Window w;
    w.folder = bench::cachedGeneratedDictionary(cacheFolder(), config(), rows);
    platform::setApplicationFolder(w.folder);
    w.window = std::make_unique<dictwindow::DictionaryWindow>(config());
    w.form.reset(w.window->createControls());
    w.window->Form_Load();
    w.form->show();
    (void)QTest::qWaitForWindowActive(w.form.get());
    waitForTheFill(*w.list());
    return windows.emplace(rows, std::move(w)).first->second;
}

void showSearch(Window& w, const QString& text) {
    if (w.box()->text() == text) { // no search, no paint
        waitForTheFill(*w.list());
        return;
    }
    const int before = app().paints;
    w.box()->setText(text);
    w.box()->setCursorPosition(int(text.size()));
    w.box()->setFocus();
    app().untilPainted(w.list()->viewport(), before, app().clock.nsecsElapsed());
    waitForTheFill(*w.list());
}

void reportMedian(benchmark::State& state, std::vector<double> times) {
    if (times.empty())
        return;
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    state.counters["median_ms"] = times[times.size() / 2];
}

} // namespace tolvane::bench
