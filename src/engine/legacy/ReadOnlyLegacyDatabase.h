#pragma once
// A legacy Jet file opened in the program: its tables live in an in-memory SQLite copy that
// serves every read exactly as a dictionary file would, and every attempt to store or
// delete is refused with one message that names the file and the command that converts it.
// Nothing is ever written back: the legacy file stays as it was.

#include "engine/Dao.h"

namespace tolvane::engine::legacy {

// Wraps `copy` (a read-only Database over the in-memory tables). `path` is the legacy
// file as it was opened.
std::shared_ptr<Database> readOnlyLegacyDatabase(std::shared_ptr<Database> copy, const QString& path);

// "'PATH' is a legacy Jet database and is opened read-only. Convert it with: tolvane-import
// PATH", the path quoted for the shell when it needs it.
QString legacyReadOnlyExplanation(const QString& path);

} // namespace tolvane::engine::legacy
