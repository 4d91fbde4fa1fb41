#pragma once
// The application folder: the folder the dictionary files are read from and written to. The
// program sets it at start to the folder its lookup chooses (DictionaryFolder.h); until then
// it is the folder that holds the executable. Tests point it at a folder of their own.

#include <QString>

namespace tolvane::platform {

QString applicationFolder();
// Sets the folder (an empty text restores the executable's folder).
void setApplicationFolder(const QString& folder);

} // namespace tolvane::platform
