#pragma once
// A fingerprint of what a table holds: SHA-256 over its rows, each row's values in column
// order (NULL told apart from an empty text), the rows taken in no particular order, so that
// a file rewritten with its rows in another order (VACUUM, a copy) keeps its fingerprint.
// One changed, added or removed row changes it.

#include <QString>

namespace tolvane::engine {

namespace sqlite {
class Connection;
}

// Lower-case hex. Throws EngineError naming the file when the table cannot be read.
QString tableChecksum(sqlite::Connection& connection, const QString& table);

} // namespace tolvane::engine
