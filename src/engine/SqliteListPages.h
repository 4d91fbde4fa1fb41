#pragma once
// ListPages (Dao.h) over a list index: each page goes on from the last text read, by its place
// in the index (its text in the list order and its row id), so a page costs its own rows and
// a seek, however far down the list it starts.

#include "engine/Dao.h"
#include "engine/DatabaseCore.h"

#include <QByteArray>
#include <memory>

namespace tolvane::engine {

class SqliteListPages final : public ListPages {
public:
    SqliteListPages(std::shared_ptr<DatabaseCore> core, TableInfo table, int column, QString index);

    bool hasRows() override;
    qint64 textCount() override;
    Step countSome(qsizetype rows) override;
    Step next(TextBlock& into, qsizetype rows) override;
    void restart() override;

private:
    // The texts after the last counted, from its run of equal texts (by row id) or after it.
    QString countedRange(bool sameText, bool countOnly) const;
    // Whether the table's row ids span fewer than `atMost` values (so it holds fewer rows).
    bool fewRows(qsizetype atMost);

    std::shared_ptr<DatabaseCore> m_core;
    TableInfo m_table;
    int m_column;
    QString m_index;
    quint64 m_stamp = 0;
    qint64 m_texts = -1;    // not counted yet
    bool m_started = false; // a page has been read since the last restart
    bool m_ended = false;
    QByteArray m_lastText; // the last text read, and its row
    qint64 m_lastRowid = 0;
    // The count in pieces: the texts counted so far, up to the last one counted and its row.
    qint64 m_countedSoFar = 0;
    bool m_countStarted = false;
    QByteArray m_countText;
    qint64 m_countRowid = 0;
};

} // namespace tolvane::engine
