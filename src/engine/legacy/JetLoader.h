#pragma once
// Reads a legacy Jet 3 / Jet 4 (Access 97 / 2000) database file into memory, every column as
// text. The reading itself happens in the helper program tolvane-jetread, in a process of its
// own with a time and a memory limit: the library it uses may hang, crash or print on a
// damaged file, and none of that may reach this process. A timeout, a crash, an incomplete
// or malformed answer all become one EngineError naming the file and the cause.

#include "engine/legacy/LegacyTable.h"

#include <QString>
#include <QStringList>

namespace tolvane::engine::legacy {

struct JetLoadOptions {
    // Code page of Jet 3 (Access 97) text: "1252", "CP1251", "GBK" ... Empty: Windows-1252.
    // Jet 4 files store Unicode and ignore it.
    QString codepage;
    // Only these tables (exact names); empty: every user table.
    QStringList tables;
    // Wall-clock limit for the whole read (0: 10 seconds plus one per megabyte of file) and
    // the helper's memory limit. The helper streams rows, so its memory does not grow with
    // the file; a library gone astray on a damaged file grows by 100 MB a second.
    int timeoutMs = 0;
    int memoryLimitMb = 512;
    // The helper to run; empty: jetReaderPath().
    QString helperPath;
};

// Reads the file. Throws EngineError: 3024 when the file does not exist, 3343 when it cannot
// be read as a Jet database (with the reason), never returning part of a file.
LegacyDatabase loadJetDatabase(const QString& path, const JetLoadOptions& options = {});

// Where the helper is: $TOLVANE_JETREAD if set, else tolvane-jetread beside the running
// program, in the installed libexec/tolvane folder, in $TOLVANE_APP_DIR, or on the PATH.
// Empty when it is nowhere.
QString jetReaderPath();

} // namespace tolvane::engine::legacy
