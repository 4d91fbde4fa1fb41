#pragma once
// The collation "TOLVANE_NOCASE": text ordered by case-folded code points (see CaseFold.h).
// The headword index is built with it and the engine's `=` and prefix lookups compare with
// it, so any connection that reads a dictionary file must register it (Connection does).

struct sqlite3;

namespace tolvane::engine {

inline constexpr char kNoCaseCollation[] = "TOLVANE_NOCASE";

// Registers the collation on `db`; returns the SQLite result code.
int registerNoCaseCollation(sqlite3* db);

} // namespace tolvane::engine
