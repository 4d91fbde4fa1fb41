#include "engine/SqliteListPages.h"

#include "engine/ListCollation.h"
#include "engine/ReadTransaction.h"
#include "engine/Schema.h"

#include <optional>

namespace tolvane::engine {

namespace {

QString listCollated(const QString& column) {
    return quoteIdentifier(column) + QStringLiteral(" COLLATE ") + QLatin1String(kListCollation);
}

} // namespace

SqliteListPages::SqliteListPages(std::shared_ptr<DatabaseCore> core, TableInfo table, int column,
                                 QString index)
    : m_core(std::move(core)), m_table(std::move(table)), m_column(column),
      m_index(std::move(index)) {
    restart();
}

// Nothing is read here: the pages' first read notices other connections' commits and takes
// the file's stamp, so that a restart never waits for a lock.
void SqliteListPages::restart() {
    m_stampTaken = false;
    m_started = false;
    m_ended = false;
    m_lastText.clear();
    m_lastRowid = 0;
    m_read = 0;
    m_texts = -1;
    m_countedSoFar = 0;
    m_countStarted = false;
    m_countText.clear();
    m_countRowid = 0;
    m_pieceEnds.clear();
}

template <typename Read> ListPages::Step SqliteListPages::reading(Read read) {
    sqlite::Connection& db = m_core->connection();
    std::optional<sqlite::NoBusyWait> noWait;
    if (!waitsForLocks())
        noWait.emplace(db);
    try {
        const ReadTransaction lock(db);
        m_core->checkExternalChanges();
        if (!m_stampTaken) {
            m_stamp = m_core->changeStamp();
            m_stampTaken = true;
        }
        if (m_core->changeStamp() != m_stamp)
            return Step::Changed;
        return read();
    } catch (const EngineError& e) {
        // Only the lock is ever met here, before anything is read: nothing to undo.
        if (noWait && e.number() == err::FileInUse)
            return Step::Pending;
        throw;
    }
}

bool SqliteListPages::hasRows() {
    sqlite::StatementLease any = m_core->connection().reuse(
        QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1)").arg(quoteIdentifier(m_table.name)));
    return any->step() && any->columnInt64(0) != 0;
}

// count(*) of a whole table walks its smallest index page by page without reading its cells,
// and the rows without a text sit together at the front of the list index. Should the file
// have changed since the pages began, the next page says so and the count is taken again.
qint64 SqliteListPages::textCount() {
    if (m_texts >= 0)
        return m_texts;
    sqlite::Connection& db = m_core->connection();
    const ReadTransaction lock(db);
    const QString table = quoteIdentifier(m_table.name);
    sqlite::StatementLease all = db.reuse(QStringLiteral("SELECT count(*) FROM %1").arg(table));
    const qint64 rows = all->step() ? all->columnInt64(0) : 0;
    sqlite::StatementLease nulls = db.reuse(
        QStringLiteral("SELECT count(*) FROM %1 INDEXED BY %2 WHERE %3 IS NULL")
            .arg(table, quoteIdentifier(m_index), quoteIdentifier(m_table.columns[m_column])));
    m_texts = rows - (nulls->step() ? nulls->columnInt64(0) : 0);
    return m_texts;
}

// Both ranges are searches of the list index (the texts equal to the last counted, after its
// row; the texts after it), so a piece costs its own entries and two seeks however far down
// the list it starts, and a run of equal texts longer than a piece is no harder. Each piece
// skips its entries with OFFSET, which steps through the index without reading the texts.
QString SqliteListPages::countedRange(bool sameText, bool countOnly) const {
    const QString by = listCollated(m_table.columns[m_column]);
    QString where;
    if (sameText)
        where = QStringLiteral("%1 = ?1 AND rowid > ?2").arg(by);
    else
        where = QStringLiteral("%1 %2 ?1")
                    .arg(by, m_countStarted ? QStringLiteral(">") : QStringLiteral(">="));
    const QString from = QStringLiteral("FROM %1 INDEXED BY %2 WHERE %3")
                             .arg(quoteIdentifier(m_table.name), quoteIdentifier(m_index), where);
    if (countOnly)
        return QStringLiteral("SELECT count(*) ") + from;
    return QStringLiteral("SELECT %1, rowid %2 ORDER BY %3, rowid LIMIT 1 OFFSET ?3")
        .arg(quoteIdentifier(m_table.columns[m_column]), from, by);
}

// count(*) walks a table in about a third of the time a piece takes a row, so a table whose
// row ids span no more than two pieces is counted whole in less than one piece's time. The
// span is two seeks (min and max each searched on its own).
bool SqliteListPages::fewRows(qsizetype atMost) {
    const QString table = quoteIdentifier(m_table.name);
    sqlite::StatementLease span = m_core->connection().reuse(
        QStringLiteral("SELECT (SELECT max(rowid) FROM %1) - (SELECT min(rowid) FROM %1)")
            .arg(table));
    return !span->step() || span->columnInt64(0) < atMost;
}

// A piece takes `rows` texts from the equal run and then from the texts after it: the entry at
// that distance becomes the last counted; when there is none, the rest of the range is shorter
// than a piece and its count ends the count.
ListPages::Step SqliteListPages::countSome(qsizetype rows) {
    if (m_texts >= 0)
        return Step::End;
    return reading([&] { return countPiece(rows); });
}

ListPages::Step SqliteListPages::countPiece(qsizetype rows) {
    sqlite::Connection& db = m_core->connection();
    rows = std::max<qsizetype>(rows, 1);
    if (!m_countStarted && fewRows(rows * 2)) {
        textCount();
        return Step::End;
    }
    const auto bind = [&](sqlite::Statement& statement, bool sameText, qsizetype offset) {
        statement.bindUtf8(1, m_countStarted ? QByteArrayView(m_countText) : QByteArrayView("", 0));
        if (sameText)
            statement.bind(2, m_countRowid);
        if (offset >= 0)
            statement.bind(3, qint64(offset));
    };
    for (const bool sameText : {true, false}) {
        if (sameText && !m_countStarted)
            continue; // the first piece starts at the first text
        sqlite::StatementLease at = db.reuse(countedRange(sameText, false));
        bind(*at, sameText, rows - 1);
        if (at->step()) {
            m_countedSoFar += rows;
            if (!sameText)
                m_countText = at->columnUtf8(0).toByteArray();
            m_countRowid = at->columnInt64(1);
            m_countStarted = true;
            m_pieceEnds.push_back({m_countedSoFar - 1, m_countText, m_countRowid});
            return Step::More;
        }
        sqlite::StatementLease rest = db.reuse(countedRange(sameText, true));
        bind(*rest, sameText, -1);
        const qint64 counted = rest->step() ? rest->columnInt64(0) : 0;
        m_countedSoFar += counted;
        rows -= counted; // more than 0: the entry at rows - 1 was not there
    }
    m_texts = m_countedSoFar;
    return Step::End;
}

// The page starts at the last text read, in the list order: the rows equal to it in that order
// come by row id, and those up to its row were read already. Text comparisons only happen at
// the page's start.
ListPages::Step SqliteListPages::next(TextBlock& into, qsizetype rows) {
    if (m_ended)
        return Step::End;
    return reading([&] { return readPage(into, rows); });
}

bool SqliteListPages::appendText(TextBlock& into, QByteArrayView text) {
    if (!into.append(text.data() ? text : QByteArrayView("", 0)))
        throw EngineError(err::InvalidOperation,
                          QStringLiteral("The texts of column '%1' of table '%2' in '%3' "
                                         "exceed 4 GiB.")
                              .arg(m_table.columns[m_column], m_table.name, m_core->displayName()));
    return true;
}

ListPages::Step SqliteListPages::readPage(TextBlock& into, qsizetype rows) {
    const QString by = listCollated(m_table.columns[m_column]);
    sqlite::StatementLease select = m_core->connection().reuse(
        QStringLiteral("SELECT rowid, %1 FROM %2 INDEXED BY %3 WHERE %4 >= ?1 ORDER BY %4, rowid")
            .arg(quoteIdentifier(m_table.columns[m_column]), quoteIdentifier(m_table.name),
                 quoteIdentifier(m_index), by));
    // The empty text is the first of all texts; nulls are below every bound.
    select->bindUtf8(1, m_started ? QByteArrayView(m_lastText) : QByteArrayView("", 0));
    bool pastLast = !m_started;
    qsizetype taken = 0;
    while (taken < rows) {
        if (!select->step()) {
            m_ended = true;
            return Step::End;
        }
        const qint64 rowid = select->columnInt64(0);
        const QByteArrayView text = select->columnUtf8(1);
        if (!pastLast) {
            if (rowid <= m_lastRowid && compareListOrderUtf8(text, m_lastText) == 0)
                continue;
            pastLast = true;
        }
        appendText(into, text);
        ++taken;
        ++m_read;
        m_lastRowid = rowid;
        if (taken == rows)
            m_lastText = text.toByteArray();
    }
    m_started = true;
    return Step::More;
}

// From the nearest place known before `first` (a piece's end, the last text read, the list's
// start) or from the list's end, whichever is fewer entries away.
ListPages::Step SqliteListPages::readAt(qsizetype first, qsizetype rows, TextBlock& into) {
    return reading([&] {
        const qint64 total = textCount();
        if (first >= total || rows <= 0)
            return Step::End;
        rows = std::min<qint64>(rows, total - first);
        Place from;
        for (const Place& end : m_pieceEnds)
            if (end.at < first && end.at > from.at)
                from = end;
        if (m_started && m_read - 1 < first && m_read - 1 > from.at)
            from = {m_read - 1, m_lastText, m_lastRowid};
        const qint64 afterLast = total - (first + rows);
        if (afterLast < first - from.at - 1)
            readFromEnd(afterLast, rows, into);
        else
            readAfter(from, first - from.at - 1, rows, into);
        return first + rows >= total ? Step::End : Step::More;
    });
}

// Backwards down the list index (its entries in list order, equal texts by row id, so both
// descending), then turned round.
void SqliteListPages::readFromEnd(qint64 skip, qsizetype rows, TextBlock& into) {
    const QString by = listCollated(m_table.columns[m_column]);
    sqlite::StatementLease select = m_core->connection().reuse(
        QStringLiteral("SELECT %1 FROM %2 INDEXED BY %3 WHERE %4 >= ?1 ORDER BY %4 DESC, rowid "
                       "DESC LIMIT ?2 OFFSET ?3")
            .arg(quoteIdentifier(m_table.columns[m_column]), quoteIdentifier(m_table.name),
                 quoteIdentifier(m_index), by));
    select->bindUtf8(1, QByteArrayView("", 0));
    select->bind(2, qint64(rows));
    select->bind(3, skip);
    TextBlock backwards;
    while (select->step())
        appendText(backwards, select->columnUtf8(0));
    for (qsizetype i = backwards.size() - 1; i >= 0; --i)
        appendText(into, backwards.utf8(i));
}

// The rest of the run of texts equal to `from`'s, by row id, then the texts after it; the skip
// over the latter is SQLite's OFFSET, which steps through the index without reading the texts.
void SqliteListPages::readAfter(const Place& from, qint64 skip, qsizetype rows, TextBlock& into) {
    const QString by = listCollated(m_table.columns[m_column]);
    const QString select = QStringLiteral("SELECT %1 FROM %2 INDEXED BY %3 WHERE ")
                               .arg(quoteIdentifier(m_table.columns[m_column]),
                                    quoteIdentifier(m_table.name), quoteIdentifier(m_index));
    sqlite::Connection& db = m_core->connection();
    if (from.at >= 0) {
        sqlite::StatementLease run =
            db.reuse(select + QStringLiteral("%1 = ?1 AND rowid > ?2 ORDER BY %1, rowid").arg(by));
        run->bindUtf8(1, QByteArrayView(from.text));
        run->bind(2, from.rowid);
        while (rows > 0 && run->step()) {
            if (skip > 0) {
                --skip;
                continue;
            }
            appendText(into, run->columnUtf8(0));
            --rows;
        }
    }
    sqlite::StatementLease after =
        db.reuse(select + QStringLiteral("%1 %2 ?1 ORDER BY %1, rowid LIMIT ?2 OFFSET ?3")
                              .arg(by, from.at >= 0 ? QStringLiteral(">") : QStringLiteral(">=")));
    after->bindUtf8(1, from.at >= 0 ? QByteArrayView(from.text) : QByteArrayView("", 0));
    after->bind(2, qint64(rows));
    after->bind(3, skip);
    while (rows > 0 && after->step()) {
        appendText(into, after->columnUtf8(0));
        --rows;
    }
}

} // namespace tolvane::engine
