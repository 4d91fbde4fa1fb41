#pragma once
// The database object layer: one program-wide engine with a default workspace that opens
// database files; a database opens recordsets over a table or a query text; a recordset walks
// its rows and reads, adds, changes and deletes them through fields.
//
// Threading: every object belongs to the user-interface thread. None is safe to use from
// another thread.
//
// Lifetime: objects are handed out as shared pointers. A recordset keeps its database's
// connection alive; Database::Close() closes it, after which its recordsets fail with
// err::ObjectClosed.

#include "engine/EngineError.h"
#include "engine/TextBlock.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

namespace tolvane::engine {

enum RecordsetTypeEnum : int { dbOpenTable = 1, dbOpenDynaset = 2 };
enum UpdateTypeEnum : int { dbUpdateRegular = 1 };

class Recordset;
class Database;

// One column of the current row of a recordset.
class Field {
public:
    Field(std::shared_ptr<Recordset> owner, int column);

    // The column's value on the current row: a null QVariant for a missing value, otherwise a
    // QString. Values are read live from the file. Fails with err::NoCurrentRecord when the
    // recordset stands on no row, err::RecordDeleted on a deleted row.
    QVariant Value() const;
    // Sets the value of the row being added or edited; held until Update.
    void SetValue(const QString& text);
    void SetNull();
    QString Name() const;

private:
    std::shared_ptr<Recordset> m_owner;
    int m_column;
};

class Recordset : public std::enable_shared_from_this<Recordset> {
public:
    virtual ~Recordset() = default;

    // Exact number of rows in the set from the moment it opens (rows deleted through it are
    // not counted; rows added through it are).
    virtual int RecordCount() const = 0;
    // To the first / last row that is not deleted; err::NoCurrentRecord when there is none.
    // Both also notice changes other programs committed to the file since the last look.
    virtual void MoveFirst() = 0;
    virtual void MoveLast() = 0;
    // One row on; from the last row to after the end (no error). err::NoCurrentRecord when
    // already after the end (before the start, for MovePrevious). Moving discards an
    // AddNew or Edit that was not stored with Update.
    virtual void MoveNext() = 0;
    virtual void MovePrevious() = 0;
    // Past the end / before the start (standing on no row).
    virtual bool isEOF() const = 0;
    virtual bool isBOF() const = 0;
    // Column by name, any letter case. err::ItemNotFound for an unknown name.
    Field Fields(const QString& name);
    virtual int fieldCount() const = 0;
    virtual QString fieldName(int column) const = 0;
    virtual int columnIndex(const QString& name) const = 0; // -1 if unknown

    // AddNew starts a new row (its fields read null until set); Edit opens the current row
    // for change (err::NoCurrentRecord / err::RecordDeleted when there is none). Update
    // stores the row in one transaction, on disk when it returns; a new row goes into the
    // table whatever query opened the set and joins this set at its end, the current row
    // staying where it was. err::UpdateWithoutEdit without AddNew or Edit. Delete removes the
    // current row at once and leaves the set standing on the deleted row. On a read-only
    // database all of them fail with err::ReadOnly; a file locked by another program is
    // waited for a few seconds, then err::FileInUse. A failed call changes nothing.
    virtual void AddNew() = 0;
    virtual void Edit() = 0;
    virtual void Update(UpdateTypeEnum type = dbUpdateRegular, bool force = false) = 0;
    virtual void CancelUpdate() = 0;
    virtual void Delete() = 0;

    virtual RecordsetTypeEnum Type() const = 0;

    // Frees the set's rows and cached values at once, whoever still holds it; every use
    // afterwards fails with err::ObjectClosed. A pending AddNew or Edit is dropped.
    virtual void Close() = 0;

    // The values of `column` on the current row and every row after it, in one block, read as
    // Fields(column).Value and MoveNext would read them one by one (rows deleted through the
    // set skipped). Afterwards the set stands after its last row and keeps no copy of them.
    // For filling a long list without a QString per row.
    virtual TextBlock takeRemainingText(int column) = 0;

