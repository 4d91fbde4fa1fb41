#pragma once
// ListPages (Dao.h) over a list index: each page goes on from the last text read, by its place
// in the index (its text in the list order and its row id), so a page costs its own rows and
// a seek, however far down the list it starts. The count in pieces keeps the place of every
// piece's last text, so that a row far ahead of the pages (readAt) is a seek and at most a
// piece's entries away, or is read from the list's end.

#include "engine/Dao.h"
#include "engine/DatabaseCore.h"

#include <QByteArray>
#include <memory>
#include <vector>

namespace tolvane::engine {

class SqliteListPages final : public ListPages {
public:
    SqliteListPages(std::shared_ptr<DatabaseCore> core, TableInfo table, int column, QString index);

    bool hasRows() override;
    qint64 textCount() override;
    Step countSome(qsizetype rows) override;
    Step next(TextBlock& into, qsizetype rows) override;
    Step readAt(qsizetype first, qsizetype rows, TextBlock& into) override;
    void restart() override;

private:
    // A text's place in the list: the place, the text and its row.
    struct Place {
        qint64 at = -1;
        QByteArray text;
        qint64 rowid = 0;
    };
    // Runs a read under one read lock, noticing other connections' commits first; Changed when
    // the file changed since the pages began, Pending for a lock not waited for.
    template <typename Read> Step reading(Read read);
    Step countPiece(qsizetype rows);
    Step readPage(TextBlock& into, qsizetype rows);
    // The texts from the list's end, `skip` of its last ones left out, in list order.
    void readFromEnd(qint64 skip, qsizetype rows, TextBlock& into);
    // The texts after `from` (at -1: from the first), `skip` of them left out.
    void readAfter(const Place& from, qint64 skip, qsizetype rows, TextBlock& into);
    bool appendText(TextBlock& into, QByteArrayView text);
    // The texts after the last counted, from its run of equal texts (by row id) or after it.
    QString countedRange(bool sameText, bool countOnly) const;
    // Whether the table's row ids span fewer than `atMost` values (so it holds fewer rows).
    bool fewRows(qsizetype atMost);

    std::shared_ptr<DatabaseCore> m_core;
    TableInfo m_table;
    int m_column;
    QString m_index;
    quint64 m_stamp = 0;
    bool m_stampTaken = false; // the pages' first read takes the file's stamp
    qint64 m_texts = -1;       // not counted yet
    bool m_started = false;    // a page has been read since the last restart
    bool m_ended = false;
    QByteArray m_lastText; // the last text read, and its row
    qint64 m_lastRowid = 0;
    qint64 m_read = 0; // texts read by the pages
    // The count in pieces: the texts counted so far, up to the last one counted and its row.
    qint64 m_countedSoFar = 0;
    bool m_countStarted = false;
    QByteArray m_countText;
    qint64 m_countRowid = 0;
    std::vector<Place> m_pieceEnds; // the last text of every piece counted, in list order
};

} // namespace tolvane::engine
