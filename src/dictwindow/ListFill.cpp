#include "dictwindow/ListFill.h"

#include "dictwindow/WordListModel.h"
#include "platform/ErrorGuard.h"

#include <QElapsedTimer>
#include <limits>
#include <optional>

namespace tolvane::dictwindow {

namespace {
// The first page: more rows than any screen shows.
constexpr qsizetype kFirstPage = 1024;
// The pages of a step, and how long a step reads before it lets the event loop run: short
// enough that a key waits for no more than a fraction of a frame.
constexpr qsizetype kPage = 4096;
constexpr qint64 kStepNanoseconds = 4'000'000;
// The index entries a piece of the count walks: about a millisecond's work.
constexpr qsizetype kCountPiece = 65'536;
// How often a list still being made on another thread is asked for its first page.
constexpr int kPendingPollMs = 30;
// The rows read around a row far ahead of the fill: a few screens, most of them after it (Page
// Down held moves on from there).
constexpr qsizetype kAroundBefore = 64;
constexpr qsizetype kAround = 1024;

// Waits for locks for as long as it lives (the fill's own steps never do); the pages may end
// meanwhile.
class WaitingForLocks {
public:
    explicit WaitingForLocks(const std::unique_ptr<engine::ListPages>& pages) : m_pages(pages) {
        if (m_pages)
            m_pages->setWaitForLocks(true);
    }
    ~WaitingForLocks() {
        if (m_pages)
            m_pages->setWaitForLocks(false);
    }
    WaitingForLocks(const WaitingForLocks&) = delete;
    WaitingForLocks& operator=(const WaitingForLocks&) = delete;

private:
    const std::unique_ptr<engine::ListPages>& m_pages;
};
} // namespace

ListFill::ListFill(WordListModel& model, std::unique_ptr<engine::ListPages> pages, QObject* parent)
    : QObject(parent), m_model(model), m_pages(std::move(pages)) {
    m_pages->setWaitForLocks(false);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, [this] { platform::runGuarded([this] { step(); }); });
}

void ListFill::start() {
    m_model.startPages();
    try {
        readPage(kFirstPage);
        if (m_pages)
            m_timer.start();
    } catch (...) {
        end();
        throw;
    }
}

// The rest in one page, under one read lock: it cannot be overtaken by other programs' commits
// page after page.
void ListFill::finish() {
    try {
        const WaitingForLocks waiting(m_pages);
        if (m_pages)
            m_pages->waitUntilReady();
        while (m_pages && readPage(std::numeric_limits<int>::max())) {
        }
    } catch (...) {
        end();
        throw;
    }
}

// A file closed under the fill (End closes it while the program ends) has nothing more to
// show: the fill stops without a message. Any other failure is reported.
void ListFill::step() {
    QElapsedTimer clock;
    clock.start();
    try {
        // The count first, so that the scroll bar is right early; the pages after a pass of the
        // event loop, which may be the first screen's paint. A list still being made is
        // counted once it comes.
        if (!m_counted && !m_pending) {
            while (!m_counted && !m_pending && clock.nsecsElapsed() < kStepNanoseconds)
                countPiece();
            return;
        }
        while (readPage(kPage))
            if (clock.nsecsElapsed() >= kStepNanoseconds)
                return;
    } catch (const engine::EngineError& error) {
        end();
        if (error.number() != engine::err::ObjectClosed)
            throw;
    } catch (...) {
        end();
        throw;
    }
}

void ListFill::count() {
    if (m_counted || !m_pages)
        return;
    const WaitingForLocks waiting(m_pages);
    m_pages->waitUntilReady();
    m_model.expectRows(static_cast<qsizetype>(m_pages->textCount()));
    m_counted = true;
}

bool ListFill::readAround(qsizetype row, bool wait) {
    if (!m_pages || m_model.isRead(row))
        return m_model.isRead(row);
    std::optional<WaitingForLocks> waiting;
    if (wait)
        waiting.emplace(m_pages);
    try {
        if (wait)
            count();
        if (!m_counted)
            return false;
        if (row < m_model.readRows() + kPage) {
            while (row >= m_model.readRows() && readPage(kPage)) {
            }
        } else {
            const qsizetype first = std::max<qsizetype>(0, row - kAroundBefore);
            if (m_model.readAhead(*m_pages, first, kAround) == engine::ListPages::Step::Changed)
                restart();
        }
    } catch (...) {
        end();
        throw;
    }
    return m_model.isRead(row);
}

// The count whole takes ~6 ns a row (30 ms at five million), too long for one step; in pieces
// each piece is a millisecond or so.
void ListFill::countPiece() {
    switch (m_pages->countSome(kCountPiece)) {
    case engine::ListPages::Step::Pending: // the list is still being made: asked again later
        m_pending = true;
        m_timer.setInterval(kPendingPollMs);
        break;
    case engine::ListPages::Step::More:
        break;
    case engine::ListPages::Step::Changed:
        restart();
        break;
    case engine::ListPages::Step::End:
        count();
        break;
    }
}

bool ListFill::readPage(qsizetype rows) {
    const engine::ListPages::Step step = m_model.readPage(*m_pages, rows);
    m_pending = step == engine::ListPages::Step::Pending;
    m_timer.setInterval(m_pending ? kPendingPollMs : 0);
    switch (step) {
    case engine::ListPages::Step::Pending:
        return false;
    case engine::ListPages::Step::More:
        return true;
    case engine::ListPages::Step::Changed:
        restart();
        return true;
    case engine::ListPages::Step::End:
        break;
    }
    end();
    return false;
}

void ListFill::restart() {
    m_pages->restart();
    m_model.startPages();
    m_counted = false;
}

void ListFill::end() {
    m_timer.stop();
    m_pages.reset();
    m_model.endPages();
}

} // namespace tolvane::dictwindow