    // Used by Field.
    virtual QVariant value(int column) const = 0;
    virtual void setValue(int column, const QVariant& value) = 0;
};

// The texts of one column of a whole table in list order (as OpenRecordsetInListOrder gives
// them, null texts left out), read a page at a time: a list can show its first screen before
// the rest is read. Each page is read under a read lock of its own, so the file is not held
// between pages and other programs can commit; a page asked for after the file changed (a
// write through this process or another program's commit) reads nothing and says Changed, and
// the reader must restart() to read the file as it is then. Where the list is still being
// made on another thread (a file without a list index), a page may say Pending: nothing to
// read yet, ask again later (so may a page that would wait for another connection's lock: see
// setWaitForLocks).
class ListPages {
public:
    enum class Step { More, End, Changed, Pending };
    virtual ~ListPages() = default;
    // Whether the table holds any row at all (with a text or not).
    virtual bool hasRows() = 0;
    // How many texts the list holds: counted at the first call after opening or restart(),
    // which walks the table's smallest index (a few milliseconds a million rows), so a list
    // can show its first page before it asks.
    virtual qint64 textCount() = 0;
    // The same count taken a piece at a time, so that no call holds the thread for long: a call
    // walks at most about `rows` entries of the list index. More while the count goes on; End
    // once it is known (textCount() then returns it at once); Changed when the file changed
    // since the pages began, so that the count would not be the pages' count (restart());
    // Pending while the list is still being made (ask again later).
    virtual Step countSome(qsizetype rows) = 0;
    // Appends the next texts, at most `rows` of them, to `into`. End once the last is read.
    // err::ObjectClosed once the database is closed.
    virtual Step next(TextBlock& into, qsizetype rows) = 0;
    // The texts at places `first` to `first + rows - 1` of the list (fewer at its end), read
    // ahead of the pages for a reader that must show a row far down now (End, a click on a far
    // row); the pages go on from where they were. Needs the count (textCount() or countSome's
    // End). Steps as next() does: Changed, reading nothing, when the file changed since the
    // pages began.
    virtual Step readAt(qsizetype first, qsizetype rows, TextBlock& into) = 0;
    // From the first text again, the count forgotten.
    virtual void restart() = 0;
    // Waits until a page no longer says Pending (for a reader that needs every text now).
    virtual void waitUntilReady() {}
    // With false, next(), countSome() and readAt() give up at once on a file that another
    // connection has locked and say Pending (the user-interface thread asks again from its
    // event loop) rather than wait for the lock, as they do by default.
    virtual void setWaitForLocks(bool wait) { m_waitForLocks = wait; }
    bool waitsForLocks() const { return m_waitForLocks; }

private:
    bool m_waitForLocks = true;
};

class Database {
public:
    virtual ~Database() = default;
    // A table name with dbOpenTable, or a query text (or table name) with no type: an
    // updatable dynaset whose membership is fixed when it opens and whose values are live.
    // The query dialect is described in QueryParser.h, its LIKE patterns in Pattern.h.
    // err::TableNotFound, err::ItemNotFound (column) and err::SyntaxError quote the query;
    // a query text with dbOpenTable is err::InvalidOperation.
    virtual std::shared_ptr<Recordset>
    OpenRecordset(const QString& source, std::optional<RecordsetTypeEnum> type = {}) = 0;
    // The same rows, in the list order of `column` (ListCollation.h: letter case ignored,
    // accents after their base letter, rows equal in it in row id order). Read straight from a
    // list index where the file has one that can be trusted, otherwise ordered in memory.
    // err::ItemNotFound for an unknown column.
    virtual std::shared_ptr<Recordset>
    OpenRecordsetInListOrder(const QString& source, const QString& column,
                             std::optional<RecordsetTypeEnum> type = {}) = 0;
    // Whether `source` (as for OpenRecordset) selects any row, reading no more of them than
    // it must: a headword prefix is looked up in its index. The same errors as OpenRecordset.
    virtual bool HasRows(const QString& source) { return OpenRecordset(source)->RecordCount() > 0; }
    // `column` of the whole `table` in list order, a page at a time; nullptr when the file cannot
    // give them so (the set is then ordered in memory, all at once).
    // err::TableNotFound and err::ItemNotFound name the table or column.
    virtual std::unique_ptr<ListPages> OpenListPages(const QString& table, const QString& column) {
        (void)table;
        (void)column;
        return nullptr;
    }
    virtual void Close() = 0;
    // The full path the database was opened from.
    virtual QString Name() const = 0;
    virtual bool isReadOnly() const = 0;
    // How far the list being made for OpenListPages on another thread is, 0 to 100; -1 when
    // none is being made.
    virtual int listPreparingPercent() const { return -1; }
    // With false, whatever meets a lock that another connection holds fails at once with
    // err::FileInUse instead of waiting for it (the user-interface thread tries again later);
    // true again by default.
    virtual void setWaitForLocks(bool wait) { (void)wait; }
};

class Workspace {
public:
    virtual ~Workspace() = default;
    // Opens an existing database file, shared and read-write. Never creates a file.
    virtual std::shared_ptr<Database> OpenDatabase(const QString& path) = 0;
};

class DBEngine {
public:
    // The one program-wide engine, created on first use.
    static DBEngine& instance();
    static bool exists();
    // Item 0 is the default workspace; any other index fails with err::ItemNotFound.
    std::shared_ptr<Workspace> Workspaces(int index);

private:
    DBEngine();
    std::shared_ptr<Workspace> m_default;
};

} // namespace tolvane::engine
