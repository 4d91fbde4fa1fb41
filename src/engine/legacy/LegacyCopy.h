#pragma once
// Puts the tables read from a legacy Jet file into an SQLite database, every column as
// text, every row in the order the file gave it. The in-memory database a legacy file is
// opened as and the file tolvane-import converts it into are both made this way, so both
// answer every query alike.

#include "engine/legacy/LegacyTable.h"

#include <QString>

namespace tolvane::engine::sqlite {
class Connection;
}

namespace tolvane::engine::legacy {

// Creates each table (createTextTable) and stores its rows, in one transaction. Throws
// EngineError when a table cannot be created (a name SQLite reserves, two tables whose
// names differ only in letter case).
void copyLegacyTables(const LegacyDatabase& database, sqlite::Connection& connection);

// Gives every short-text column (Jet "Text", not memo) the engine's case-insensitive
// headword index, so prefix and headword queries on whichever of them a dictionary uses
// run on an index. For in-memory copies, where the dictionary's headword column is not known.
void indexTextColumns(const LegacyDatabase& database, sqlite::Connection& connection);

} // namespace tolvane::engine::legacy
