#include "data/WrittenContent.h"

#include "data/DictionaryConfig.h"
#include "engine/EngineError.h"
#include "engine/FileMetadata.h"
#include "engine/TableChecksum.h"
#include "engine/sqlite/Connection.h"

#include <QFileInfo>

namespace tolvane::data {

namespace {

QString keyOf(const DictionaryConfig& config) {
    return QLatin1String(kContentKeyPrefix) + config.table;
}

} // namespace

void recordWrittenContent(engine::sqlite::Connection& connection, const DictionaryConfig& config) {
    engine::writeMetadata(connection, keyOf(config),
                          engine::tableChecksum(connection, config.table));
}

WrittenContent writtenContentOf(const QString& path, const DictionaryConfig& config) {
    if (!QFileInfo::exists(path))
        return WrittenContent::Missing;
    try {
        engine::sqlite::Connection connection(path, engine::sqlite::OpenMode::ReadOnly);
        const auto recorded = engine::readMetadata(connection, keyOf(config));
        if (!recorded)
            return WrittenContent::Unknown;
        return *recorded == engine::tableChecksum(connection, config.table)
                   ? WrittenContent::AsWritten
                   : WrittenContent::Changed;
    } catch (const engine::EngineError&) {
        return WrittenContent::Unknown; // a legacy Jet file, or one damaged: not known to be ours
    }
}

} // namespace tolvane::data
