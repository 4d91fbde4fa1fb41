#include "ImportTestSupport.h"

#include "support/TestSupport.h"

#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "import/CsvReader.h"

#include <QDir>
#include <QFile>

namespace tolvane::test {

using engine::sqlite::Connection;
using engine::sqlite::OpenMode;

std::vector<Row> storedRows(const QString& file, const QString& table, const QStringList& columns) {
    Connection connection(file, OpenMode::ReadOnly);
    QStringList names;
    for (const QString& c : columns)
        names << engine::quoteIdentifier(c);
    auto statement = connection.prepare(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
            .arg(names.join(QStringLiteral(", ")), engine::quoteIdentifier(table)));
    std::vector<Row> rows;
    while (statement.step()) {
        Row row;
        for (int i = 0; i < columns.size(); ++i) {
            const QByteArrayView bytes = statement.columnUtf8(i);
            row.emplace_back(bytes.data(), bytes.size());
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

QStringList storedColumns(const QString& file, const QString& table) {
    Connection connection(file, OpenMode::ReadOnly);
    auto statement =
        connection.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"));
    statement.bind(1, table);
    QStringList names;
    while (statement.step())
        names << statement.columnText(0);
    return names;
}

QStringList storedIndexes(const QString& file, const QString& table) {
    Connection connection(file, OpenMode::ReadOnly);
    auto statement = connection.prepare(QStringLiteral("SELECT name FROM pragma_index_list(?)"));
    statement.bind(1, table);
    QStringList names;
    while (statement.step())
        names << statement.columnText(0);
    return names;
}

std::vector<Row> csvRecords(const QString& file) {
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + file.toStdString());
    import::CsvReader reader(input);
    import::CsvRecord record;
    std::vector<Row> rows;
    while (reader.next(record))
        rows.push_back(record.fields);
    return rows;
}

QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

import::ImportResult runImport(const data::DictionaryConfig& dictionary, const QString& input,
                               const QString& output){import::CsvImportRequest request;
request.dictionary = &dictionary;
request.input = input;
request.output = output;
return import::importCsv(request);
} // namespace tolvane::test

QString ImportFolderTest::csv(const QString& name, const QByteArray& text) const {
    writeFile(path(name), text);
    return path(name);
}

} // namespace tolvane::test
