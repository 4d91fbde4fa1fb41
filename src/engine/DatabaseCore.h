#pragma once
// What a Database and all recordsets opened from it share: the connection, the name used in
// messages, the read-only flag, and the change stamp that tells a recordset's value cache
// whether the file may have changed since it was filled.

#include "engine/CollationIndexes.h"
#include "engine/ListIndexBuild.h"
#include "engine/sqlite/Connection.h"

#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>

namespace tolvane::engine {

struct TableInfo {
    QString name;        // as stored in the file
    QStringList columns; // in table order
    // Index of a column by name, any letter case; -1 when there is none.
    int columnIndex(const QString& column) const;
};

class DatabaseCore {
public:
    DatabaseCore(std::unique_ptr<sqlite::Connection> connection, QString displayName,
                 bool readOnly);

    const QString& displayName() const noexcept { return m_displayName; }
    bool isReadOnly() const noexcept { return m_readOnly; }
    bool isClosed() const noexcept { return !m_connection; }

    // The open connection; err::ObjectClosed after close().
    sqlite::Connection& connection();
    void close();

    // Fails with err::ReadOnly (naming the file and `action`) when writes are not allowed.
    // Stops a list build holding the file's write lock (it starts again with the next list).
    void requireWritable(const QString& action);

    // The table by name, any letter case; err::TableNotFound naming `context` otherwise.
    TableInfo table(const QString& name, const QString& context);

    // A number that changes whenever the file may have changed: every write through any
    // Database of this process on the same file, and (once checkExternalChanges() has run)
    // commits by other connections or processes.
    quint64 changeStamp() const noexcept { return *m_changeCounter; }
    void noteWrite() noexcept { ++*m_changeCounter; }
    void checkExternalChanges();

    // Whether the file's indexes in the engine's case folding can be used for lookups; when
    // not (a read-only file built with other Unicode tables), lookups scan the table.
    bool caseFoldIndexesValid() const noexcept { return m_collations.caseFoldIndexesValid; }
    // The index from which rows of table.column can be read in list order, if the file has
    // one that can be trusted.
    std::optional<QString> listIndex(const TableInfo& table, int column);
    // The list of table.column made on a thread of its own where no trusted list index gives
    // it (ListIndexBuild.h, adding the index where the file lacks it and may be written):
    // started at the first call, and again when the file has changed under a build whose
    // texts no longer hold.
    ListIndexBuild& listBuild(const TableInfo& table, int column);
    // How far the running build is, 0 to 100; -1 when none runs.
    int listBuildPercent() const;
    // Database::setWaitForLocks.
    void setWaitForLocks(bool wait);

private:
    std::unique_ptr<sqlite::Connection> m_connection;
    QString m_displayName;
    bool m_readOnly;
    std::shared_ptr<quint64> m_changeCounter;
    // Tables looked up so far, by name in lower case; forgotten when another connection
    // commits, since that may have changed the schema.
    std::map<QString, TableInfo> m_tables;
    qint64 m_dataVersion = 0;
    CollationIndexState m_collations;
    // List indexes looked up so far, by "table/column" in lower case.
    std::map<QString, std::optional<QString>> m_listIndexes;
    std::unique_ptr<ListIndexBuild> m_build;
    std::optional<sqlite::NoBusyWait> m_noBusyWait;
    bool m_buildCommitSeen = false; // its commit was taken for what it is, no other change
};

} // namespace tolvane::engine
