#include "import/CsvImport.h"

#include "data/AddedDictionaries.h"
#include "data/WrittenContent.h"

#include "data/Queries.h"
#include "engine/EngineError.h"
#include "engine/RegularFile.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "import/CsvReader.h"
#include "import/DictionaryFileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <sqlite3.h>

#include <optional>

namespace tolvane::import {

// Joined, not formatted: a path or message may itself hold "%1".
ImportError::ImportError(const QString& file, int line, const QString& message)
    : std::runtime_error(
          (file + QLatin1Char(':') + QString::number(line) + QStringLiteral(": ") + message)
              .toStdString()),
      m_file(file), m_line(line), m_message(message) {}

QString ImportError::describe() const {
    if (m_line > 0)
        return m_file + QLatin1Char(':') + QString::number(m_line) + QStringLiteral(": ") +
               m_message;
    return m_file + QStringLiteral(": ") + m_message;
}

namespace {

QStringList requiredColumns(const data::DictionaryConfig& dictionary) {
    QStringList required{dictionary.headwordColumn, dictionary.definitionColumn};
    if (dictionary.hasScripture())
        required << dictionary.scriptureColumn;
    return required;
}

// A name as it may appear in a message: a header field can be any length.
QString shortName(const QString& name) {
    constexpr qsizetype kShown = 60;
    return name.size() <= kShown ? name : name.left(kShown) + QStringLiteral("...");
}

// The first few column names, for messages.
QString someColumns(const QStringList& columns) {
    constexpr qsizetype kListed = 8;
    QStringList shown;
    for (qsizetype i = 0; i < columns.size() && i < kListed; ++i)
        shown << shortName(columns[i]);
    if (columns.size() > kListed)
        shown << QStringLiteral("... (%1 in all)").arg(columns.size());
    return shown.join(QStringLiteral(", "));
}

// Checks the header row against the dictionary and returns the column names to create.
// `maxColumns` is the most the engine can hold; a wider header is refused before anything
// else is looked at.
QStringList checkHeader(const CsvRecord& header, const data::DictionaryConfig& dictionary,
                        const QString& file, int maxColumns) {
    if (header.fields.size() > static_cast<std::size_t>(maxColumns))
        throw ImportError(
            file, header.line,
            QStringLiteral("the header names %1 columns; a dictionary table holds "
                           "at most %2")
                .arg(QString::number(header.fields.size()), QString::number(maxColumns)));
    QStringList columns;
    QSet<QString> seen; // folded names: the engine takes column names in any letter case
    for (const QByteArray& field : header.fields) {
        const QString name = QString::fromUtf8(field);
        if (name.trimmed().isEmpty())
            throw ImportError(
                file, header.line,
                QStringLiteral("column %1 of the header has no name").arg(columns.size() + 1));
        if (name.trimmed() != name)
            throw ImportError(
                file, header.line,
                QStringLiteral("column name '%1' has blanks around it").arg(shortName(name)));
        const QString folded = name.toCaseFolded();
        if (seen.contains(folded))
            throw ImportError(file, header.line,
                              QStringLiteral("column '%1' is named twice").arg(shortName(name)));
        seen.insert(folded);
        columns << name;
    }
    for (const QString& needed : requiredColumns(dictionary))
        if (!columns.contains(needed, Qt::CaseInsensitive))
            throw ImportError(file, header.line,
                              QStringLiteral("the header names no column '%1'; table '%2' of %3 "
                                             "needs the columns %4")
                                  .arg(needed, dictionary.table, dictionary.fileName,
                                       requiredColumns(dictionary).join(QStringLiteral(", "))));
    return columns;
}

// The window looks a chosen headword up with the spaces around it removed, so a headword
// that is empty or has spaces around it could be listed but never shown.
void checkHeadword(const QByteArray& headword, const QString& file, int line) {
    const QString text = QString::fromUtf8(headword);
    if (text.isEmpty())
        throw ImportError(file, line, QStringLiteral("the headword is empty"));
    if (data::trimSpaces(text) != text)
        throw ImportError(
            file, line,
            QStringLiteral("the headword '%1' has spaces around it").arg(shortName(text)));
}

QString insertStatement(const QString& table, const QStringList& columns) {
    QStringList names;
    QStringList placeholders;
    for (const QString& column : columns) {
        names << engine::quoteIdentifier(column);
        placeholders << QStringLiteral("?");
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(engine::quoteIdentifier(table), names.join(QStringLiteral(", ")),
             placeholders.join(QStringLiteral(", ")));
}

ImportResult fill(engine::sqlite::Connection& connection, QFile& input,
                  const CsvImportRequest& request) {
    const data::DictionaryConfig& dictionary = *request.dictionary;
    const QString& file = request.input;
    CsvReader reader(input);
    CsvRecord record;

    ImportResult result;
    try {
        if (!reader.next(record))
            throw ImportError(file, 1,
                              QStringLiteral("the file is empty; its first line must "
                                             "name the columns"));
        result.columns = checkHeader(record, dictionary, file,
                                     sqlite3_limit(connection.handle(), SQLITE_LIMIT_COLUMN, -1));

        engine::sqlite::Transaction transaction(connection);
        engine::createTextTable(connection, dictionary.table, result.columns);
        auto insert = connection.prepare(insertStatement(dictionary.table, result.columns));
        const auto width = static_cast<std::size_t>(result.columns.size());
        std::size_t headword = 0;
        while (result.columns.at(qsizetype(headword))
                   .compare(dictionary.headwordColumn, Qt::CaseInsensitive) != 0)
            ++headword; // checkHeader made sure it is there
        ImportProgress progress;
        progress.bytesTotal = input.size();

        while (reader.next(record)) {
            if (record.fields.size() != width) {
                if (record.fields.size() == 1 && record.fields.front().isEmpty())
                    throw ImportError(
                        file, record.line,
                        QStringLiteral("empty line; every line holds %1 fields").arg(width));
                throw ImportError(file, record.line,
                                  QStringLiteral("%1 fields where the header names %2 (%3)")
                                      .arg(QString::number(record.fields.size()),
                                           QString::number(width), someColumns(result.columns)));
            }
            checkHeadword(record.fields[headword], file, record.line);
            for (std::size_t i = 0; i < width; ++i)
                insert.bindUtf8(static_cast<int>(i) + 1, record.fields[i]);
            insert.run();
            insert.reset();
            ++result.rows;
            if (request.progress && request.progressEvery > 0 &&
                result.rows % request.progressEvery == 0) {
                progress.rows = result.rows;
                progress.bytesRead = reader.bytesRead();
                request.progress(progress);
            }
        }
        indexDictionaryTable(connection, dictionary);
        data::recordWrittenContent(connection, dictionary);
        if (dictionary.added)
            data::writeAddedFacts(connection, dictionary);
        transaction.commit();

        if (request.progress) {
            progress.rows = result.rows;
            progress.bytesRead = reader.bytesRead();
            request.progress(progress);
        }
    } catch (const CsvError& e) {
        throw ImportError(file, e.line(), e.message());
    }
    return result;
}

} // namespace

ImportResult importCsv(const CsvImportRequest& request) {
    if (!request.dictionary)
        throw ImportError(request.output, 0, QStringLiteral("no dictionary chosen"));

    QFile input;
    if (const std::optional<QString> why = engine::openRegularFile(request.input, input))
        throw ImportError(request.input, 0, QStringLiteral("cannot read the file: ") + *why);

    const QFileInfo outputInfo(request.output);
    checkOutputPlace(request.output);
    if (outputInfo.exists() &&
        outputInfo.canonicalFilePath() == QFileInfo(request.input).canonicalFilePath())
        throw ImportError(request.output, 0,
                          QStringLiteral("the output would replace the CSV file it is built from"));

    ImportResult result;
    writeDictionaryFile(request.output, [&](engine::sqlite::Connection& connection) {
        result = fill(connection, input, request);
    });
    return result;
}

} // namespace tolvane::import
