#include "import/SwordImport.h"

#include "data/AddedDictionaries.h"
#include "data/NumberedKeys.h"
#include "data/WrittenContent.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "import/DictionaryFileWriter.h"

#include <QHash>
#include <QRegularExpression>

namespace tolvane::import {

namespace {

QString decodeEntity(const QString& name) {
    if (name == u"lt")
        return QStringLiteral("<");
    if (name == u"gt")
        return QStringLiteral(">");
    if (name == u"amp")
        return QStringLiteral("&");
    if (name == u"quot")
        return QStringLiteral("\"");
    if (name == u"apos")
        return QStringLiteral("'");
    if (name == u"nbsp")
        return QString(QChar(0xa0));
    bool ok = false;
    const uint code = name.startsWith(u"#x", Qt::CaseInsensitive) ? name.mid(2).toUInt(&ok, 16)
                                                                  : name.mid(1).toUInt(&ok, 10);
    if (!ok || code == 0 || code > 0x10ffff || (code >= 0xd800 && code < 0xe000))
        return {};
    const char32_t c = code;
    return QString::fromUcs4(&c, 1);
}

QString insertStatement(const data::DictionaryConfig& dictionary) {
    QStringList columns{engine::quoteIdentifier(dictionary.headwordColumn),
                        engine::quoteIdentifier(dictionary.definitionColumn)};
    if (dictionary.hasScripture())
        columns << engine::quoteIdentifier(dictionary.scriptureColumn);
    QStringList placeholders(columns.size(), QStringLiteral("?"));
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(engine::quoteIdentifier(dictionary.table), columns.join(QStringLiteral(", ")),
             placeholders.join(QStringLiteral(", ")));
}

} // namespace

QString plainDefinition(const QByteArray& rendered) {
    static const QRegularExpression entity(
        QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9A-Fa-f]{1,6}|lt|gt|amp|quot|apos|nbsp);"));
    QString text = QString::fromUtf8(rendered);
    QString decoded;
    decoded.reserve(text.size());
    qsizetype from = 0;
    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        const QString character = decodeEntity(match.captured(1));
        if (character.isEmpty())
            continue;
        decoded += QStringView(text).mid(from, match.capturedStart() - from);
        decoded += character;
        from = match.capturedEnd();
    }
    decoded += QStringView(text).mid(from);
    decoded = decoded.trimmed();
    decoded.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    decoded.replace(u'\r', u'\n');
    decoded.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return decoded;
}

std::optional<SwordRow> SwordRowMaker::row(const SwordEntry& entry) {
    const QString key = QString::fromUtf8(entry.key);
    SwordRow row{key.trimmed(), {}};
    if (row.headword.isEmpty()) {
        m_result.leftOutKeys << key;
        return std::nullopt;
    }
    row.definition = plainDefinition(entry.text);
    Seen& word = m_seen[row.headword.toCaseFolded()];
    if (word.entries++ == 0)
        word.spelling = row.headword;
    else if (word.entries == 2)
        m_result.repeatedKeys << word.spelling;
    if (row.definition.isEmpty())
        m_result.emptyKeys << row.headword;
    else if (looksLikeMarkup(row.definition))
        m_result.markupLeftKeys << row.headword;
    return row;
}

bool looksLikeMarkup(const QString& text) {
    static const QRegularExpression markup(
        QStringLiteral("<[A-Za-z/!?][^<>]*>|\\\\[a-z]{2,}|&[A-Za-z][A-Za-z0-9]*;|&#[0-9]+;|"
                       "&#[xX][0-9A-Fa-f]+;"));
    return markup.match(text).hasMatch();
}

SwordImportResult importSword(const SwordImportRequest& request) {
    if (!request.dictionary)
        throw ImportError(request.output, 0, QStringLiteral("no dictionary chosen"));
    checkOutputPlace(request.output);

    const data::DictionaryConfig& dictionary = *request.dictionary;
    SwordImportResult result;
    writeDictionaryFile(request.output, [&](engine::sqlite::Connection& connection) {
        engine::sqlite::Transaction transaction(connection);
        QStringList columns{dictionary.headwordColumn, dictionary.definitionColumn};
        if (dictionary.hasScripture())
            columns << dictionary.scriptureColumn;
        engine::createTextTable(connection, dictionary.table, columns);
        auto insert = connection.prepare(insertStatement(dictionary));
        SwordRowMaker rows(result);
        data::KeyWidth keyWidth; // Strong's keys are numbers: "00011"
        ImportProgress progress;
        // Each entry is stored as it arrives, while the helper reads the next ones.
        SwordEntrySink sink;
        sink.module = [&](const SwordModule& module) {
            result.module = module;
            progress.bytesTotal = module.entries;
        };
        sink.entry = [&](SwordEntry&& entry) {
            const std::optional<SwordRow> row = rows.row(entry);
            if (!row)
                return;
            keyWidth.see(row->headword);
            // As UTF-8: an empty text must be stored as empty text, not as a null value.
            insert.bindUtf8(1, row->headword.toUtf8());
            insert.bindUtf8(2, row->definition.toUtf8());
            if (dictionary.hasScripture())
                insert.bindUtf8(3, QByteArrayView(""));
            insert.run();
            insert.reset();
            ++result.rows;
            if (request.progress && request.progressEvery > 0 &&
                result.rows % request.progressEvery == 0) {
                progress.rows = progress.bytesRead = result.rows;
                request.progress(progress);
            }
        };
        readSwordDictionary(request.module, request.read, sink);
        if (result.rows == 0)
            throw ImportError(QStringLiteral("SWORD module %1").arg(request.module), 0,
                              QStringLiteral("it holds no entry with a key"));
        indexDictionaryTable(connection, dictionary);
        data::recordWrittenContent(connection, dictionary);
        // An added dictionary is called by the module's description, which only the
        // module tells.
        if (dictionary.added) {
            const QString title = result.module.description.trimmed();
            data::writeAddedFacts(
                connection, data::addedConfig(dictionary.fileName,
                                              title.isEmpty() ? dictionary.menuCaption : title,
                                              dictionary.source, keyWidth.width()));
        }
        transaction.commit();
    });
    if (request.progress) {
        ImportProgress progress;
        progress.rows = progress.bytesRead = progress.bytesTotal = result.rows;
        request.progress(progress);
    }
    return result;
}

} // namespace tolvane::import
