#include "engine/SqliteDatabase.h"

#include "engine/BuiltListPages.h"
#include "engine/DatabaseCore.h"
#include "engine/QueryParser.h"
#include "engine/ReadTransaction.h"
#include "engine/RowSelection.h"
#include "engine/SqliteListPages.h"
#include "engine/SqliteRecordset.h"

namespace tolvane::engine {

SqliteDatabase::SqliteDatabase(std::unique_ptr<sqlite::Connection> connection,
                               const QString& displayName, bool readOnly)
    : m_core(std::make_shared<DatabaseCore>(std::move(connection), displayName, readOnly)) {}

std::shared_ptr<Recordset> SqliteDatabase::OpenRecordset(const QString& source,
                                                         std::optional<RecordsetTypeEnum> type) {
    return open(source, type, nullptr);
}

std::shared_ptr<Recordset>
SqliteDatabase::OpenRecordsetInListOrder(const QString& source, const QString& column,
                                         std::optional<RecordsetTypeEnum> type) {
    return open(source, type, &column);
}

std::unique_ptr<ListPages> SqliteDatabase::OpenListPages(const QString& table,
                                                         const QString& column) {
    m_core->connection(); // err::ObjectClosed after Close
    TableInfo info = m_core->table(table.trimmed(), {});
    const int index = info.columnIndex(column);
    if (index < 0)
        throw EngineError(err::ItemNotFound,
                          QStringLiteral("Item not found in this collection: the column '%1' "
                                         "to list is not in table '%2' of '%3'.")
                              .arg(column, info.name, m_core->displayName()));
    const std::optional<QString> listIndex = m_core->listIndex(info, index);
    if (listIndex)
        return std::make_unique<SqliteListPages>(m_core, std::move(info), index, *listIndex);
    // A copy in memory (a legacy file) cannot be read from another thread: ordered here.
    const QString path = m_core->connection().path();
    if (path.isEmpty() || path == QLatin1String(":memory:"))
        return nullptr;
    // Ordered on a thread of its own, the index added where the file lacks it.
    return std::make_unique<BuiltListPages>(m_core, std::move(info), index);
}

std::shared_ptr<Recordset> SqliteDatabase::open(const QString& source,
                                                std::optional<RecordsetTypeEnum> type,
                                                const QString* listColumn) {
    m_core->connection(); // err::ObjectClosed after Close
    if (type == dbOpenTable) {
        if (looksLikeQuery(source))
            throw EngineError(err::InvalidOperation,
                              QStringLiteral("Invalid operation: a table-type recordset needs a "
                                             "table name, not the query '%1' (in '%2').")
                                  .arg(source, m_core->displayName()));
        TableInfo table = m_core->table(source.trimmed(), {});
        return std::make_shared<SqliteRecordset>(m_core, std::move(table), dbOpenTable,
                                                 std::nullopt, source, listColumn);
    }
    if (type && *type != dbOpenDynaset)
        throw EngineError(
            err::InvalidArgument,
            QStringLiteral("Invalid argument: recordset type %1 is not supported "
                           "(opening '%2' in '%3').")
                .arg(QString::number(static_cast<int>(*type)), source, m_core->displayName()));

    Selection selected = select(source);
    return std::make_shared<SqliteRecordset>(m_core, std::move(selected.table), dbOpenDynaset,
                                             std::move(selected.where), source, listColumn);
}

// A bare table name (which may contain blanks) selects the whole table, a query its rows.
SqliteDatabase::Selection SqliteDatabase::select(const QString& source) {
    if (!looksLikeQuery(source)) {
        try {
            return {m_core->table(source.trimmed(), {}), std::nullopt};
        } catch (const EngineError& error) {
            if (error.number() != err::TableNotFound)
                throw;
        }
    }
    const ParsedQuery query = parseQuery(source);
    TableInfo table = m_core->table(query.table, QStringLiteral(" (query '%1')").arg(source));
    if (query.where && table.columnIndex(query.where->column) < 0)
        throw EngineError(err::ItemNotFound,
                          QStringLiteral("Item not found in this collection: the column '%1' of "
                                         "the query '%2' is not in table '%3' of '%4'.")
                              .arg(query.where->column, source, table.name, m_core->displayName()));
    return {std::move(table), query.where};
}

bool SqliteDatabase::HasRows(const QString& source) {
    m_core->connection(); // err::ObjectClosed after Close
    const Selection selected = select(source);
    const ReadTransaction reading(m_core->connection());
    m_core->checkExternalChanges();
    const RowFilter filter = RowFilter::of(selected.table, selected.where);
    return RowSelection(*m_core, selected.table, filter, -1).any();
}

void SqliteDatabase::Close() {
    m_core->close();
}

QString SqliteDatabase::Name() const {
    return m_core->displayName();
}

bool SqliteDatabase::isReadOnly() const {
    return m_core->isReadOnly();
}

int SqliteDatabase::listPreparingPercent() const {
    return m_core->listBuildPercent();
}

void SqliteDatabase::setWaitForLocks(bool wait) {
    m_core->setWaitForLocks(wait);
}

std::shared_ptr<Database> databaseFromConnection(std::unique_ptr<sqlite::Connection> connection,
                                                 const QString& displayName, bool readOnly) {
    return std::make_shared<SqliteDatabase>(std::move(connection), displayName, readOnly);
}

} // namespace tolvane::engine
