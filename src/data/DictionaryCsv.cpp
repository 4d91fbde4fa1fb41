#include "data/DictionaryCsv.h"

#include "engine/Dao.h"

#include <QDir>
#include <QSaveFile>

namespace tolvane::data {

namespace {

// RFC 4180: a field holding a comma, a quote, a line break or white space at either end is
// quoted, its quotes doubled; any other is written as it is.
void appendField(QByteArray& line, const QString& value) {
    const QByteArray text = value.toUtf8();
    const bool quoted =
        text.contains(',') || text.contains('"') || text.contains('\n') || text.contains('\r') ||
        (!text.isEmpty() && (QChar(text.front()).isSpace() || QChar(text.back()).isSpace()));
    if (!quoted) {
        line += text;
        return;
    }
    line += '"';
    for (char c : text) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

void appendLine(QByteArray& into, const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            into += ',';
        appendField(into, fields.at(i));
    }
    into += "\r\n";
}

} // namespace

CsvExportResult exportDictionaryCsv(const QString& database, const DictionaryConfig& config,
                                    const QString& output) {
    QStringList columns{config.headwordColumn, config.definitionColumn};
    if (config.hasScripture())
        columns << config.scriptureColumn;
    const QString shownOutput = QDir::toNativeSeparators(output);
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly))
        return {0, QStringLiteral("%1 cannot be written (%2). Choose another folder.")
                       .arg(shownOutput, file.errorString())};
    CsvExportResult result;
    try {
        auto rows =
            engine::DBEngine::instance().Workspaces(0)->OpenDatabase(database)->OpenRecordset(
                config.table, engine::dbOpenTable);
        QByteArray line;
        appendLine(line, columns);
        file.write(line);
        if (rows->RecordCount() > 0)
            rows->MoveFirst();
        for (; !rows->isEOF(); rows->MoveNext(), ++result.rows) {
            QStringList values;
            for (const QString& column : columns)
                values << rows->Fields(column).Value().toString();
            line.clear();
            appendLine(line, values);
            file.write(line);
        }
    } catch (const NumberedError& e) {
        file.cancelWriting();
        return {0, QStringLiteral("%1 could not be read: %2")
                       .arg(QDir::toNativeSeparators(database), e.message())};
    }
    if (!file.commit())
        return {0, QStringLiteral("%1 could not be written (%2). Is the disk full? Free some "
                                  "space or choose another folder.")
                       .arg(shownOutput, file.errorString())};
    return result;
}

} // namespace tolvane::data
