#pragma once
// Fills a word list from a whole table a page at a time (engine::ListPages): the first page,
// enough for any screen, at once; then the count of texts in pieces, and the rest, all in short
// steps on the event loop, so that the window paints and takes keys while a long list is read. From
// the count on the list has its full length (the rows not read yet show blank), so its scroll bar
// is right long before the last page.
//
// A list still being made on another thread (ListPages' Pending) is asked again every few
// dozen milliseconds until its first page comes; so is a file that another connection has
// locked (a list build, the full-text index being made, another program): the fill's steps
// never wait for a lock.
//
// A key or click that reaches a row far ahead of the pages (End, a click on a far row) has
// that row read with a screenful around it (readAround), and the fill goes on from where it was.
//
// When the file changes during the fill (a write of this program, another program's commit),
// the fill starts again from the file as it is then, so that the finished list is the list a
// fill all at once would give. A failure ends the fill with the rows read so far and goes to
// the error guard (the file closed under it ends it quietly). Destroying the fill (the window
// closed, a new fill) stops it.

#include "engine/Dao.h"

#include <QObject>
#include <QTimer>
#include <memory>

namespace tolvane::dictwindow {

class WordListModel;

class ListFill : public QObject {
    Q_OBJECT
public:
    ListFill(WordListModel& model, std::unique_ptr<engine::ListPages> pages,
             QObject* parent = nullptr);

    // The first page now, the rest on the event loop.
    void start();
    // The rest now (a caller that needs rows not read yet).
    void finish();
    // The list's full length now (a caller that needs it before the fill's own step; waits
    // for a list still being made).
    void count();
    bool isDone() const { return !m_pages; }
    // Makes `row` readable now: near the fill's place by reading on, far ahead by reading the
    // rows around it. With `wait`, a locked file is waited for; without, nothing is read then.
    // Whether the row holds its text.
    bool readAround(qsizetype row, bool wait);

private:
    void step();
    // Counts a piece of the list; the list takes its full length once the count is done.
    void countPiece();
    // From the first text again (the file changed under the fill).
    void restart();
    // Reads one page; false once the fill is done.
    bool readPage(qsizetype rows);
    void end();

    WordListModel& m_model;
    std::unique_ptr<engine::ListPages> m_pages;
    bool m_counted = false; // the list has taken the count of texts
    bool m_pending = false; // the last page said the list is still being made
    QTimer m_timer;
};

} // namespace tolvane::dictwindow
