// Reading values: the per-column cache of a recordset, loaded for the whole set on a walk and
// read row by row otherwise (see SqliteRecordset.h).

#include "engine/SqliteRecordset.h"

#include "engine/Schema.h"
#include "engine/sqlite/Statement.h"

#include <unordered_map>

namespace tolvane::engine {

SqliteRecordset::ColumnCache& SqliteRecordset::freshCache(int column) const {
    ColumnCache& cache = m_caches[static_cast<size_t>(column)];
    const quint64 stamp = m_core->changeStamp();
    const auto n = static_cast<qsizetype>(m_rowids.size());
    if (cache.stamp != stamp) {
        cache.stamp = stamp;
        cache.bulkLoaded = false;
        cache.singleReads = 0;
        cache.values.clear();
        cache.values.resize(n);
    } else if (cache.values.size() < n) {
        cache.values.resize(n);
    }
    return cache;
}

void SqliteRecordset::bulkLoad(int column, ColumnCache& cache) const {
    // The rows come back in the order the set was built in unless the file changed in
    // between (or the set was ordered in memory); a row out of place (or one that is not in
    // the set) is looked up by row id.
    std::unordered_map<qint64, size_t> positions;
    bool indexed = false;
    size_t next = 0;
    const size_t n = m_rowids.size();
    const RowSelection selection(*m_core, m_table, m_filter, m_listColumn);
    selection.run(column, m_inListIndexOrder,
                  [&](qint64 rowid, const sqlite::Statement& row, int at) {
                      size_t position;
                      while (next < n && isDeleted(next)) // deleted through this set
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
                      const auto place = static_cast<qsizetype>(position);
                      if (!cache.values.isKnown(place))
                          cache.values.set(place, row.columnUtf8(at));
                  });
    cache.bulkLoaded = true;
}

QVariant SqliteRecordset::readOne(int column, ColumnCache& cache, size_t position) const {
    sqlite::StatementLease select = m_core->connection().reuse(
        QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1")
            .arg(quoteIdentifier(m_table.columns[column]), quoteIdentifier(m_table.name)));
    select->bind(1, m_rowids[position]);
    if (!select->step())
        throw EngineError(err::RecordDeleted,
                          QStringLiteral("Record is deleted: the current row of %1 no longer "
                                         "exists in table '%2'.")
                              .arg(describe(), m_table.name));
    ++cache.singleReads;
    const QVariant value = select->columnValue(0);
    cache.values.set(static_cast<qsizetype>(position), select->columnUtf8(0));
    return value;
}

void SqliteRecordset::checkColumn(int column) const {
    if (column < 0 || column >= fieldCount())
        throw EngineError(err::ItemNotFound,
                          QStringLiteral("Item not found in this collection: column %1 of %2.")
                              .arg(QString::number(column), describe()));
}

QVariant SqliteRecordset::value(int column) const {
    checkOpen();
    checkColumn(column);
    if (m_mode != EditMode::None) {
        if (const auto& pending = m_buffer[static_cast<size_t>(column)])
            return *pending;
        if (m_mode == EditMode::Adding)
            return {};
    }
    requireCurrentRow("read a field");
    ColumnCache& cache = freshCache(column);
    const auto place = static_cast<qsizetype>(m_position);
    if (!cache.values.isKnown(place)) {
        // A few rows are read one by one; a walk through the set loads the column at once.
        if (!cache.bulkLoaded && cache.singleReads >= 2)
            bulkLoad(column, cache);
        if (!cache.values.isKnown(place))
            return readOne(column, cache, static_cast<size_t>(place));
    }
    if (cache.values.isNull(place))
        return {};
    return QVariant(cache.values.text(place));
}

TextBlock SqliteRecordset::takeRemainingText(int column) {
    checkOpen();
    checkColumn(column);
    leaveEditMode();
    const auto n = static_cast<qsizetype>(m_rowids.size());
    const qsizetype from = std::max<qsizetype>(m_position, 0);
    if (from < n && isDeleted(static_cast<size_t>(from)))
        requireCurrentRow("read a field"); // as reading the current row would fail
    ColumnCache& cache = freshCache(column);
    if (!cache.bulkLoaded && from < n)
        bulkLoad(column, cache);
    for (qsizetype p = from; p < n; ++p) // rows the load did not find: read by row id
        if (!isDeleted(static_cast<size_t>(p)) && !cache.values.isKnown(p))
            (void)readOne(column, cache, static_cast<size_t>(p));

    TextBlock taken;
    if (from == 0 && m_deletedCount == 0 && cache.values.size() == n) {
        taken = std::move(cache.values); // the usual case: the whole cache, as it is
    } else {
        taken.reserve(n - from);
        for (qsizetype p = from; p < n; ++p)
            if (!isDeleted(static_cast<size_t>(p)) && !taken.append(cache.values.utf8(p)))
                throw EngineError(err::InvalidOperation,
                                  QStringLiteral("The texts of column '%1' of %2 exceed 4 GiB.")
                                      .arg(m_table.columns[column], describe()));
    }
    // The caller keeps the texts now; the set keeps no second copy of them.
    cache.values.clear();
    cache.stamp = ~quint64(0);
    cache.bulkLoaded = false;
    m_position = n;
    return taken;
}

void SqliteRecordset::setValue(int column, const QVariant& value) {
    checkOpen();
    checkColumn(column);
    if (m_mode == EditMode::None)
        throw EngineError(err::UpdateWithoutEdit,
                          QStringLiteral("Update or CancelUpdate without AddNew or Edit: the "
                                         "field '%1' of %2 can only be set after AddNew or Edit.")
                              .arg(m_table.columns[column], describe()));
    m_buffer[static_cast<size_t>(column)] =
        value.isNull() ? QVariant() : QVariant(value.toString());
}

} // namespace tolvane::engine
