#pragma once
// A small table of facts the engine records about a file, such as which Unicode tables its
// collation indexes were built with: tolvane_metadata(key TEXT PRIMARY KEY, value TEXT).
// The table is made on the first write; a file without it simply has no facts recorded.

#include <QString>
#include <optional>

namespace tolvane::engine {

namespace sqlite {
class Connection;
}

inline constexpr char kMetadataTable[] = "tolvane_metadata";

// The value recorded under `key`; none when the file has no such record (or no table).
std::optional<QString> readMetadata(sqlite::Connection& connection, const QString& key);

// Records `value` under `key`, replacing what was there. Runs in the caller's transaction if
// there is one. Fails (EngineError) on a read-only file.
void writeMetadata(sqlite::Connection& connection, const QString& key, const QString& value);

} // namespace tolvane::engine
