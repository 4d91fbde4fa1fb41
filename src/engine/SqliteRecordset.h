#pragma once
// The one Recordset implementation, for both kinds:
// - table type: every row of the table in the table's own (row id) order;
// - dynaset: the rows a query selects.
// Either way the set's rows (their row ids) are fixed when it opens, so RecordCount is exact
// at once, and values are read live from the file. Opened in the list order of a column, the
// rows come in that order instead (RowSelection.h, ListOrder.h).
//
// The code is in three files: opening and moving (SqliteRecordset.cpp), reading values and
// their cache (RecordsetValues.cpp), and changing rows (RecordsetEditing.cpp).
//
// Reading every row of a large set must cost about what a plain SELECT costs, so values are
// cached per column: the first bulk read of a column loads it for the whole set with one
// query (the column the set was selected by is loaded with the membership itself). A cache is
// only trusted while the database's change stamp is unchanged; any write through this process
// invalidates it at once, and MoveFirst/MoveLast also check for commits by other processes.
// A row missing from a bulk load (changed elsewhere so it no longer matches, or deleted) is
// read by its row id; a row that is gone reads as err::RecordDeleted.

#include "engine/Dao.h"
#include "engine/DatabaseCore.h"
#include "engine/RowIds.h"
#include "engine/RowSelection.h"
#include "engine/TextBlock.h"

#include <optional>
#include <string>
#include <vector>

namespace tolvane::engine {

class SqliteRecordset final : public Recordset {
public:
    // The rows of `table` selected by `condition` (none: all rows), in the list order of the
    // column `listColumn` names (none: row id or index order). `source` is the text the set
    // was opened from, for messages.
    SqliteRecordset(std::shared_ptr<DatabaseCore> core, TableInfo table, RecordsetTypeEnum type,
                    std::optional<QueryCondition> condition, QString source,
                    const QString* listColumn = nullptr);

    int RecordCount() const override;
    void MoveFirst() override;
    void MoveLast() override;
    void MoveNext() override;
    void MovePrevious() override;
    bool isEOF() const override;
    bool isBOF() const override;
    int fieldCount() const override;
    QString fieldName(int column) const override;
    int columnIndex(const QString& name) const override;

    void AddNew() override;
    void Edit() override;
    void Update(UpdateTypeEnum type = dbUpdateRegular, bool force = false) override;
    void CancelUpdate() override;
    void Delete() override;

    RecordsetTypeEnum Type() const override { return m_type; }
    void Close() override;

    QVariant value(int column) const override;
    void setValue(int column, const QVariant& value) override;
    TextBlock takeRemainingText(int column) override;

private:
    enum class EditMode { None, Adding, Editing };
    struct ColumnCache {
        quint64 stamp = ~quint64(0);
        bool bulkLoaded = false;
        int singleReads = 0;
        TextBlock values; // per position in the set; a place read by neither load is unknown
    };

    void open(int primedColumn);
    void orderInMemory(ColumnCache& primed);
    void checkColumn(int column) const;
    void checkOpen() const;
    void requireCurrentRow(const char* action) const;
    bool onRow() const;
    bool isDeleted(size_t position) const { return m_deletedCount > 0 && m_deleted[position]; }
    void leaveEditMode();
    QString describe() const;

    ColumnCache& freshCache(int column) const;
    void bulkLoad(int column, ColumnCache& cache) const;
    // Reads the value at `position` by its row id into the cache (when it has room).
    QVariant readOne(int column, ColumnCache& cache, size_t position) const;
    bool rowExists(qint64 rowid);

    std::shared_ptr<DatabaseCore> m_core;
    TableInfo m_table;
    RecordsetTypeEnum m_type;
    RowFilter m_filter;
    int m_listColumn = -1;
    bool m_inListIndexOrder = false; // the rows came straight from a list index
    QString m_source;
    bool m_closed = false;

    RowIds m_rowids;
    // Rows deleted through this set keep their place, marked here. Sets are seldom edited, so
    // the marks (a bit a row) exist only from the first Delete on.
    std::vector<bool> m_deleted;
    int m_deletedCount = 0;
    qsizetype m_position = 0; // -1 before the first row, size() after the last

    EditMode m_mode = EditMode::None;
    std::vector<std::optional<QVariant>> m_buffer;

    mutable std::vector<ColumnCache> m_caches;
    // The last name Fields() looked up: a word list asks for the same field on every row.
    mutable QString m_lastFieldName;
    mutable int m_lastFieldIndex = -1;
};

} // namespace tolvane::engine
