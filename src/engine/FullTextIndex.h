#pragma once
// The full-text index of a dictionary table: an SQLite FTS5 table "<table>_fts" over the
// headword, the definition and (King James) the plain text of the scripture column, its row
// ids the table's own, with the tokenizer unicode61 removing diacritics, so that letter case
// and accents never matter ("eden" finds "Éden").
//
// Kept current by triggers on the table: every insert, change and delete of a row changes the
// index in the same statement, so in the same transaction, whoever writes the file.
//
// A file made before the index existed gets it later, filled in steps (fillFullTextIndex),
// each step its own transaction that records how far it got in the table "tolvane_fulltext".
// Stopped at any point (a crash, the program ending), the file holds every row it held and a
// usable but partial index, and the next fill carries on where the last one stopped.
//
// A file that may not be written is copied into an in-memory database (as legacy files are)
// and indexed there.

#include <QString>
#include <functional>

namespace tolvane::engine {

namespace sqlite {
class Connection;
}

struct FullTextSource {
    QString table;
    QString headwordColumn;
    QString definitionColumn;
    QString scriptureColumn; // empty: none
};

// The index table's columns, in this order.
inline constexpr char kFullTextHeadword[] = "headword";
inline constexpr char kFullTextDefinition[] = "definition";
inline constexpr char kFullTextScripture[] = "scripture";
// How the index cuts text into words: what a search matches depends on it alone.
inline constexpr char kFullTextTokenizer[] = "unicode61 remove_diacritics 2";

QString fullTextTableName(const QString& table);

enum class FullTextState { Missing, Partial, Complete };
FullTextState fullTextState(sqlite::Connection& connection, const FullTextSource& source);

// Creates the index table (empty), its progress row and its triggers. Runs in the caller's
// transaction, if any. Does nothing to an index that exists.
void createFullTextIndex(sqlite::Connection& connection, const FullTextSource& source);

struct FullTextProgress {
    qint64 filledThrough = 0; // every row id up to this one is indexed
    qint64 target = 0;        // the last row id to index
    qint64 start = 0;         // the row id this fill started after
    // How far this fill is, 0 to 100 (row ids may span the whole 64-bit range).
    int percent() const {
        const double total = double(target) - double(start);
        return total > 0 ? int((double(filledThrough) - double(start)) * 100 / total) : 100;
    }
};

// Indexes the rows not yet indexed, row ids 0 and below included, `stepRows` at a time, or with
// stepRows 0 in steps of about a second each (a few thousand rows first). With
// ownTransactions each step is one transaction of its own (for a file others may write meanwhile);
// without, everything runs in the caller's. progress is called after every step; returning false
// stops the fill (it can be resumed later). Returns true when the index is complete.
bool fillFullTextIndex(sqlite::Connection& connection, const FullTextSource& source,
                       bool ownTransactions,
                       const std::function<bool(const FullTextProgress&)>& progress = {},
                       int stepRows = 0);

// After a write of the index failed (a full disk): ends the failed transaction, has SQLite put
// back what the failed write had changed (a write cut short leaves the pages to restore in a
// journal beside the file, which only a connection that may write can roll back), and, with
// `dropIndex`, takes the index out of the file again. Never throws; returns whether the file
// is back as it was. Whatever cannot be done now the next writer does: the journal is rolled
// back by whoever opens the file to write, and a partial index is carried on.
bool restoreAfterFailedFill(sqlite::Connection& connection, const FullTextSource& source,
                            bool dropIndex);

// create + fill in the caller's transaction: for the tools that build dictionary files.
void buildFullTextIndex(sqlite::Connection& connection, const FullTextSource& source);

} // namespace tolvane::engine
