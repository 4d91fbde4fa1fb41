#pragma once
// Opening files for reading that must be ordinary files. Opening a FIFO blocks until some
// other program writes to it, and a device such as /dev/zero never ends, so the program and
// its tools open a path without blocking, look at what it is, and refuse anything but a
// regular file with a message that says what the path is instead.

#include <QFile>
#include <QString>
#include <optional>

namespace tolvane::engine {

// What a path that exists but is no regular file is ("a folder", "a FIFO (named pipe)",
// "a character device", ...); nothing for a regular file or a path that does not exist.
// Symbolic links are followed.
std::optional<QString> nonRegularFileKind(const QString& path);

// Opens `path` read-only into `file` when it is a regular file. Never blocks on a FIFO.
// On failure returns why, in words that fit after "cannot read 'path': " ("it is a FIFO
// (named pipe), not a regular file", "No such file or directory").
std::optional<QString> openRegularFile(const QString& path, QFile& file);

} // namespace tolvane::engine
