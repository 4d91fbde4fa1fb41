#pragma once
// Opening a database file: what Workspace::OpenDatabase does. The file's first bytes decide
// how (FileSniffer.h); a file that is missing, empty, damaged or of an unknown kind is
// refused with an error that names it, and is never written to or created.

#include "engine/Dao.h"

#include <functional>

namespace tolvane::engine {

// Opens an existing database file for shared reading and writing.
std::shared_ptr<Database> openDatabaseFile(const QString& path);

// From now on every file opens read-only, whoever may write it: the program runs on shipped
// files that must stay as they are. Writes then fail with err::ReadOnly naming the file.
void setOpenEveryFileReadOnly(bool readOnly);

// Files in the Jet (.mdb) format are handed to this reader when one is registered (see the
// seam described in SqliteDatabase.h); without one they are refused with
// err::UnrecognizedFormat. Pass an empty function to unregister.
using ForeignFileOpener = std::function<std::shared_ptr<Database>(const QString& path)>;
void setJetFileOpener(ForeignFileOpener opener);

} // namespace tolvane::engine
