#pragma once
// What the list-screen benchmark drives: the dictionary window of a generated dictionary per
// size, opened once, and a clock that notes the moment the list's paint event has been
// handled (the list on screen).

#include "data/DictionaryConfig.h"
#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <benchmark/benchmark.h>
#include <functional>
#include <memory>
#include <vector>

namespace tolvane::bench {

// Notes when a watched widget's paint event has been handled: the moment its pixels are drawn.
class PaintClock final : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && keyAt < 0)
            keyAt = clock.nsecsElapsed(); // before it is handled
        const bool handled = QApplication::notify(receiver, event);
        if (event->type() == QEvent::Paint && receiver == watched) {
            ++allPaints;
            if (!shows || shows()) {
                ++paints;
                paintedAt = clock.nsecsElapsed();
            }
        }
        return handled;
    }
    // Runs the event loop until `widget` has painted once more than `paintsBefore`; the time of
    // that paint in seconds after `start` (ns of clock), or a negative time after 10 s.
    double untilPainted(QWidget* widget, int paintsBefore, qint64 start) {
        watched = widget;
        while (paints == paintsBefore && clock.nsecsElapsed() - start < 10'000'000'000)
            processEvents();
        return paints == paintsBefore ? -1 : double(paintedAt - start) / 1e9;
    }

    QObject* watched = nullptr;
    // When set, a paint of the watched widget counts only if it holds then: a list view
    // painted before it was laid out shows none of its rows.
    std::function<bool()> shows;
    qint64 keyAt = 0;  // set to -1 to note when the next key press arrives
    int paints = 0;    // of the watched widget, those that count
    int allPaints = 0; // of the watched widget
    qint64 paintedAt = 0;
    QElapsedTimer clock;
};

PaintClock& app();

// One window per size, open on the whole list, kept across the benchmarks.
struct Window {
    QString folder;
    std::unique_ptr<dictwindow::DictionaryWindow> window;
    std::unique_ptr<QWidget> form;
    dictwindow::WordList* list() const { return window->controls().lstdata; }
    QLineEdit* box() const { return window->controls().txtSearch; }
};

// The window for `rows`, opened on first use (the file made once, kept under
// $TOLVANE_BENCH_CACHE or build/bench-cache), and made the active window as it is while the
// user types in it (another benchmark's window may have been active: an inactive window's
// keystroke costs more than twice as much).
Window& windowFor(int rows);
// Closes the windows: before the application object goes.
void closeWindows();
const data::DictionaryConfig& config();

// The box set to `text` with its search run and the list painted, untimed; then the fill (if
// any) let end.
void showSearch(Window& w, const QString& text);
void waitForTheFill(dictwindow::WordList& list);
// This thread's CPU time: a pass's own work, whatever the other programs on the machine take.
qint64 threadCpuNanoseconds();

// Times `act` up to the list's next paint, as one manual-time iteration; the times are kept
// for their median (on a shared machine the mean takes in every other program's turn).
template <typename Act>
void timeToPaint(benchmark::State& state, QWidget* viewport, std::vector<double>& times, Act act) {
    const int before = app().paints;
    const qint64 start = app().clock.nsecsElapsed();
    act();
    const double seconds = app().untilPainted(viewport, before, start);
    if (seconds < 0)
        state.SkipWithError("the list was not painted");
    state.SetIterationTime(std::max(seconds, 1e-9));
    times.push_back(seconds * 1e3);
}

// The median of `times` as the counter median_ms.
void reportMedian(benchmark::State& state, std::vector<double> times);

} // namespace tolvane::bench
