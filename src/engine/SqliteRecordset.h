#pragma once
// The one Recordset implementation, for both kinds:
// - table type: every row of the table in the table's own (row id) order;
// - dynaset: the rows a query selects.
// Either way the set's rows (their row ids) are fixed when it opens, so RecordCount is exact
// at once, and values are read live from the file.
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
#include "engine/Pattern.h"
#include "engine/QueryParser.h"

#include <optional>
#include <string>
#include <vector>

namespace tolvane::engine {

class SqliteRecordset final : public Recordset {
public:
    // The rows of `table` selected by `condition` (none: all rows). `source` is the text the
    // set was opened from, for messages.
    SqliteRecordset(std::shared_ptr<DatabaseCore> core, TableInfo table, RecordsetTypeEnum type,
                    std::optional<QueryCondition> condition, QString source);

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

    QVariant value(int column) const override;
    void setValue(int column, const QVariant& value) override;

private:
    enum class EditMode { None, Adding, Editing };
    // Where a row's value sits in its column's arena. Kept small: a million-row set has a
    // million of these per loaded column.
    struct Slot {
        quint32 offset = 0;
        qint32 length = kUnknown; // kNull, kUnknown or the byte length
    };
    static constexpr qint32 kNull = -1;
    static constexpr qint32 kUnknown = -2;
    struct ColumnCache {
        quint64 stamp = ~quint64(0);
        bool bulkLoaded = false;
        int singleReads = 0;
        std::string arena;       // UTF-8 values, one after another
        std::vector<Slot> slots; // per position in the set
    };
    // The filter the set was opened with, in the form the lookups need.
    struct Filter {
        int column = -1;
        QueryCondition::Op op = QueryCondition::Op::Equal;
        QString value;
        std::optional<LikePattern> pattern;
    };

    // Runs the selecting query, calling sink(rowid, valueOfColumn) for every selected row.
    template <typename Sink> void selectRows(int column, Sink&& sink) const;

    void open(int primedColumn);
    void checkOpen() const;
    void requireCurrentRow(const char* action) const;
    bool onRow() const;
    void leaveEditMode();
    QString describe() const;

    ColumnCache& freshCache(int column) const;
    // False when the arena is full (4 GiB); the row then stays unknown and is read by id.
    static bool store(ColumnCache& cache, size_t position, QByteArrayView value);
    void bulkLoad(int column, ColumnCache& cache) const;
    QVariant readOne(int column, ColumnCache& cache) const;
    bool rowExists(qint64 rowid);

    std::shared_ptr<DatabaseCore> m_core;
    TableInfo m_table;
    RecordsetTypeEnum m_type;
    Filter m_filter;
    QString m_source;

    std::vector<qint64> m_rowids;
    std::vector<uint8_t> m_deleted;
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
