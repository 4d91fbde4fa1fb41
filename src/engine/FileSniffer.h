#pragma once
// Looks at a file's first bytes to tell what kind of database it is before anything opens
// it, so a wrong file is refused with a message that says what is wrong with it, and
// nothing is ever written to it.

#include <QString>

namespace tolvane::engine {

enum class FileKind {
    Missing,    // no such file
    Folder,     // the path names a folder
    Special,    // a FIFO, device or socket: never opened (a FIFO would block the program)
    Unreadable, // exists but cannot be read
    Empty,      // zero bytes
    SQLite,     // an SQLite 3 database, complete as far as its header tells, or one with a
                // rollback journal or write-ahead log beside it, which SQLite itself judges
    Truncated,  // an SQLite 3 header, but the file is shorter than the header says
    Jet,        // a Jet (Access .mdb) or ACE (.accdb) database
    Unknown,    // anything else
};

struct FileSniff {
    FileKind kind = FileKind::Unknown;
    QString detail; // a short explanation for messages ("1024 of 8192 bytes present")
};

// The size checks look at the main file alone. A save cut short (kill, crash, power cut) can
// leave page 1 announcing a larger file than is on disk, with the pages to undo that in the
// hot journal beside it: SQLite rolls such a file back when it opens it. So a file with a
// journal or a write-ahead log beside it is never judged by its size here.

FileSniff sniffDatabaseFile(const QString& path);

} // namespace tolvane::engine
