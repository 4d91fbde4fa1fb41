#include "engine/CollationIndexes.h"

#include "engine/CaseFold.h"
#include "engine/FileMetadata.h"
#include "engine/ListCollation.h"
#include "engine/NoCaseCollation.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <QRegularExpression>
#include <algorithm>
#include <vector>

namespace tolvane::engine {

namespace {

struct CollationIndex {
    QString name;
    QString table;
    QString firstColumn;
    bool caseFold = false; // else list order
};

bool usesCollation(const QString& sql, const char* collation) {
    const QRegularExpression pattern(
        QStringLiteral("COLLATE\\s+[\"'`\\[]?%1\\b").arg(QLatin1String(collation)),
        QRegularExpression::CaseInsensitiveOption);
    return pattern.match(sql).hasMatch();
}

std::vector<CollationIndex> collationIndexes(sqlite::Connection& connection) {
    std::vector<CollationIndex> found;
    sqlite::Statement all(connection, QStringLiteral("SELECT name, tbl_name, sql FROM "
                                                     "sqlite_master WHERE type = 'index' AND "
                                                     "sql IS NOT NULL"));
    while (all.step()) {
        const QString sql = all.columnText(2);
        const bool caseFold = usesCollation(sql, kNoCaseCollation);
        if (!caseFold && !usesCollation(sql, kListCollation))
            continue;
        found.push_back({all.columnText(0), all.columnText(1), {}, caseFold});
    }
    for (CollationIndex& index : found) {
        sqlite::Statement columns(
            connection, QStringLiteral("PRAGMA index_info(%1)").arg(quoteIdentifier(index.name)));
        if (columns.step())
            index.firstColumn = columns.columnText(2);
    }
    return found;
}

bool isCurrent(sqlite::Connection& connection, const char* key, const QString& current) {
    return readMetadata(connection, QString::fromLatin1(key)) == current;
}

CollationIndexState validity(sqlite::Connection& connection,
                             const std::vector<CollationIndex>& indexes) {
    bool anyCaseFold = false;
    bool anyList = false;
    for (const CollationIndex& index : indexes)
        (index.caseFold ? anyCaseFold : anyList) = true;
    CollationIndexState state;
    state.caseFoldIndexesValid =
        !anyCaseFold || isCurrent(connection, kCaseFoldVersionKey, caseFoldVersion());
    state.listIndexesValid =
        !anyList || isCurrent(connection, kListVersionKey, listCollationVersion());
    return state;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isSmall(sqlite::Connection& connection, const QString& table) {
    return tableRowSpan(connection, table) <= kListIndexAtOnceRows;
}

bool anyLarge(sqlite::Connection& connection, const std::vector<CollationIndex>& indexes) {
    QStringList tables;
    for (const CollationIndex& index : indexes)
        if (!tables.contains(index.table, Qt::CaseInsensitive))
            tables << index.table;
    return std::any_of(tables.begin(), tables.end(),
                       [&](const QString& table) { return !isSmall(connection, table); });
}

} // namespace

void recordCollationVersions(sqlite::Connection& connection) {
    const CollationIndexState state = validity(connection, collationIndexes(connection));
    if (!state.caseFoldIndexesValid)
        connection.exec(QStringLiteral("REINDEX %1").arg(QLatin1String(kNoCaseCollation)));
    if (!state.listIndexesValid)
        connection.exec(QStringLiteral("REINDEX %1").arg(QLatin1String(kListCollation)));
    if (!isCurrent(connection, kCaseFoldVersionKey, caseFoldVersion()))
        writeMetadata(connection, QString::fromLatin1(kCaseFoldVersionKey), caseFoldVersion());
    if (!isCurrent(connection, kListVersionKey, listCollationVersion()))
        writeMetadata(connection, QString::fromLatin1(kListVersionKey), listCollationVersion());
}

CollationIndexState prepareCollationIndexes(sqlite::Connection& connection, bool writable) {
    const std::vector<CollationIndex> indexes = collationIndexes(connection);
    const CollationIndexState state = validity(connection, indexes);
    // Headword columns (those with an index in the engine's case folding) without a list index.
    std::vector<const CollationIndex*> unlisted;
    for (const CollationIndex& index : indexes) {
        if (!index.caseFold || index.firstColumn.isEmpty())
            continue;
        bool listed = false;
        for (const CollationIndex& other : indexes)
            listed = listed || (!other.caseFold && sameName(other.table, index.table) &&
                                sameName(other.firstColumn, index.firstColumn));
        if (!listed)
            unlisted.push_back(&index);
    }
    QStringList later;
    const bool stale = !state.caseFoldIndexesValid || !state.listIndexesValid;
    if (writable && stale && anyLarge(connection, indexes)) {
        // Rebuilt by the list build, with every list index missing: nothing is written now.
        CollationIndexState deferred = state;
        deferred.rebuildLater = true;
        for (const CollationIndex* index : unlisted)
            deferred.unlisted << (index->table + QLatin1Char('/') + index->firstColumn).toLower();
        return deferred;
    }
    if (writable) {
        std::erase_if(unlisted, [&](const CollationIndex* index) {
            if (isSmall(connection, index->table))
                return false;
            later << (index->table + QLatin1Char('/') + index->firstColumn).toLower();
            return true;
        });
    }
    const bool upToDate = state.caseFoldIndexesValid && state.listIndexesValid && unlisted.empty();
    if (!writable || upToDate) {
        CollationIndexState kept = state;
        kept.unlisted = later;
        return kept;
    }
    try {
        sqlite::Transaction transaction(connection);
        for (const CollationIndex* index : unlisted)
            createListIndex(connection, index->table, index->firstColumn);
        recordCollationVersions(connection);
        transaction.commit();
    } catch (const EngineError&) {
        // Locked or not writable after all: this open goes on without the stale indexes.
        return state;
    }
    CollationIndexState current;
    current.unlisted = later;
    return current;
}

// Each end in a query of its own: only a lone min() or max() is read from the end of the table
// (both in one query walk every row).
qint64 tableRowSpan(sqlite::Connection& connection, const QString& table) {
    sqlite::Statement span(connection,
                           QStringLiteral("SELECT (SELECT max(rowid) FROM %1) - (SELECT min(rowid) "
                                          "FROM %1) + 1")
                               .arg(quoteIdentifier(table)));
    return span.step() ? span.columnInt64(0) : 0;
}

std::optional<QString> findListIndex(sqlite::Connection& connection, const QString& table,
                                     const QString& column) {
    for (const CollationIndex& index : collationIndexes(connection))
        if (!index.caseFold && sameName(index.table, table) && sameName(index.firstColumn, column))
            return index.name;
    return std::nullopt;
}

} // namespace tolvane::engine
