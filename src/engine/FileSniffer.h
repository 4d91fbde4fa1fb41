#pragma once
// Looks at a file's first bytes to tell what kind of database it is before anything opens
// it, so a wrong file is refused with a message that says what is wrong with it, and
// nothing is ever written to it.

#include <QString>

namespace tolvane::engine {

enum class FileKind {
    Missing,    // no such file
    Folder,     // the path names a folder
    Unreadable, // exists but cannot be read
    Empty,      // zero bytes
    SQLite,     // an SQLite 3 database, complete as far as its header tells
    Truncated,  // an SQLite 3 header, but the file is shorter than the header says
    Jet,        // a Jet (Access .mdb) or ACE (.accdb) database
    Unknown,    // anything else
};

struct FileSniff {
    FileKind kind = FileKind::Unknown;
    QString detail; // a short explanation for messages ("1024 of 8192 bytes present")
};

FileSniff sniffDatabaseFile(const QString& path);

} // namespace tolvane::engine
