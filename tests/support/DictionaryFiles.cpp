#include "support/DictionaryFiles.h"

#include "data/AddedDictionaries.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <QDir>
#include <QFile>

namespace tolvane::test {

void writeDictionaryFile(const QString& folder, const data::DictionaryConfig& config,
                         const std::vector<DictRow>& rows) {
    const QString path = QDir(folder).filePath(config.fileName);
    QFile::remove(path);
    engine::sqlite::Connection connection(path, engine::sqlite::OpenMode::ReadWriteCreate);
    QStringList columns{config.headwordColumn, config.definitionColumn};
    if (config.hasScripture())
        columns << config.scriptureColumn;
    engine::createTextTable(connection, config.table, columns);
    engine::createHeadwordIndex(connection, config.table, config.headwordColumn);
    engine::createListIndex(connection, config.table, config.headwordColumn);

    engine::sqlite::Transaction transaction(connection);
    auto insert =
        connection.prepare(QStringLiteral("INSERT INTO %1 VALUES (?, ?%2)")
                               .arg(engine::quoteIdentifier(config.table),
                                    config.hasScripture() ? QStringLiteral(", ?") : QString()));
    for (const auto& row : rows) {
        insert.bind(1, row.headword);
        insert.bind(2, row.definition);
        if (config.hasScripture())
            insert.bind(3, row.scripture);
        insert.run();
        insert.reset();
    }
    if (config.added)
        data::writeAddedFacts(connection, config);
    transaction.commit();
}

} // namespace tolvane::test
