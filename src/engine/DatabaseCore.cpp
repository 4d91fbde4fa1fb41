#include "engine/DatabaseCore.h"

#include "engine/Schema.h"
#include "engine/sqlite/Statement.h"

#include <QFileInfo>
#include <map>

namespace tolvane::engine {

namespace {

// One change counter per file for the whole process, so a write through one Database is
// seen at once by recordsets of another Database open on the same file.
std::shared_ptr<quint64> counterForFile(const QString& path) {
    static std::map<QString, std::weak_ptr<quint64>> counters;
    if (path.isEmpty() || path == QLatin1String(":memory:"))
        return std::make_shared<quint64>(0);
    QString key = QFileInfo(path).canonicalFilePath();
    if (key.isEmpty())
        key = path;
    if (auto existing = counters[key].lock())
        return existing;
    auto counter = std::make_shared<quint64>(0);
    counters[key] = counter;
    return counter;
}

} // namespace

int TableInfo::columnIndex(const QString& column) const {
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].compare(column, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

DatabaseCore::DatabaseCore(std::unique_ptr<sqlite::Connection> connection, QString displayName,
                           bool readOnly)
    : m_connection(std::move(connection)), m_displayName(std::move(displayName)),
      m_readOnly(readOnly || m_connection->isReadOnly()),
      m_changeCounter(counterForFile(m_connection->path())) {
    m_collations = prepareCollationIndexes(*m_connection, !m_readOnly);
    m_dataVersion = m_connection->dataVersion();
}

std::optional<QString> DatabaseCore::listIndex(const TableInfo& table, int column) {
    if (!m_collations.listIndexesValid || m_collations.rebuildLater)
        return std::nullopt; // the list build gives the list until it has rebuilt them
    const QString key = (table.name + QLatin1Char('/') + table.columns.value(column)).toLower();
    if (const auto known = m_listIndexes.find(key); known != m_listIndexes.end())
        return known->second;
    std::optional<QString> found =
        findListIndex(connection(), table.name, table.columns.value(column));
    if (found && m_build && m_build->indexAdded())
        m_build->dropTexts(); // lists are read from the index from now on
    return m_listIndexes[key] = std::move(found);
}

sqlite::Connection& DatabaseCore::connection() {
    if (!m_connection)
        throw EngineError(err::ObjectClosed,
                          QStringLiteral("Object invalid or no longer set: the database '%1' has "
                                         "been closed.")
                              .arg(m_displayName));
    return *m_connection;
}

void DatabaseCore::setWaitForLocks(bool wait) {
    if (wait)
        m_noBusyWait.reset();
    else if (m_connection && !m_noBusyWait)
        m_noBusyWait.emplace(*m_connection);
}

void DatabaseCore::close() {
    m_noBusyWait.reset();
    m_build.reset();
    m_connection.reset();
}

ListIndexBuild& DatabaseCore::listBuild(const TableInfo& table, int column) {
    const QString key = (table.name + QLatin1Char('/') + table.columns.value(column)).toLower();
    checkExternalChanges();
    const bool other = m_build && (m_build->target().table.toLower() + QLatin1Char('/') +
                                   m_build->target().column.toLower()) != key;
    const bool stale = m_build && !m_build->indexAdded() && m_build->startStamp() != changeStamp();
    // A build that failed stays, so that its failure is reported, until the file changes.
    if (other || stale)
        m_build.reset();
    if (!m_build) {
        ListIndexBuild::Target target{connection().path(),
                                      m_displayName,
                                      table.name,
                                      table.columns.value(column),
                                      !m_readOnly && m_collations.unlisted.contains(key),
                                      !m_readOnly && m_collations.rebuildLater};
        m_build = std::make_unique<ListIndexBuild>(std::move(target), changeStamp());
        m_buildCommitSeen = false;
    }
    return *m_build;
}

int DatabaseCore::listBuildPercent() const {
    return m_build && m_build->isRunning() ? m_build->percent() : -1;
}

void DatabaseCore::requireWritable(const QString& action) {
    if (m_build && m_build->isRunning() &&
        (m_build->target().addIndex || m_build->target().rebuild))
        m_build.reset(); // it holds the write lock; our write must not wait for it
    if (m_readOnly)
        throw EngineError(err::ReadOnly,
                          QStringLiteral("Cannot %1: the database '%2' is open read-only.")
                              .arg(action, m_displayName));
}

TableInfo DatabaseCore::table(const QString& name, const QString& context) {
    sqlite::Connection& db = connection();
    const QString key = name.toLower();
    if (const auto known = m_tables.find(key); known != m_tables.end())
        return known->second;
    TableInfo info;
    // Internal tables of SQLite are not the program's tables.
    if (!name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive)) {
        sqlite::Statement find(db, QStringLiteral("SELECT name FROM sqlite_master WHERE "
                                                  "type = 'table' AND name = ?1 COLLATE NOCASE"));
        find.bind(1, name);
        if (find.step())
            info.name = find.columnText(0);
    }
    if (info.name.isEmpty()) {
        // The exact name failed; try the same folding the rest of the engine uses, for
        // names outside ASCII.
        sqlite::Statement all(db,
                              QStringLiteral("SELECT name FROM sqlite_master WHERE type = "
                                             "'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'"));
        while (all.step()) {
            const QString candidate = all.columnText(0);
            if (candidate.compare(name, Qt::CaseInsensitive) == 0) {
                info.name = candidate;
                break;
            }
        }
    }
    if (info.name.isEmpty())
        throw EngineError(err::TableNotFound,
                          QStringLiteral("The table '%1' was not found in '%2'%3.")
                              .arg(name, m_displayName, context));
    sqlite::Statement columns(
        db, QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(info.name)));
    while (columns.step())
        info.columns << columns.columnText(1);
    m_tables[key] = info;
    return info;
}

// The commit of our own list build adds an index and changes no row: when nothing else has
// been committed since (the file's change counter is the one it left), the texts read so far
// still hold and nothing is read again. A file in write-ahead-log mode keeps no change counter
// in its header: any change there counts.
void DatabaseCore::checkExternalChanges() {
    const qint64 version = connection().dataVersion();
    if (version != m_dataVersion) {
        m_dataVersion = version;
        m_tables.clear();
        m_listIndexes.clear();
        const QString path = connection().path();
        if (m_build && m_build->indexAdded() && !m_buildCommitSeen &&
            !QFileInfo::exists(path + QStringLiteral("-wal")) &&
            fileChangeCounter(path) == m_build->committedChangeCounter()) {
            m_buildCommitSeen = true;
            m_collations.unlisted.clear();
            if (m_build->target().rebuild) {
                m_collations.caseFoldIndexesValid = m_collations.listIndexesValid = true;
                m_collations.rebuildLater = false;
            }
            return;
        }
        noteWrite();
        // Another connection (another window's list build) may have rebuilt them.
        if (!m_collations.allValid() && prepareCollationIndexes(*m_connection, false).allValid()) {
            m_collations.caseFoldIndexesValid = m_collations.listIndexesValid = true;
            m_collations.rebuildLater = false;
        }
    }
}

} // namespace tolvane::engine
