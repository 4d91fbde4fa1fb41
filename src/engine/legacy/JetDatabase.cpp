#include "engine/legacy/JetDatabase.h"

#include "engine/OpenDatabase.h"
#include "engine/SqliteDatabase.h"
#include "engine/legacy/LegacyCopy.h"
#include "engine/legacy/ReadOnlyLegacyDatabase.h"
#include "engine/sqlite/Connection.h"

#include <QDir>

namespace tolvane::engine::legacy {

std::shared_ptr<Database> openJetDatabase(const QString& path, const JetLoadOptions& options) {
    const QString shown = QDir::toNativeSeparators(path);
    const LegacyDatabase legacy = loadJetDatabase(path, options);
    auto memory = std::make_unique<sqlite::Connection>(QString(), sqlite::OpenMode::Memory, shown);
    try {
        copyLegacyTables(legacy, *memory);
        indexTextColumns(legacy, *memory);
    } catch (const EngineError& e) {
        throw EngineError(err::UnrecognizedFormat,
                          QStringLiteral("Cannot open the legacy database '%1': %2").arg(shown, e.message()));
    }
    return readOnlyLegacyDatabase(databaseFromConnection(std::move(memory), shown, true), shown);
}

void enableLegacyJetFiles() {
    setJetFileOpener([](const QString& path) { return openJetDatabase(path); });
}

} // namespace tolvane::engine::legacy
