#pragma once
// Indexes sorted by one of the engine's collations (the case folding of CaseFold.h, the list
// order of ListCollation.h) are only as good as the rules and Unicode tables they were built
// with. A newer Qt or ICU may order some texts differently, and an index built with the older
// tables would then silently miss rows or list them out of order. So the file records which
// versions its indexes were built with (FileMetadata.h), and an open compares them with this
// build's:
// - a writable file has its stale indexes rebuilt, and a dictionary file made before the list
//   order existed gains a list index beside each headword index: at once when the tables are
//   small, otherwise on a thread of its own when the list is first read (ListIndexBuild.h), so
//   that opening a large older file never waits for them; until then the stale indexes are not
//   used, as for a read-only file;
// - a read-only file is left as it is, and the engine does not use its stale indexes: lookups
//   scan, and lists are ordered in memory.

#include <QString>
#include <QStringList>
#include <optional>

namespace tolvane::engine {

namespace sqlite {
class Connection;
}

// The metadata keys under which the versions are recorded.
inline constexpr char kCaseFoldVersionKey[] = "case_fold_collation_version";
inline constexpr char kListVersionKey[] = "list_collation_version";

struct CollationIndexState {
    bool caseFoldIndexesValid = true; // TOLVANE_NOCASE indexes agree with this build
    bool listIndexesValid = true;     // TOLVANE_LIST indexes agree with this build
    // Headword columns of a writable file still without a list index, as "table/column" in
    // lower case: their tables are too large for the index to be added during the open.
    QStringList unlisted;
    // The stale indexes of a writable file, too large to be rebuilt while it opens, are left
    // to the list build.
    bool rebuildLater = false;
    bool allValid() const { return caseFoldIndexesValid && listIndexesValid; }
};

// Tables up to about this many rows gain their list index, or have their stale indexes
// rebuilt, during the open (a few tens of milliseconds); larger ones on a thread of their own.
inline constexpr qint64 kListIndexAtOnceRows = 20000;

// Brings a file's collation indexes up to date as described above (writable: rebuild stale
// ones, add missing list indexes, record the versions, in one transaction, where the tables
// are small) and says which of them can be trusted. A writable file that cannot be changed right
// now (locked by another program) is treated as read-only for this open.
CollationIndexState prepareCollationIndexes(sqlite::Connection& connection, bool writable);

// Rebuilds the stale indexes of a writable file and records this build's versions. For the
// tools that add indexes, in the caller's transaction.
void recordCollationVersions(sqlite::Connection& connection);

// The rows of a table by its row ids' span, read from the two ends of the table: exact for a
// table that never lost rows, and free.
qint64 tableRowSpan(sqlite::Connection& connection, const QString& table);

// The name of an index in list order whose first column is `column` of `table` (names in
// any letter case), if the file has one.
std::optional<QString> findListIndex(sqlite::Connection& connection, const QString& table,
                                     const QString& column);

} // namespace tolvane::engine
