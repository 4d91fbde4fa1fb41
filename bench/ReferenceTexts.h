#pragma once
// The three reference texts (../shared/data, or $TOLVANE_SHARED_DIR/data) as the benchmarks
// use them: imported into a folder as tolvane-import makes them, full-text index included.

#include <QString>

namespace tolvane::bench {

// The folder the texts are read from.
QString referenceDataFolder();

// Imports the three texts into `folder` under their dictionaries' file names; false, with
// nothing more imported, when one of them is not found.
bool importReferenceTexts(const QString& folder);

} // namespace tolvane::bench
