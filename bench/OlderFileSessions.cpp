#include "OlderFileSessions.h"

#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "find/FindService.h"
#include "find/FindWindow.h"
#include "platform/AppFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace tolvane::bench {

namespace {

// The event loop's passes, as the gaps of a 1 ms timer, and the handling time of each action.
class LoopWatch {
public:
    LoopWatch() {
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { note(); });
    }
    void start() {
        m_gaps.clear();
        m_actions.clear();
        m_gap.start();
        m_total.start();
        m_timer.start();
    }
    // Runs `action` (a key, a click) and notes how long it took to be handled.
    void act(const std::function<void()>& action) {
        QElapsedTimer took;
        took.start();
        action();
        m_actions.push_back(double(took.nsecsElapsed()) / 1e6);
    }
    void runFor(int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    bool runUntil(const std::function<bool()>& done, int timeoutMs) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        return done();
    }
    void report(const std::string& label, const char* session, bool ended) {
        note();
        m_timer.stop();
        std::vector<double> gaps = m_gaps;
        std::sort(gaps.begin(), gaps.end());
        const double longest = gaps.empty() ? 0 : gaps.back();
        const double p99 = gaps.empty() ? 0 : gaps[size_t(double(gaps.size() - 1) * 0.99)];
        std::sort(m_actions.begin(), m_actions.end());
        const double action = m_actions.empty() ? 0 : m_actions.back();
        const double secondAction = m_actions.size() < 2 ? 0 : m_actions[m_actions.size() - 2];
        std::printf("%4s session %-22s longest pass %7.1f ms, p99 %5.1f ms, longest key/click "
                    "%7.1f ms (next %.1f ms; %zu actions), %.1f s%s\n",
                    label.c_str(), session, longest, p99, action, secondAction, m_actions.size(),
                    double(m_total.elapsed()) / 1000, ended ? "" : " (did not end: timed out)");
        std::fflush(stdout);
    }

private:
    void note() {
        m_gaps.push_back(double(m_gap.nsecsElapsed()) / 1e6);
        m_gap.start();
    }
    QTimer m_timer;
    QElapsedTimer m_gap, m_total;
    std::vector<double> m_gaps;
    std::vector<double> m_actions;
};

struct Session {
    Session(const data::DictionaryConfig& c, const QString& olderFile) : config(c) {
        QFile::copy(olderFile, QDir(dir.path()).filePath(config.fileName));
        platform::setApplicationFolder(dir.path());
    }
    ~Session() { close(); }
    void open() {
        close();
        window = std::make_unique<dictwindow::DictionaryWindow>(config);
        form.reset(window->createControls());
        form->show();
        (void)QTest::qWaitForWindowExposed(form.get());
    }
    void close() {
        if (window)
            window->cmdend_Click();
        form.reset();
        window.reset();
    }
    dictwindow::WordList* list() const { return window->controls().lstdata; }
    bool settled() const { return window->db->listPreparingPercent() < 0 && !list()->isFilling(); }

    const data::DictionaryConfig& config;
    QTemporaryDir dir;
    std::unique_ptr<dictwindow::DictionaryWindow> window;
    std::unique_ptr<QWidget> form;
    LoopWatch watch;
};

constexpr int kTimeoutMs = 900'000;

// A key every 200 ms in the search box (a letter, then Backspace) until `done`.
bool typeUntil(Session& s, const std::function<bool()>& done) {
    QWidget* box = s.window->controls().txtSearch;
    int keys = 0;
    return s.watch.runUntil(
        [&] {
            if (done() && keys > 0)
                return true;
            s.watch.runFor(200);
            s.watch.act([&] { QTest::keyClick(box, keys++ % 2 ? Qt::Key_Backspace : Qt::Key_B); });
            return false;
        },
        kTimeoutMs);
}

// The user types at once, while the file's indexes are made.
void firstOpen(Session& s, const std::string& label) {
    s.open();
    s.watch.start();
    s.watch.act([&] { s.window->Form_Load(); });
    const bool ended = typeUntil(s, [&] { return s.settled(); });
    s.watch.report(label, "first_open_keys", ended);
}

// The Find window searches the dictionary open in the window, whose file has no full-text
// index yet; the user types in the dictionary window every 200 ms meanwhile.
void firstFind(Session& s, const std::string& label) {
    find::FindService service;
    const QString folder = s.dir.path();
    find::FindWindow findWindow(
        service, [&] { return &s.config; }, [folder] { return folder; });
    findWindow.show();
    s.watch.start();
    s.watch.act([&] { findWindow.txtFind()->setText(QStringLiteral("king")); });
    const bool ended = typeUntil(s, [&] { return !findWindow.isSearching(); });
    s.watch.report(label, "first_find_keys", ended);
}

void keysDuringFill(Session& s, const std::string& label) {
    s.open();
    s.watch.start();
    s.watch.act([&] { s.window->Form_Load(); });
    dictwindow::WordList* list = s.list();
    s.watch.act([&] { QTest::keyClick(list, Qt::Key_End); });
    s.watch.runFor(16);
    s.watch.act([&] { QTest::keyClick(list, Qt::Key_Home); });
    for (int i = 0; i < 10; ++i) { // held: the keyboard repeats about 30 times a second
        s.watch.act([&] { QTest::keyClick(list, Qt::Key_PageDown); });
        s.watch.runFor(33);
    }
    s.watch.act([&] { list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum()); });
    s.watch.runFor(16);
    const int far = list->model()->rowCount() / 2;
    s.watch.act([&] {
        const QModelIndex index = list->model()->index(far, 0);
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    });
    s.watch.runFor(16);
    QWidget* box = s.window->controls().txtSearch;
    s.watch.act([&] { QTest::keyClick(box, Qt::Key_B); });
    s.watch.runFor(16);
    s.watch.act([&] { QTest::keyClick(box, Qt::Key_Backspace); }); // the whole list again
    s.watch.act([&] { QTest::keyClick(list, Qt::Key_End); });
    const bool ended = s.watch.runUntil([&] { return s.settled(); }, kTimeoutMs);
    s.watch.report(label, "keys_during_fill", ended);
}

void editDuringFill(Session& s, const std::string& label) {
    s.open();
    s.watch.start();
    s.watch.act([&] { s.window->Form_Load(); });
    dictwindow::WordList* list = s.list();
    s.watch.act([&] {
        const QModelIndex index = list->model()->index(3, 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    });
    s.window->cmdEdit_Click();
    s.window->controls().txtSurname->setPlainText(QStringLiteral("changed during the fill"));
    s.watch.act([&] { s.window->cmdsave_Click(); });
    const bool ended = s.watch.runUntil([&] { return s.settled(); }, kTimeoutMs);
    s.watch.report(label, "edit_during_fill", ended);
}

} // namespace

void runOlderFileSessions(const data::DictionaryConfig& config, const QString& olderFile,
                          const std::string& label) {
    Session session(config, olderFile);
    firstOpen(session, label);
    firstFind(session, label);
    keysDuringFill(session, label);
    editDuringFill(session, label);
}

} // namespace tolvane::bench
