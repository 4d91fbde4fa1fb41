#include "find/MemoryCopy.h"

#include "engine/FileSniffer.h"
#include "engine/Schema.h"
#include "engine/legacy/JetLoader.h"
#include "engine/legacy/LegacyCopy.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <QDir>
#include <QStringList>
#include <QUrl>

namespace tolvane::find {

namespace sqlite = engine::sqlite;
using engine::quoteIdentifier;

std::unique_ptr<sqlite::Connection> copyIntoMemory(const data::DictionaryConfig& config,
                                                   const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    auto memory = std::make_unique<sqlite::Connection>(QString(), sqlite::OpenMode::Memory, shown);
    // A copy is made where the disk may be full: nothing of it goes into temporary files.
    memory->exec(QStringLiteral("PRAGMA temp_store = MEMORY"));
    if (engine::sniffDatabaseFile(path).kind == engine::FileKind::Jet) {
        const engine::legacy::LegacyDatabase legacy = engine::legacy::loadJetDatabase(path);
        engine::legacy::copyLegacyTables(legacy, *memory);
    } else {
        sqlite::Statement attach(*memory, QStringLiteral("ATTACH ?1 AS source"));
        attach.bind(1, QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                           QStringLiteral("?mode=ro"));
        attach.run();
        QStringList columns{config.headwordColumn, config.definitionColumn};
        if (config.hasScripture())
            columns << config.scriptureColumn;
        engine::createTextTable(*memory, config.table, columns);
        QStringList quoted;
        for (const QString& column : columns)
            quoted << quoteIdentifier(column);
        memory->exec(QStringLiteral("INSERT INTO main.%1 (rowid, %2) SELECT rowid, %2 FROM "
                                    "source.%1")
                         .arg(quoteIdentifier(config.table), quoted.join(QStringLiteral(", "))));
        memory->exec(QStringLiteral("DETACH source"));
    }
    engine::createHeadwordIndex(*memory, config.table, config.headwordColumn);
    return memory;
}

} // namespace tolvane::find
