#include "engine/SqliteListPages.h"

#include "engine/ListCollation.h"
#include "engine/ReadTransaction.h"
#include "engine/Schema.h"

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

void SqliteListPages::restart() {
    const ReadTransaction reading(m_core->connection());
    m_core->checkExternalChanges();
    m_stamp = m_core->changeStamp();
    m_started = false;
    m_ended = false;
    m_lastText.clear();
    m_lastRowid = 0;
    m_texts = -1;
    m_countedSoFar = 0;
    m_countStarted = false;
    m_countText.clear();
    m_countRowid = 0;
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
    const ReadTransaction reading(db);
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
    sqlite::Connection& db = m_core->connection();
    const ReadTransaction reading(db);
    m_core->checkExternalChanges();
    if (m_core->changeStamp() != m_stamp)
        return Step::Changed;
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
    const ReadTransaction reading(m_core->connection());
    m_core->checkExternalChanges();
    if (m_core->changeStamp() != m_stamp)
        return Step::Changed;
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
        if (!into.append(text.data() ? text : QByteArrayView("", 0)))
            throw EngineError(
                err::InvalidOperation,
                QStringLiteral("The texts of column '%1' of table '%2' in '%3' "
                               "exceed 4 GiB.")
                    .arg(m_table.columns[m_column], m_table.name, m_core->displayName()));
        ++taken;
        m_lastRowid = rowid;
        if (taken == rows)
            m_lastText = text.toByteArray();
    }
    m_started = true;
    return Step::More;
}

} // namespace tolvane::engine
