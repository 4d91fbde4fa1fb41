#pragma once
// What makes a dictionary file: one table whose columns all hold text, an index on the
// headword column in the engine's case-insensitive order, which the engine's prefix (LIKE
// 'ab*') and equality lookups use, and an index in list order (ListCollation.h), from which
// the word list is read without sorting. Files without them still work, by scanning the
// table and ordering in memory.
// The engine never creates files; the tools that build dictionary files call these.

#include <QString>
#include <QStringList>

namespace tolvane::engine {

namespace sqlite {
class Connection;
}

// "name" with embedded double quotes doubled, for use as an SQL identifier.
QString quoteIdentifier(const QString& name);

// CREATE TABLE table (col1 TEXT, col2 TEXT, ...). Fails (EngineError) when it exists.
void createTextTable(sqlite::Connection& connection, const QString& table,
                     const QStringList& columns);

// CREATE INDEX ... ON table(column COLLATE TOLVANE_NOCASE); does nothing when it exists.
void createHeadwordIndex(sqlite::Connection& connection, const QString& table,
                         const QString& column);

// The index name createHeadwordIndex uses.
QString headwordIndexName(const QString& table, const QString& column);

// CREATE INDEX ... ON table(column COLLATE TOLVANE_LIST); does nothing when it exists.
void createListIndex(sqlite::Connection& connection, const QString& table, const QString& column);
QString listIndexName(const QString& table, const QString& column);

} // namespace tolvane::engine
