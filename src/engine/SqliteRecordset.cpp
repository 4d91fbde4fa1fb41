#include "engine/SqliteRecordset.h"

#include "engine/ListOrder.h"
#include "engine/ReadTransaction.h"
#include "engine/Schema.h"
#include "engine/sqlite/Statement.h"

#include <algorithm>
#include <sqlite3.h>

namespace tolvane::engine {

namespace {

// Room reserved per row for the texts of a whole-table read (a headword's UTF-8 bytes, with
// room to spare; longer texts make the block grow).
constexpr size_t kUsualTextBytes = 16;

} // namespace

SqliteRecordset::SqliteRecordset(std::shared_ptr<DatabaseCore> core, TableInfo table,
                                 RecordsetTypeEnum type, std::optional<QueryCondition> condition,
                                 QString source, const QString* listColumn)
    : m_core(std::move(core)), m_table(std::move(table)), m_type(type),
      m_source(std::move(source)) {
    if (m_table.columns.isEmpty())
        throw EngineError(err::TableNotFound,
                          QStringLiteral("The table '%1' in '%2' has no columns.")
                              .arg(m_table.name, m_core->displayName()));
    m_filter = RowFilter::of(m_table, condition);
    if (listColumn) {
        m_listColumn = m_table.columnIndex(*listColumn);
        if (m_listColumn < 0)
            throw EngineError(err::ItemNotFound,
                              QStringLiteral("Item not found in this collection: the column '%1' "
                                             "to order by is not in table '%2' of '%3'.")
                                  .arg(*listColumn, m_table.name, m_core->displayName()));
    }
    m_caches.resize(static_cast<size_t>(m_table.columns.size()));
    // The column the rows are ordered or selected by is read with them: for a dictionary that
    // is the headword, which is what a word list reads next. A whole table primes its first
    // column.
    open(m_listColumn >= 0 ? m_listColumn : m_filter.column >= 0 ? m_filter.column : 0);
}

void SqliteRecordset::open(int primedColumn) {
    const ReadTransaction reading(m_core->connection());
    // Commits by other programs are noticed here, under the lock just taken, so the set is
    // read as fresh as a MoveFirst would leave it, and other sets' caches learn of them.
    m_core->checkExternalChanges();
    ColumnCache& cache = m_caches[static_cast<size_t>(primedColumn)];
    cache.stamp = m_core->changeStamp();
    if (m_filter.column < 0) {
        // The whole table: its largest row id is a cheap first guess at the row count (capped,
        // since after many deletions it may be far too high). Reserving only claims address
        // space; what is not filled never becomes resident, while growing by doubling would
        // hold the old and the new copy at once and leave up to half of the last one unused.
        sqlite::StatementLease last = m_core->connection().reuse(
            QStringLiteral("SELECT max(rowid) FROM %1").arg(quoteIdentifier(m_table.name)));
        if (last->step()) {
            const auto guess =
                static_cast<size_t>(std::clamp<qint64>(last->columnInt64(0), 0, qint64(1) << 25));
            m_rowids.reserve(guess);
            cache.values.reserve(static_cast<qsizetype>(guess));
            // The texts too, at a headword's usual size: their block growing by doubling
            // would leave every smaller copy in the heap until the fill ends, as much again.
            cache.values.reserveBytes(guess * kUsualTextBytes);
        }
    }
    const RowSelection selection(*m_core, m_table, m_filter, m_listColumn);
    const auto collect = [&](qint64 rowid, const sqlite::Statement& row, int column) {
        m_rowids.push_back(rowid);
        if (!cache.values.append(row.columnUtf8(column)))
            cache.values.resize(cache.values.size() + 1); // full: read by row id later
    };
    RowSelection::Outcome outcome = selection.run(primedColumn, m_listColumn >= 0, collect);
    if (outcome == RowSelection::Outcome::Incomplete) {
        m_rowids.clear();
        cache.values.clear();
        outcome = selection.run(primedColumn, false, collect);
    }
    cache.bulkLoaded = true;
    m_inListIndexOrder = outcome == RowSelection::Outcome::InListOrder;
    if (m_listColumn >= 0 && !m_inListIndexOrder)
        orderInMemory(cache);
    m_position = 0;
}

// No list index served the set: the rows are put into list order here, by the values of the
// list column, which `primed` holds.
void SqliteRecordset::orderInMemory(ColumnCache& primed) {
    const std::vector<quint32> order = listOrder(primed.values, m_rowids);
    m_rowids.permute(order);
    primed.values.permute(order);
}

void SqliteRecordset::checkOpen() const {
    if (m_closed)
        throw EngineError(
            err::ObjectClosed,
            QStringLiteral("Object invalid or no longer set: %1 has been closed.").arg(describe()));
    if (m_core->isClosed())
        m_core->connection(); // throws err::ObjectClosed naming the file
}

void SqliteRecordset::Close() {
    m_closed = true;
    leaveEditMode();
    m_rowids.release();
    std::vector<bool>().swap(m_deleted);
    std::vector<ColumnCache>().swap(m_caches);
    m_deletedCount = 0;
    m_position = 0;
}

QString SqliteRecordset::describe() const {
    return QStringLiteral("the recordset '%1' of '%2'").arg(m_source, m_core->displayName());
}

bool SqliteRecordset::onRow() const {
    return m_position >= 0 && m_position < static_cast<qsizetype>(m_rowids.size());
}

void SqliteRecordset::requireCurrentRow(const char* action) const {
    if (!onRow())
        throw EngineError(err::NoCurrentRecord,
                          QStringLiteral("No current record: %1 stands on no row, so it cannot %2.")
                              .arg(describe(), QLatin1String(action)));
    if (isDeleted(static_cast<size_t>(m_position)))
        throw EngineError(err::RecordDeleted,
                          QStringLiteral("Record is deleted: the current row of %1 has been "
                                         "deleted, so it cannot %2.")
                              .arg(describe(), QLatin1String(action)));
}

void SqliteRecordset::leaveEditMode() {
    m_mode = EditMode::None;
    m_buffer.clear();
}

int SqliteRecordset::RecordCount() const {
    checkOpen();
    return static_cast<int>(m_rowids.size()) - m_deletedCount;
}

void SqliteRecordset::MoveFirst() {
    checkOpen();
    leaveEditMode();
    m_core->checkExternalChanges();
    qsizetype p = 0;
    const auto n = static_cast<qsizetype>(m_rowids.size());
    while (p < n && isDeleted(static_cast<size_t>(p)))
        ++p;
    m_position = p;
    if (p >= n)
        throw EngineError(err::NoCurrentRecord,
                          QStringLiteral("No current record: %1 holds no rows.").arg(describe()));
}

void SqliteRecordset::MoveLast() {
    checkOpen();
    leaveEditMode();
    m_core->checkExternalChanges();
    qsizetype p = static_cast<qsizetype>(m_rowids.size()) - 1;
    while (p >= 0 && isDeleted(static_cast<size_t>(p)))
        --p;
    if (p < 0) {
        m_position = static_cast<qsizetype>(m_rowids.size());
        throw EngineError(err::NoCurrentRecord,
                          QStringLiteral("No current record: %1 holds no rows.").arg(describe()));
    }
    m_position = p;
}

void SqliteRecordset::MoveNext() {
    checkOpen();
    const auto n = static_cast<qsizetype>(m_rowids.size());
    if (m_position >= n)
        throw EngineError(
            err::NoCurrentRecord,
            QStringLiteral("No current record: %1 is already past its last row.").arg(describe()));
    leaveEditMode();
    qsizetype p = m_position + 1;
    while (p < n && isDeleted(static_cast<size_t>(p)))
        ++p;
    m_position = p;
}

void SqliteRecordset::MovePrevious() {
    checkOpen();
    if (m_position < 0)
        throw EngineError(err::NoCurrentRecord,
                          QStringLiteral("No current record: %1 is already before its first row.")
                              .arg(describe()));
    leaveEditMode();
    qsizetype p = m_position - 1;
    while (p >= 0 && isDeleted(static_cast<size_t>(p)))
        --p;
    m_position = p;
}

bool SqliteRecordset::isEOF() const {
    return RecordCount() == 0 || m_position >= static_cast<qsizetype>(m_rowids.size());
}

bool SqliteRecordset::isBOF() const {
    return RecordCount() == 0 || m_position < 0;
}

int SqliteRecordset::fieldCount() const {
    return static_cast<int>(m_table.columns.size());
}

QString SqliteRecordset::fieldName(int column) const {
    return m_table.columns.value(column);
}

int SqliteRecordset::columnIndex(const QString& name) const {
    if (m_lastFieldIndex >= 0 && name == m_lastFieldName)
        return m_lastFieldIndex;
    const int index = m_table.columnIndex(name);
    if (index >= 0) {
        m_lastFieldName = name;
        m_lastFieldIndex = index;
    }
    return index;
}

} // namespace tolvane::engine
