#pragma once
// The application folder: the folder that holds the executable. The dictionary files live
// there. Tests point it at a folder of their own.

#include <QString>

namespace tolvane::platform {

QString applicationFolder();
// Overrides the folder (an empty text restores the real one).
void setApplicationFolder(const QString& folder);

} // namespace tolvane::platform
