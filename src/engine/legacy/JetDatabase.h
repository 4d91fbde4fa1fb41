#pragma once
// Opening legacy Jet 3 / Jet 4 (Access 97 / 2000) files as databases of the program: the
// file is read whole through the reading helper (JetLoader.h), its tables are copied into an
// in-memory SQLite database made with the engine's own schema helpers, and that copy is
// served read-only. Queries, case-insensitive matching and patterns therefore behave
// exactly as on the program's own files.

#include "engine/Dao.h"
#include "engine/legacy/JetLoader.h"

namespace tolvane::engine::legacy {

// Throws EngineError: 3024 for a missing file, 3343 for one that cannot be read.
std::shared_ptr<Database> openJetDatabase(const QString& path, const JetLoadOptions& options = {});

// Makes Workspace::OpenDatabase open Jet files with openJetDatabase. The program calls this
// once at start; without it Jet files are refused as an unrecognised format.
void enableLegacyJetFiles();

} // namespace tolvane::engine::legacy
