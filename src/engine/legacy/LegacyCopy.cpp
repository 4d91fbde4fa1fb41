#include "engine/legacy/LegacyCopy.h"

#include "engine/Schema.h"
#include "engine/legacy/JetProtocol.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

namespace tolvane::engine::legacy {

namespace {

QString insertStatement(const LegacyTable& table) {
    QStringList names;
    QStringList placeholders;
    for (const QString& column : table.columns) {
        names << quoteIdentifier(column);
        placeholders << QStringLiteral("?");
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(quoteIdentifier(table.name), names.join(QStringLiteral(", ")),
             placeholders.join(QStringLiteral(", ")));
}

} // namespace

void copyLegacyTables(const LegacyDatabase& database, sqlite::Connection& connection) {
    sqlite::Transaction transaction(connection);
    for (const LegacyTable& table : database.tables) {
        createTextTable(connection, table.name, table.columns);
        sqlite::Statement insert = connection.prepare(insertStatement(table));
        for (const LegacyRow& row : table.rows) {
            for (std::size_t i = 0; i < row.size(); ++i) {
                if (row[i])
                    insert.bind(int(i) + 1, *row[i]);
                else
                    insert.bindNull(int(i) + 1);
            }
            insert.run();
            insert.reset();
        }
    }
    transaction.commit();
}

void indexTextColumns(const LegacyDatabase& database, sqlite::Connection& connection) {
    for (const LegacyTable& table : database.tables)
        for (qsizetype i = 0; i < table.columns.size(); ++i)
            if (table.columnTypes[std::size_t(i)] == jetstream::kTypeText)
                createHeadwordIndex(connection, table.name, table.columns[i]);
}

} // namespace tolvane::engine::legacy
