#pragma once
// The Database implementation over an SQLite connection.
//
// Seam for other file formats: a reader for another kind of database file (such as a legacy
// Jet .mdb) can copy the file's table into an in-memory SQLite connection
// (sqlite::OpenMode::Memory, with schema from Schema.h) and hand it to
// databaseFromConnection() with readOnly = true and the original file's path as the display
// name. The result behaves like any other Database: the same query dialect, matching and
// recordsets, and every write (AddNew, Edit, Update, Delete) fails with err::ReadOnly naming
// that file. Register such a reader with setJetFileOpener() (OpenDatabase.h) so that
// Workspace::OpenDatabase uses it for files of that kind.

#include "engine/Dao.h"
#include "engine/DatabaseCore.h"
#include "engine/QueryParser.h"
#include "engine/sqlite/Connection.h"

#include <memory>

namespace tolvane::engine {

class DatabaseCore;

class SqliteDatabase final : public Database {
public:
    SqliteDatabase(std::unique_ptr<sqlite::Connection> connection, const QString& displayName,
                   bool readOnly);

    std::shared_ptr<Recordset> OpenRecordset(const QString& source,
                                             std::optional<RecordsetTypeEnum> type = {}) override;
    std::shared_ptr<Recordset>
    OpenRecordsetInListOrder(const QString& source, const QString& column,
                             std::optional<RecordsetTypeEnum> type = {}) override;
    bool HasRows(const QString& source) override;
    std::unique_ptr<ListPages> OpenListPages(const QString& table, const QString& column) override;
    void Close() override;
    QString Name() const override;
    bool isReadOnly() const override;
    int listPreparingPercent() const override;
    void setWaitForLocks(bool wait) override;

private:
    struct Selection {
        TableInfo table;
        std::optional<QueryCondition> where;
    };

    std::shared_ptr<Recordset> open(const QString& source, std::optional<RecordsetTypeEnum> type,
                                    const QString* listColumn);
    Selection select(const QString& source);

    std::shared_ptr<DatabaseCore> m_core;
};

std::shared_ptr<Database> databaseFromConnection(std::unique_ptr<sqlite::Connection> connection,
                                                 const QString& displayName, bool readOnly);

} // namespace tolvane::engine
