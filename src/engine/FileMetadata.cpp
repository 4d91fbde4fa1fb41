#include "engine/FileMetadata.h"

#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

namespace tolvane::engine {

namespace {

bool hasMetadataTable(sqlite::Connection& connection) {
    sqlite::StatementLease find = connection.reuse(
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1"));
    find->bind(1, QString::fromLatin1(kMetadataTable));
    return find->step();
}

} // namespace

std::optional<QString> readMetadata(sqlite::Connection& connection, const QString& key) {
    if (!hasMetadataTable(connection))
        return std::nullopt;
    sqlite::StatementLease read = connection.reuse(
        QStringLiteral("SELECT value FROM %1 WHERE key = ?1").arg(QLatin1String(kMetadataTable)));
    read->bind(1, key);
    if (!read->step())
        return std::nullopt;
    return read->columnText(0);
}

void writeMetadata(sqlite::Connection& connection, const QString& key, const QString& value) {
    connection.exec(
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (key TEXT PRIMARY KEY, value TEXT)")
            .arg(QLatin1String(kMetadataTable)));
    sqlite::StatementLease write =
        connection.reuse(QStringLiteral("INSERT OR REPLACE INTO %1 (key, value) VALUES (?1, ?2)")
                             .arg(QLatin1String(kMetadataTable)));
    write->bind(1, key);
    write->bind(2, value);
    write->run();
}

} // namespace tolvane::engine
