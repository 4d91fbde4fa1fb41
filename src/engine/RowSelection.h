#pragma once
// Which rows a recordset holds and in what order they come: the query that selects them from
// the file, using the indexes that can be trusted (CollationIndexes.h).
//
// - The whole table comes in row id order, or in list order straight from a list index.
// - `=` and a literal pattern use the headword index; a pattern with a literal prefix reads
//   that prefix's range of it and the matcher decides; a pattern without one scans.
// - In list order, a prefix pattern reads its range of the list index instead, the matcher
//   deciding, and the count of the headword index's range confirms that no row was missed.
// Whatever the rows do not get from an index, the caller orders in memory (ListOrder.h).

#include "engine/DatabaseCore.h"
#include "engine/Pattern.h"
#include "engine/QueryParser.h"

#include <functional>
#include <optional>

namespace tolvane::engine {

namespace sqlite {
class Statement;
}

// The condition a set was opened with, in the form the lookups need.
struct RowFilter {
    int column = -1; // -1: every row
    QueryCondition::Op op = QueryCondition::Op::Equal;
    QString value;
    std::optional<LikePattern> pattern;

    // The filter of a query's condition on `table` (none: every row).
    static RowFilter of(const TableInfo& table, const std::optional<QueryCondition>& condition);
};

class RowSelection {
public:
    // Called for every selected row: its row id, and the statement whose column `at` holds
    // the wanted value.
    using Sink = std::function<void(qint64 rowid, const sqlite::Statement& row, int at)>;

    enum class Outcome {
        InListOrder,  // every selected row, in list order
        InOtherOrder, // every selected row, in row id or headword index order
        Incomplete,   // the list index missed rows: select again without it
    };

    // listColumn: the column whose list order is wanted, or -1.
    RowSelection(DatabaseCore& core, const TableInfo& table, const RowFilter& filter,
                 int listColumn);

    // Selects the rows with the value of `column`. useListIndex false: never from the list
    // index (after an Incomplete outcome, or where the order does not matter).
    Outcome run(int column, bool useListIndex, const Sink& sink) const;
    // Whether any row is selected; read up to the first.
    bool any() const;

private:
    Outcome runWholeTable(const QString& wanted, bool useListIndex, const Sink& sink) const;
    std::optional<Outcome> runListRange(const QString& wanted, const Sink& sink) const;
    // The filter's rows through the headword index (or every row, in row id order, when the
    // filter has no prefix to seek); up to the first only when `firstOnly`.
    Outcome runFiltered(int column, const Sink& sink, bool firstOnly) const;
    qint64 countHeadwordRange(const QString& low, const QString& high) const;
    QString from() const;

    DatabaseCore& m_core;
    const TableInfo& m_table;
    const RowFilter& m_filter;
    int m_listColumn;
};

} // namespace tolvane::engine
