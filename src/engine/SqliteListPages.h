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
    Step next(TextBlock& into, qsizetype rows) override;
    void restart() override;

private:
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
};

} // namespace tolvane::engine
