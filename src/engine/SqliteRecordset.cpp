#include "engine/SqliteRecordset.h"

#include "engine/CaseFold.h"
#include "engine/NoCaseCollation.h"
#include "engine/Schema.h"
#include "engine/sqlite/Statement.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

namespace tolvane::engine {

namespace {

// The smallest folded text above every text that starts with `foldedPrefix`: the prefix with
// its last character raised by one. None when that character would not be a folded code
// point of its own (the range would then be wrong), in which case the lookup scans from the
// lower bound onwards and the matcher alone decides.
std::optional<QString> upperBoundFor(const QString& foldedPrefix) {
    std::u32string cps;
    forEachCodePoint(foldedPrefix, [&](char32_t cp) { cps.push_back(cp); });
    if (cps.empty())
        return std::nullopt;
    const char32_t next = cps.back() + 1;
    if (next > 0x10FFFF || (next >= 0xD800 && next <= 0xDFFF) || foldCase(next) != next)
        return std::nullopt;
    cps.back() = next;
    return QString::fromUcs4(cps.data(), static_cast<qsizetype>(cps.size()));
}

QVariant textValue(const char* data, qint32 length) {
    if (length == 0)
        return QVariant(QStringLiteral(""));
    return QVariant(QString::fromUtf8(data, length));
}

} // namespace

SqliteRecordset::SqliteRecordset(std::shared_ptr<DatabaseCore> core, TableInfo table,
                                 RecordsetTypeEnum type, std::optional<QueryCondition> condition,
                                 QString source)
    : m_core(std::move(core)), m_table(std::move(table)), m_type(type),
      m_source(std::move(source)) {
    if (m_table.columns.isEmpty())
        throw EngineError(err::TableNotFound,
                          QStringLiteral("The table '%1' in '%2' has no columns.")
                              .arg(m_table.name, m_core->displayName()));
    if (condition) {
        m_filter.column = m_table.columnIndex(condition->column);
        m_filter.op = condition->op;
        m_filter.value = condition->value;
        if (m_filter.op == QueryCondition::Op::Like)
            m_filter.pattern.emplace(m_filter.value);
    }
    m_caches.resize(static_cast<size_t>(m_table.columns.size()));
    // The column the rows are selected by is read with them: for a dictionary that is the
    // headword, which is what a word list reads next. A whole table primes its first column.
    open(m_filter.column >= 0 ? m_filter.column : 0);
}

template <typename Sink> void SqliteRecordset::selectRows(int column, Sink&& sink) const {
    sqlite::Connection& db = m_core->connection();
    const QString table = quoteIdentifier(m_table.name);
    const QString wanted = quoteIdentifier(m_table.columns[column]);
    if (m_filter.column < 0) {
        sqlite::StatementLease all =
            db.reuse(QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid").arg(wanted, table));
        while (all->step())
            sink(all->columnInt64(0), *all, 1);
        return;
    }

    // Compared in the collation the headword index is sorted by, so SQLite can use it.
    const QString by = quoteIdentifier(m_table.columns[m_filter.column]) +
                       QStringLiteral(" COLLATE ") + QLatin1String(kNoCaseCollation);
    QString where;
    QString low;
    std::optional<QString> high;
    const LikePattern* pattern = nullptr;
    if (m_filter.op == QueryCondition::Op::Equal) {
        where = QStringLiteral("WHERE %1 = ?1").arg(by);
        low = m_filter.value;
    } else {
        pattern = &*m_filter.pattern;
        low = pattern->literalPrefix();
        if (pattern->isLiteral()) {
            where = QStringLiteral("WHERE %1 = ?1").arg(by);
            pattern = nullptr; // equality in the collation is exactly this match
        } else if (!low.isEmpty()) {
            high = upperBoundFor(low);
            where = high ? QStringLiteral("WHERE %1 >= ?1 AND %1 < ?2").arg(by)
                         : QStringLiteral("WHERE %1 >= ?1").arg(by);
            // Texts between a prefix and its upper bound are exactly the texts that start
            // with it, so a plain prefix pattern needs no further test.
            if (high && pattern->isPrefixOnly())
                pattern = nullptr;
        } else {
            where = QStringLiteral("ORDER BY rowid"); // no prefix: every row is a candidate
        }
    }
    // The filter column is read for the matcher; when it is also the wanted column it is
    // read once.
    const bool sameColumn = column == m_filter.column;
    const QString columns = sameColumn ? wanted
                                       : quoteIdentifier(m_table.columns[m_filter.column]) +
                                             QStringLiteral(", ") + wanted;
    sqlite::StatementLease select =
        db.reuse(QStringLiteral("SELECT rowid, %1 FROM %2 %3").arg(columns, table, where));
    if (where.startsWith(QLatin1String("WHERE")))
        select->bind(1, low);
    if (high)
        select->bind(2, *high);
    const int valueColumn = sameColumn ? 1 : 2;
    while (select->step()) {
        if (pattern) {
            const QByteArrayView candidate = select->columnUtf8(1);
            if (!candidate.data() || !pattern->matchesUtf8(candidate))
                continue;
        }
        sink(select->columnInt64(0), *select, valueColumn);
    }
}

bool SqliteRecordset::store(ColumnCache& cache, size_t position, QByteArrayView value) {
    Slot& slot = cache.slots[position];
    // SQLite hands out no text pointer for NULL, and a valid one for the empty text.
    if (!value.data()) {
        slot.length = kNull;
        return true;
    }
    const size_t offset = cache.arena.size();
    if (offset + static_cast<size_t>(value.size()) > std::numeric_limits<quint32>::max())
        return false;
    slot.offset = static_cast<quint32>(offset);
    slot.length = static_cast<qint32>(value.size());
    cache.arena.append(value.data(), static_cast<size_t>(value.size()));
    return true;
}

void SqliteRecordset::open(int primedColumn) {
    ColumnCache& cache = m_caches[static_cast<size_t>(primedColumn)];
    cache.stamp = m_core->changeStamp();
    if (m_filter.column < 0) {
        // The whole table: its largest row id is a cheap first guess at the row count (capped,
        // since after many deletions it may be far too high).
        sqlite::StatementLease last = m_core->connection().reuse(
            QStringLiteral("SELECT max(rowid) FROM %1").arg(quoteIdentifier(m_table.name)));
        if (last->step()) {
            const auto guess =
                static_cast<size_t>(std::clamp<qint64>(last->columnInt64(0), 0, qint64(1) << 21));
            m_rowids.reserve(guess);
            cache.slots.reserve(guess);
        }
    }
    selectRows(primedColumn, [&](qint64 rowid, const sqlite::Statement& row, int column) {
        m_rowids.push_back(rowid);
        cache.slots.emplace_back();
        store(cache, cache.slots.size() - 1, row.columnUtf8(column));
    });
    cache.bulkLoaded = true;
    m_deleted.assign(m_rowids.size(), 0);
    m_position = 0;
}

void SqliteRecordset::checkOpen() const {
    if (m_core->isClosed())
        m_core->connection(); // throws err::ObjectClosed naming the file
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
    if (m_deleted[static_cast<size_t>(m_position)])
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
    while (p < n && m_deleted[static_cast<size_t>(p)])
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
    while (p >= 0 && m_deleted[static_cast<size_t>(p)])
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
    while (p < n && m_deleted[static_cast<size_t>(p)])
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
    while (p >= 0 && m_deleted[static_cast<size_t>(p)])
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

SqliteRecordset::ColumnCache& SqliteRecordset::freshCache(int column) const {
    ColumnCache& cache = m_caches[static_cast<size_t>(column)];
    const quint64 stamp = m_core->changeStamp();
    if (cache.stamp != stamp) {
        cache.stamp = stamp;
        cache.bulkLoaded = false;
        cache.singleReads = 0;
        cache.arena.clear();
        cache.slots.assign(m_rowids.size(), Slot{});
    } else if (cache.slots.size() < m_rowids.size()) {
        cache.slots.resize(m_rowids.size());
    }
    return cache;
}

void SqliteRecordset::bulkLoad(int column, ColumnCache& cache) const {
    // The rows come back in the order the set was built in unless the file changed in
    // between; a row out of place (or one that is not in the set) is looked up by row id.
    std::unordered_map<qint64, size_t> positions;
    bool indexed = false;
    size_t next = 0;
    const size_t n = m_rowids.size();
    selectRows(column, [&](qint64 rowid, const sqlite::Statement& row, int at) {
        size_t position;
        while (next < n && m_deleted[next]) // rows deleted through this set are not returned
            ++next;
        if (next < n && m_rowids[next] == rowid) {
            position = next++;
        } else {
            if (!indexed) {
                positions.reserve(n);
                for (size_t i = 0; i < n; ++i)
                    positions.emplace(m_rowids[i], i);
                indexed = true;
            }
            const auto found = positions.find(rowid);
            if (found == positions.end())
                return;
            position = found->second;
        }
        if (cache.slots[position].length != kUnknown)
            return;
        store(cache, position, row.columnUtf8(at));
    });
    cache.bulkLoaded = true;
}

QVariant SqliteRecordset::readOne(int column, ColumnCache& cache) const {
    sqlite::StatementLease select = m_core->connection().reuse(
        QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1")
            .arg(quoteIdentifier(m_table.columns[column]), quoteIdentifier(m_table.name)));
    select->bind(1, m_rowids[static_cast<size_t>(m_position)]);
    if (!select->step())
        throw EngineError(err::RecordDeleted,
                          QStringLiteral("Record is deleted: the current row of %1 no longer "
                                         "exists in table '%2'.")
                              .arg(describe(), m_table.name));
    ++cache.singleReads;
    const QVariant value = select->columnValue(0);
    store(cache, static_cast<size_t>(m_position), select->columnUtf8(0));
    return value;
}

QVariant SqliteRecordset::value(int column) const {
    checkOpen();
    if (column < 0 || column >= fieldCount())
        throw EngineError(err::ItemNotFound,
                          QStringLiteral("Item not found in this collection: column %1 of %2.")
                              .arg(QString::number(column), describe()));
    if (m_mode != EditMode::None) {
        if (const auto& pending = m_buffer[static_cast<size_t>(column)])
            return *pending;
        if (m_mode == EditMode::Adding)
            return {};
    }
    requireCurrentRow("read a field");
    ColumnCache& cache = freshCache(column);
    const auto position = static_cast<size_t>(m_position);
    if (cache.slots[position].length == kUnknown) {
        // A few rows are read one by one; a walk through the set loads the column at once.
        if (!cache.bulkLoaded && cache.singleReads >= 2)
            bulkLoad(column, cache);
        if (cache.slots[position].length == kUnknown)
            return readOne(column, cache);
    }
    const Slot& slot = cache.slots[position];
    if (slot.length == kNull)
        return {};
    return textValue(cache.arena.data() + slot.offset, slot.length);
}

void SqliteRecordset::setValue(int column, const QVariant& value) {
    checkOpen();
    if (column < 0 || column >= fieldCount())
        throw EngineError(err::ItemNotFound,
                          QStringLiteral("Item not found in this collection: column %1 of %2.")
                              .arg(QString::number(column), describe()));
    if (m_mode == EditMode::None)
        throw EngineError(err::UpdateWithoutEdit,
                          QStringLiteral("Update or CancelUpdate without AddNew or Edit: the "
                                         "field '%1' of %2 can only be set after AddNew or Edit.")
                              .arg(m_table.columns[column], describe()));
    m_buffer[static_cast<size_t>(column)] =
        value.isNull() ? QVariant() : QVariant(value.toString());
}

bool SqliteRecordset::rowExists(qint64 rowid) {
    sqlite::StatementLease find = m_core->connection().reuse(
        QStringLiteral("SELECT 1 FROM %1 WHERE rowid = ?1").arg(quoteIdentifier(m_table.name)));
    find->bind(1, rowid);
    return find->step();
}

void SqliteRecordset::AddNew() {
    checkOpen();
    m_core->requireWritable(QStringLiteral("add a row to table '%1'").arg(m_table.name));
    m_mode = EditMode::Adding;
    m_buffer.assign(static_cast<size_t>(fieldCount()), std::nullopt);
}

void SqliteRecordset::Edit() {
    checkOpen();
    m_core->requireWritable(QStringLiteral("edit a row of table '%1'").arg(m_table.name));
    requireCurrentRow("edit it");
    if (!rowExists(m_rowids[static_cast<size_t>(m_position)]))
        throw EngineError(err::RecordDeleted,
                          QStringLiteral("Record is deleted: the current row of %1 no longer "
                                         "exists in table '%2', so it cannot be edited.")
                              .arg(describe(), m_table.name));
    m_mode = EditMode::Editing;
    m_buffer.assign(static_cast<size_t>(fieldCount()), std::nullopt);
}

void SqliteRecordset::Update(UpdateTypeEnum type, bool force) {
    Q_UNUSED(force); // one user, one writer: there is no conflict to force past
    checkOpen();
    if (type != dbUpdateRegular)
        throw EngineError(err::InvalidArgument,
                          QStringLiteral("Invalid argument: update type %1 for %2.")
                              .arg(QString::number(static_cast<int>(type)), describe()));
    if (m_mode == EditMode::None)
        throw EngineError(
            err::UpdateWithoutEdit,
            QStringLiteral("Update or CancelUpdate without AddNew or Edit on %1.").arg(describe()));
    m_core->requireWritable(QStringLiteral("update table '%1'").arg(m_table.name));

    QStringList names;
    std::vector<QVariant> values;
    for (size_t i = 0; i < m_buffer.size(); ++i) {
        if (m_buffer[i]) {
            names << quoteIdentifier(m_table.columns[static_cast<qsizetype>(i)]);
            values.push_back(*m_buffer[i]);
        }
    }
    sqlite::Connection& db = m_core->connection();
    const QString table = quoteIdentifier(m_table.name);

    if (m_mode == EditMode::Adding) {
        QString sql;
        if (names.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table);
        } else {
            QStringList marks;
            for (qsizetype i = 0; i < names.size(); ++i)
                marks << QLatin1Char('?') + QString::number(i + 1);
            // Joined, not formatted: a column name may itself hold "%1".
            sql = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") +
                  names.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                  marks.join(QStringLiteral(", ")) + QLatin1Char(')');
        }
        sqlite::Transaction transaction(db);
        sqlite::Statement insert(db, sql);
        for (size_t i = 0; i < values.size(); ++i)
            insert.bind(static_cast<int>(i + 1), values[i]);
        insert.run();
        const qint64 rowid = db.lastInsertRowid();
        transaction.commit();
        m_core->noteWrite();
        // The new row joins this set at its end; the current row stays where it was.
        const bool afterEnd = m_position >= static_cast<qsizetype>(m_rowids.size());
        m_rowids.push_back(rowid);
        m_deleted.push_back(0);
        if (afterEnd)
            m_position = static_cast<qsizetype>(m_rowids.size());
        leaveEditMode();
        return;
    }

    if (names.isEmpty()) { // nothing was assigned: nothing to store
        leaveEditMode();
        return;
    }
    // Joined, not formatted: a column name may itself hold "%1", which a second arg() call
    // would rewrite.
    QStringList assignments;
    for (qsizetype i = 0; i < names.size(); ++i)
        assignments << names[i] + QStringLiteral(" = ?") + QString::number(i + 1);
    const int rowidParameter = static_cast<int>(names.size()) + 1;
    sqlite::Transaction transaction(db);
    sqlite::Statement update(db, QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") +
                                     assignments.join(QStringLiteral(", ")) +
                                     QStringLiteral(" WHERE rowid = ?") +
                                     QString::number(rowidParameter));
    for (size_t i = 0; i < values.size(); ++i)
        update.bind(static_cast<int>(i + 1), values[i]);
    update.bind(rowidParameter, m_rowids[static_cast<size_t>(m_position)]);
    update.run();
    if (db.changes() == 0)
        throw EngineError(err::RecordDeleted,
                          QStringLiteral("Record is deleted: the row being edited in %1 no longer "
                                         "exists in table '%2'; nothing was stored.")
                              .arg(describe(), m_table.name));
    transaction.commit();
    m_core->noteWrite();
    leaveEditMode();
}

void SqliteRecordset::CancelUpdate() {
    checkOpen();
    if (m_mode == EditMode::None)
        throw EngineError(
            err::UpdateWithoutEdit,
            QStringLiteral("Update or CancelUpdate without AddNew or Edit on %1.").arg(describe()));
    leaveEditMode();
}

void SqliteRecordset::Delete() {
    checkOpen();
    m_core->requireWritable(QStringLiteral("delete a row of table '%1'").arg(m_table.name));
    requireCurrentRow("delete it");
    leaveEditMode();
    sqlite::Connection& db = m_core->connection();
    sqlite::Transaction transaction(db);
    sqlite::Statement remove(
        db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(quoteIdentifier(m_table.name)));
    remove.bind(1, m_rowids[static_cast<size_t>(m_position)]);
    remove.run();
    if (db.changes() == 0)
        throw EngineError(err::RecordDeleted,
                          QStringLiteral("Record is deleted: the current row of %1 had already "
                                         "been deleted from table '%2'.")
                              .arg(describe(), m_table.name));
    transaction.commit();
    m_core->noteWrite();
    m_deleted[static_cast<size_t>(m_position)] = 1;
    ++m_deletedCount;
}

} // namespace tolvane::engine
