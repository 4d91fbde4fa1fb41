#include "engine/FullTextIndex.h"

#include "engine/FullTextFunctions.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <algorithm>
#include <limits>
#include <optional>
#include <sqlite3.h>

namespace tolvane::engine {

namespace {

constexpr char kProgressTable[] = "tolvane_fulltext";

// Steps sized by time: FTS5 writes its pending terms out as a segment at every commit, and each
// commit waits for the disk, so steps of a few thousand rows spend a third of the fill or more
// on flushing, merging small segments and syncing. A step of about a second makes those costs
// small while the write lock is still given up often enough for other writers (they wait up
// to Connection::kBusyTimeout).
constexpr qint64 kStepNanoseconds = 1'000'000'000;
// The first step is a guess (a tenth of a second or less on common texts); the next ones grow
// quickly, so that a table of a hundred thousand rows is filled in two steps, not five.
constexpr qint64 kFirstStepRows = 8000;

// The rows of the next step, from how long the last one took: at most sixteen times as many.
qint64 nextStepRows(qint64 rows, qint64 elapsedNs) {
    const double scale = double(kStepNanoseconds) / double(std::max<qint64>(elapsedNs, 1));
    return std::clamp<qint64>(qint64(double(rows) * std::min(scale, 16.0)), kFirstStepRows / 2,
                              qint64(1) << 30);
}

QString sourceTable(const FullTextSource& source) {
    return quoteIdentifier(source.table);
}

// The values a row gives the index, with `row` the trigger's new row ("new.") or nothing.
QString indexedValues(const FullTextSource& source, const QString& row) {
    const QString scripture = source.scriptureColumn.isEmpty()
                                  ? QStringLiteral("NULL")
                                  : QStringLiteral("%1(%2%3)")
                                        .arg(QLatin1String(kPlainTextFunction), row,
                                             quoteIdentifier(source.scriptureColumn));
    return QStringLiteral("%1%2, %1%3, %4")
        .arg(row, quoteIdentifier(source.headwordColumn), quoteIdentifier(source.definitionColumn),
             scripture);
}

QString indexColumns() {
    return QStringLiteral("rowid, %1, %2, %3")
        .arg(QLatin1String(kFullTextHeadword), QLatin1String(kFullTextDefinition),
             QLatin1String(kFullTextScripture));
}

bool tableExists(sqlite::Connection& connection, const QString& name) {
    sqlite::StatementLease find = connection.reuse(
        QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1"));
    find->bind(1, name);
    return find->step();
}

struct FillState {
    qint64 filledThrough = 0;
    qint64 target = 0;
};

// The progress row; a missing one (an index made some other way) means start from the top.
FillState fillState(sqlite::Connection& connection, const FullTextSource& source) {
    FillState state;
    if (tableExists(connection, QLatin1String(kProgressTable))) {
        sqlite::StatementLease read = connection.reuse(
            QStringLiteral("SELECT filled_through, fill_target FROM %1 WHERE index_table = ?1")
                .arg(quoteIdentifier(QLatin1String(kProgressTable))));
        read->bind(1, fullTextTableName(source.table));
        if (read->step()) {
            state.filledThrough = read->columnInt64(0);
            state.target = read->columnInt64(1);
            return state;
        }
    }
    state.target = -1; // unknown
    return state;
}

qint64 largestRowid(sqlite::Connection& connection, const FullTextSource& source) {
    sqlite::StatementLease last = connection.reuse(
        QStringLiteral("SELECT coalesce(max(rowid), 0) FROM %1").arg(sourceTable(source)));
    return last->step() ? last->columnInt64(0) : 0;
}

// Where a fill starts: just below the lowest row id, which may be 0 or below in a file
// written by another program. The lowest possible row id has nothing below it: a fill from
// there takes it in too (the range a step fills is replaced, so doing it twice is harmless).
qint64 fillStart(sqlite::Connection& connection, const FullTextSource& source) {
    sqlite::StatementLease first = connection.reuse(
        QStringLiteral("SELECT coalesce(min(rowid), 1) FROM %1").arg(sourceTable(source)));
    const qint64 lowest = first->step() ? first->columnInt64(0) : 1;
    return std::min<qint64>(lowest, 1) == std::numeric_limits<qint64>::min()
               ? lowest
               : std::min<qint64>(lowest, 1) - 1;
}

// The first row id a step from `filledThrough` takes in.
qint64 firstUnfilled(qint64 filledThrough) {
    return filledThrough == std::numeric_limits<qint64>::min() ? filledThrough : filledThrough + 1;
}

// An index filled before rows at or below 0 were taken in misses them although its progress
// row says otherwise; every row at or below the filled mark is in a sound index.
bool missesFilledRows(sqlite::Connection& connection, const FullTextSource& source,
                      qint64 filledThrough) {
    sqlite::StatementLease missing = connection.reuse(
        QStringLiteral("SELECT 1 FROM %1 AS source WHERE source.rowid <= ?1 AND NOT EXISTS "
                       "(SELECT 1 FROM %2 AS fts WHERE fts.rowid = source.rowid) LIMIT 1")
            .arg(sourceTable(source), quoteIdentifier(fullTextTableName(source.table))));
    missing->bind(1, std::min<qint64>(filledThrough, 0));
    return missing->step();
}

void writeFillState(sqlite::Connection& connection, const FullTextSource& source,
                    const FillState& state) {
    sqlite::StatementLease write = connection.reuse(
        QStringLiteral("INSERT OR REPLACE INTO %1 (index_table, filled_through, fill_target) "
                       "VALUES (?1, ?2, ?3)")
            .arg(quoteIdentifier(QLatin1String(kProgressTable))));
    write->bind(1, fullTextTableName(source.table));
    write->bind(2, state.filledThrough);
    write->bind(3, state.target);
    write->run();
}

void createTriggers(sqlite::Connection& connection, const FullTextSource& source) {
    const QString table = quoteIdentifier(source.table);
    const QString index = quoteIdentifier(fullTextTableName(source.table));
    const QString name = fullTextTableName(source.table);
    const QString insertNew =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (new.rowid, %3);")
            .arg(index, indexColumns(), indexedValues(source, QStringLiteral("new.")));
    const QString deleteOld = QStringLiteral("DELETE FROM %1 WHERE rowid = old.rowid;").arg(index);
    connection.exec(
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER INSERT ON %2 BEGIN %3 END")
            .arg(quoteIdentifier(name + QStringLiteral("_insert")), table, insertNew));
    connection.exec(
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER DELETE ON %2 BEGIN %3 END")
            .arg(quoteIdentifier(name + QStringLiteral("_delete")), table, deleteOld));
    connection.exec(
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER UPDATE ON %2 BEGIN %3 %4 END")
            .arg(quoteIdentifier(name + QStringLiteral("_update")), table, deleteOld, insertNew));
}

} // namespace

QString fullTextTableName(const QString& table) {
    return table + QStringLiteral("_fts");
}

FullTextState fullTextState(sqlite::Connection& connection, const FullTextSource& source) {
    if (!tableExists(connection, fullTextTableName(source.table)))
        return FullTextState::Missing;
    const FillState state = fillState(connection, source);
    return state.target >= 0 && state.filledThrough >= state.target &&
                   !missesFilledRows(connection, source, state.filledThrough)
               ? FullTextState::Complete
               : FullTextState::Partial;
}

void createFullTextIndex(sqlite::Connection& connection, const FullTextSource& source) {
    connection.exec(QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS %1 USING fts5(%2, %3, %4, "
                                   "tokenize = '%5')")
                        .arg(quoteIdentifier(fullTextTableName(source.table)),
                             QLatin1String(kFullTextHeadword), QLatin1String(kFullTextDefinition),
                             QLatin1String(kFullTextScripture), QLatin1String(kFullTextTokenizer)));
    connection.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (index_table TEXT PRIMARY KEY, "
                                   "filled_through INTEGER NOT NULL, fill_target INTEGER NOT NULL)")
                        .arg(quoteIdentifier(QLatin1String(kProgressTable))));
    if (fillState(connection, source).target < 0)
        writeFillState(connection, source,
                       {fillStart(connection, source), largestRowid(connection, source)});
    // Rows stored from now on are indexed as they are stored; the fill covers the older ones.
    createTriggers(connection, source);
}

bool fillFullTextIndex(sqlite::Connection& connection, const FullTextSource& source,
                       bool ownTransactions,
                       const std::function<bool(const FullTextProgress&)>& progress, int stepRows) {
    const QString index = quoteIdentifier(fullTextTableName(source.table));
    const QString table = sourceTable(source);
    const bool byTime = stepRows <= 0;
    qint64 rows = byTime ? kFirstStepRows : std::max(stepRows, 2); // 2: a step moves on
    // A step's changed pages stay in memory until its commit: written out midway, they would
    // take the file's exclusive lock and keep every reader (the dictionary window) out for the
    // rest of the step.
    if (ownTransactions)
        connection.exec(QStringLiteral("PRAGMA cache_spill = OFF"));
    const auto spillAgain = qScopeGuard([&] {
        if (ownTransactions)
            sqlite3_exec(connection.handle(), "PRAGMA cache_spill = ON", nullptr, nullptr, nullptr);
    });
    std::optional<qint64> start; // where this fill began, for the progress
    QElapsedTimer clock;
    for (;;) {
        clock.start();
        std::optional<sqlite::Transaction> transaction;
        if (ownTransactions)
            transaction.emplace(connection);
        FillState state = fillState(connection, source);
        if (state.target < 0 || missesFilledRows(connection, source, state.filledThrough))
            state = {fillStart(connection, source),
                     std::max(state.target, largestRowid(connection, source))};
        if (!start)
            start = state.filledThrough;
        const bool complete = state.filledThrough >= state.target;
        qint64 upTo = state.target;
        if (!complete) {
            sqlite::StatementLease step = connection.reuse(
                QStringLiteral("SELECT rowid FROM %1 WHERE rowid >= ?1 ORDER BY rowid LIMIT 1 "
                               "OFFSET ?2")
                    .arg(table));
            step->bind(1, firstUnfilled(state.filledThrough));
            step->bind(2, rows - 1);
            if (step->step())
                upTo = std::min(step->columnInt64(0), state.target);
            // A row stored since the index was made may already be in it (by its trigger):
            // the range is replaced, never added twice.
            sqlite::StatementLease clear = connection.reuse(
                QStringLiteral("DELETE FROM %1 WHERE rowid >= ?1 AND rowid <= ?2").arg(index));
            clear->bind(1, firstUnfilled(state.filledThrough));
            clear->bind(2, upTo);
            clear->run();
            sqlite::StatementLease fill = connection.reuse(
                QStringLiteral("INSERT INTO %1 (%2) SELECT rowid, %3 FROM %4 WHERE rowid >= ?1 "
                               "AND rowid <= ?2")
                    .arg(index, indexColumns(), indexedValues(source, QString()), table));
            fill->bind(1, firstUnfilled(state.filledThrough));
            fill->bind(2, upTo);
            fill->run();
            state.filledThrough = upTo;
        }
        writeFillState(connection, source, state);
        if (transaction)
            transaction->commit();
        if (byTime)
            rows = nextStepRows(rows, clock.nsecsElapsed());
        if (progress && !progress({state.filledThrough, state.target, *start}) && !complete)
            return false;
        if (complete || state.filledThrough >= state.target)
            return true;
    }
}

bool restoreAfterFailedFill(sqlite::Connection& connection, const FullTextSource& source,
                            bool dropIndex) {
    sqlite3* db = connection.handle();
    if (!sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    // Reading the schema makes SQLite find the journal a failed write left and roll it back.
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
        SQLITE_OK)
        return false;
    if (!dropIndex)
        return true;
    try {
        const QString name = fullTextTableName(source.table);
        sqlite::Transaction transaction(connection);
        for (const char* trigger : {"_insert", "_delete", "_update"})
            connection.exec(QStringLiteral("DROP TRIGGER IF EXISTS %1")
                                .arg(quoteIdentifier(name + QLatin1String(trigger))));
        connection.exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(quoteIdentifier(name)));
        if (tableExists(connection, QLatin1String(kProgressTable))) {
            const QString progress = quoteIdentifier(QLatin1String(kProgressTable));
            sqlite::StatementLease forget = connection.reuse(
                QStringLiteral("DELETE FROM %1 WHERE index_table = ?1").arg(progress));
            forget->bind(1, name);
            forget->run();
            bool empty = false;
            {
                sqlite::StatementLease left =
                    connection.reuse(QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(progress));
                empty = !left->step();
            }
            if (empty)
                connection.exec(QStringLiteral("DROP TABLE %1").arg(progress));
        }
        transaction.commit();
        return true;
    } catch (const EngineError&) {
        return false;
    }
}

void buildFullTextIndex(sqlite::Connection& connection, const FullTextSource& source) {
    createFullTextIndex(connection, source);
    fillFullTextIndex(connection, source, false, {}, 1 << 30);
}

} // namespace tolvane::engine
