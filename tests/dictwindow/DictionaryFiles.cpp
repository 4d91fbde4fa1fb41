// Dictionary files for the window tests, written with the engine's own schema helpers.

#include "WindowFixture.h"

#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <QDir>

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

    engine::sqlite::Transaction transaction(connection);
    auto insert = connection.prepare(
        QStringLiteral("INSERT INTO %1 VALUES (?, ?%2)")
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
    transaction.commit();
}

std::vector<DictRow> sampleRows() {
    const QString s = QStringLiteral("Job 1:1");
    return {
        {QStringLiteral("ABASE"), QStringLiteral("to lower"), QStringLiteral("Job 40:11")},
        {QStringLiteral("Bewray"), QStringLiteral("to betray, first"), s},
        {QStringLiteral("abide"), QStringLiteral("to wait for"), QStringLiteral("Acts 20:23")},
        {QStringLiteral("Abate"), QStringLiteral("to beat down"), s},
        {QStringLiteral("BRUIT"), QStringLiteral("a rumour"), QStringLiteral("=")},
        {QStringLiteral("Chapt"), QStringLiteral("chapped"), QStringLiteral("Gen. 1 = 2")},
        {QStringLiteral("Aaron's rod"), QStringLiteral("a rod that budded"), s},
        {QStringLiteral("Bewray"), QStringLiteral("to betray, second"), s},
        {QStringLiteral("ABJECT"), QStringLiteral("cast away"), s},
        {QStringLiteral("1 Esdras"), QStringLiteral("a book"), s},
        {QStringLiteral("Entreat"), QStringLiteral("to treat"), s},
        {QStringLiteral("Dure"), QVariant(), QVariant()},
        {QVariant(), QStringLiteral("a row without a headword"), s},
        {QStringLiteral("yonder"), QStringLiteral("over there"), s},
    };
}

QStringList headwordsBeginningWith(const std::vector<DictRow>& rows, const QString& prefix) {
    QStringList words;
    for (const auto& r : rows)
        if (!r.headword.isNull() && r.headword.toString().startsWith(prefix, Qt::CaseInsensitive))
            words << r.headword.toString();
    return caseInsensitiveSorted(words);
}

} // namespace tolvane::test
