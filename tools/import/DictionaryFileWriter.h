#pragma once
// The one way the import tool puts a dictionary file in place: the file is built under a
// hidden temporary name in the output's folder (ImportTemporary.h), synced to disk, given the
// permissions of the file it replaces (or those of an ordinary new file), and only then
// renamed over the output, the folder synced after. A failure at any step leaves the output
// as it was (absent, or the previous file) and no temporary file behind.

#include "import/CsvImport.h"

#include <QString>
#include <functional>

namespace tolvane::data {
struct DictionaryConfig;
}
namespace tolvane::engine::sqlite {
class Connection;
}

namespace tolvane::import {

// Checks that `output` can be written (its folder exists, it is not a folder) and throws
// ImportError naming it when not. Call before any expensive reading.
void checkOutputPlace(const QString& output);

// Runs `fill` on a new, empty database under a temporary name and then puts it in place as
// `output`. `fill` writes the tables; it may throw ImportError, or EngineError, which becomes
// an ImportError naming `output`.
void writeDictionaryFile(const QString& output,
                         const std::function<void(engine::sqlite::Connection&)>& fill);

// Builds the indexes of `dictionary`'s table once its rows are in (one sort each instead of
// an update per row): the headword index, the list-order index and the Find window's
// full-text index, which holds the words a rich-text scripture value shows, not its markup.
void indexDictionaryTable(engine::sqlite::Connection& connection,
                          const data::DictionaryConfig& dictionary);

} // namespace tolvane::import
