// Changing rows through a recordset: AddNew, Edit, Update, CancelUpdate and Delete.

#include "engine/SqliteRecordset.h"

#include "engine/Schema.h"
#include "engine/sqlite/Statement.h"

namespace tolvane::engine {

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
        if (!m_deleted.empty())
            m_deleted.push_back(false);
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
    if (m_deleted.empty())
        m_deleted.assign(m_rowids.size(), false);
    m_deleted[static_cast<size_t>(m_position)] = true;
    ++m_deletedCount;
}

} // namespace tolvane::engine
