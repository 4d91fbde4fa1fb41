#pragma once
// Whether the user's settings file may be read and written where it is. Qt writes a settings
// file through QSaveFile, which follows a symbolic link and puts a new regular file in place
// of whatever the link points at (run as root, a link to /dev/zero had /dev/zero replaced),
// and reading a FIFO waits for a writer that never comes. So the file is used only when it is
// the user's own: not there yet (it is made), a regular file the user owns, or a link to one
// (the link is kept and the file it points at written), in a folder the user owns. Anything
// else is left alone.

#include <QString>

namespace tolvane::platform {

// Empty when `path` may be used; otherwise, for the user, what is wrong with it, that the
// settings are not kept, and what to do.
QString settingsFileProblem(const QString& path);

// A folder of this run's own, removed when the program ends: settings that are not kept are
// written there, so that the program works as usual meanwhile.
QString unkeptSettingsFolder();

} // namespace tolvane::platform
