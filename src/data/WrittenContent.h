#pragma once
// Whether a dictionary file still holds what Tolvane wrote into it, so that replacing it
// asks first only when the user may lose entries of their own. tolvane-import records a
// fingerprint of the dictionary's table (engine/TableChecksum.h) in the file's
// tolvane_metadata whenever it writes one (the shipped samples, an import, a SWORD module);
// an entry added, edited or deleted since changes the table and no longer matches. A file
// Tolvane did not write (the original Windows program's, a converted one) has no record and
// counts as possibly edited.

#include <QString>

namespace tolvane::engine::sqlite {
class Connection;
}

namespace tolvane::data {

struct DictionaryConfig;

inline constexpr char kContentKeyPrefix[] = "content.sha256.";

// Records the fingerprint of `config`'s table, as it now is, in the file being written.
void recordWrittenContent(engine::sqlite::Connection& connection, const DictionaryConfig& config);

enum class WrittenContent {
    Missing,   // no file: nothing to lose
    AsWritten, // the table is as Tolvane wrote it
    Changed,   // entries were added, edited or deleted since
    Unknown,   // no record, or the file cannot be read as ours: possibly edited
};

// Never throws.
WrittenContent writtenContentOf(const QString& path, const DictionaryConfig& config);

} // namespace tolvane::data
