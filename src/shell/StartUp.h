#pragma once
// What the program does before its main window: choose the dictionary folder
// (platform/DictionaryFolder.h) and make it the application folder the windows read.

#include "platform/DictionaryFolder.h"

namespace tolvane::shell {

// The file names of the three dictionaries, for the folder lookup.
QStringList dictionaryFileNames();

// Prepares the folder for `places` and makes it the application folder. When the user's
// folder cannot be used, every dictionary opens read-only from the shipped files and one
// message (a message box, and the same text on stderr) names the folder and the reason.
platform::DictionaryFolder useDictionaryFolder(const platform::DictionaryFolderPlaces& places);

// The same for the running program; `requested` is --dictionaries DIR or empty.
platform::DictionaryFolder useDictionaryFolder(const QString& requested);

} // namespace tolvane::shell
