#include "engine/Schema.h"

#include "engine/CollationIndexes.h"
#include "engine/ListCollation.h"
#include "engine/NoCaseCollation.h"
#include "engine/sqlite/Connection.h"

namespace tolvane::engine {

QString quoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void createTextTable(sqlite::Connection& connection, const QString& table,
                     const QStringList& columns) {
    if (columns.isEmpty())
        throw EngineError(err::InvalidArgument,
                          QStringLiteral("Table '%1' in '%2' needs at least one column.")
                              .arg(table, connection.displayName()));
    QStringList definitions;
    for (const QString& column : columns)
        definitions << quoteIdentifier(column) + QStringLiteral(" TEXT");
    connection.exec(QStringLiteral("CREATE TABLE %1 (%2)")
                        .arg(quoteIdentifier(table), definitions.join(QStringLiteral(", "))));
}

QString headwordIndexName(const QString& table, const QString& column) {
    return QStringLiteral("%1_%2_nocase").arg(table, column);
}

void createHeadwordIndex(sqlite::Connection& connection, const QString& table,
                         const QString& column) {
    // Older indexes brought up to date first, so that the versions recorded hold for all.
    recordCollationVersions(connection);
    connection.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3 COLLATE %4)")
                        .arg(quoteIdentifier(headwordIndexName(table, column)),
                             quoteIdentifier(table), quoteIdentifier(column),
                             QLatin1String(kNoCaseCollation)));
}

QString listIndexName(const QString& table, const QString& column) {
    return QStringLiteral("%1_%2_list").arg(table, column);
}

void createListIndex(sqlite::Connection& connection, const QString& table, const QString& column) {
    recordCollationVersions(connection);
    connection.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3 COLLATE %4)")
                        .arg(quoteIdentifier(listIndexName(table, column)), quoteIdentifier(table),
                             quoteIdentifier(column), QLatin1String(kListCollation)));
}

} // namespace tolvane::engine
