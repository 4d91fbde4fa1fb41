#pragma once
// A private copy of a dictionary's table in memory, with the same row ids: what Find searches
// when the file itself may not hold an index (a read-only file, a legacy Jet file, a file on
// a full disk). The file is only read.

#include "data/DictionaryConfig.h"

#include <memory>

namespace tolvane::engine::sqlite {
class Connection;
}

namespace tolvane::find {

// Copies the table of the dictionary file at `path`, with its headword index. Throws
// engine::EngineError when the file cannot be read.
std::unique_ptr<engine::sqlite::Connection> copyIntoMemory(const data::DictionaryConfig& config,
                                                           const QString& path);

} // namespace tolvane::find
