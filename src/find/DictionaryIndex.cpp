#include "find/DictionaryIndex.h"

#include "data/DataOperations.h"
#include "data/FullTextSource.h"
#include "engine/EngineError.h"
#include "engine/FileSniffer.h"
#include "engine/NoCaseCollation.h"
#include "engine/OpenDatabase.h"
#include "engine/Schema.h"
#include "engine/legacy/JetLoader.h"
#include "engine/legacy/LegacyCopy.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <QDir>
#include <QFile>
#include <QUrl>
#include <optional>
#include <sqlite3.h>
#include <sys/stat.h>

namespace tolvane::find {

namespace {

using engine::quoteIdentifier;
namespace sqlite = engine::sqlite;

// Which file a path names: a file replaced under the same name is another file. A copy in
// memory also goes stale when the file is changed in place.
quint64 fileIdentity(const QString& path, bool withChanges) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    quint64 id = (quint64(st.st_dev) << 40) ^ quint64(st.st_ino);
    if (withChanges)
        id ^= (quint64(st.st_mtim.tv_sec) << 20) ^ quint64(st.st_mtim.tv_nsec) ^
              (quint64(st.st_size) << 8);
    return id;
}

int interruptWhenAsked(void* cancelled) {
    const auto& asked = *static_cast<const std::function<bool()>*>(cancelled);
    return asked && asked() ? 1 : 0;
}

// The failures that mean the index cannot be written into the file itself.
bool meansNotWritable(const engine::EngineError& e) {
    return e.number() == engine::err::ReadOnly || e.number() == engine::err::FileNotFound ||
           e.number() == engine::err::FileInUse || e.number() == engine::err::DiskIo;
}

QString oneLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text.simplified();
}

} // namespace

DictionaryIndex::DictionaryIndex(const data::DictionaryConfig& config, const QString& folder,
                                 std::function<bool()> cancelled)
    : m_config(config), m_source(data::fullTextSource(config)),
      m_path(data::dictionaryPath(config, folder)), m_cancelled(std::move(cancelled)) {
    const engine::FileSniff sniff = engine::sniffDatabaseFile(m_path);
    if (sniff.kind == engine::FileKind::Jet) {
        openCopy();
    } else if (sniff.kind == engine::FileKind::SQLite) {
        m_connection = std::make_unique<sqlite::Connection>(m_path, sqlite::OpenMode::ReadWrite,
                                                            QDir::toNativeSeparators(m_path));
        if (m_connection->isReadOnly())
            openCopy();
    } else {
        engine::openDatabaseFile(m_path); // throws the error that says what is wrong
    }
    watch(*m_connection);
    m_fileId = fileIdentity(m_path, m_inMemory);
}

DictionaryIndex::~DictionaryIndex() = default;

bool DictionaryIndex::stillCurrent() const {
    return fileIdentity(m_path, m_inMemory) == m_fileId;
}

// SQLite asks every few hundred steps of a statement whether to go on.
void DictionaryIndex::watch(sqlite::Connection& connection) {
    sqlite3_progress_handler(connection.handle(), 500, interruptWhenAsked, &m_cancelled);
}

// A private copy of the dictionary's table in memory, with the same row ids, indexed there.
void DictionaryIndex::openCopy() {
    const QString shown = QDir::toNativeSeparators(m_path);
    auto memory = std::make_unique<sqlite::Connection>(QString(), sqlite::OpenMode::Memory, shown);
    if (engine::sniffDatabaseFile(m_path).kind == engine::FileKind::Jet) {
        const engine::legacy::LegacyDatabase legacy = engine::legacy::loadJetDatabase(m_path);
        engine::legacy::copyLegacyTables(legacy, *memory);
    } else {
        sqlite::Statement attach(*memory, QStringLiteral("ATTACH ?1 AS source"));
        attach.bind(1, QUrl::fromLocalFile(m_path).toString(QUrl::FullyEncoded) +
                           QStringLiteral("?mode=ro"));
        attach.run();
        QStringList columns{m_config.headwordColumn, m_config.definitionColumn};
        if (m_config.hasScripture())
            columns << m_config.scriptureColumn;
        engine::createTextTable(*memory, m_config.table, columns);
        QStringList quoted;
        for (const QString& column : columns)
            quoted << quoteIdentifier(column);
        memory->exec(QStringLiteral("INSERT INTO main.%1 (rowid, %2) SELECT rowid, %2 FROM "
                                    "source.%1")
                         .arg(quoteIdentifier(m_config.table), quoted.join(QStringLiteral(", "))));
        memory->exec(QStringLiteral("DETACH source"));
    }
    engine::createHeadwordIndex(*memory, m_config.table, m_config.headwordColumn);
    m_connection = std::move(memory);
    watch(*m_connection);
    m_inMemory = true;
}

bool DictionaryIndex::isPrepared() {
    if (!m_prepared)
        m_prepared =
            engine::fullTextState(*m_connection, m_source) == engine::FullTextState::Complete;
    return m_prepared;
}

void DictionaryIndex::prepare(const std::function<void(int percent)>& progress) {
    try {
        if (isPrepared())
            return;
        if (!m_inMemory &&
            engine::fullTextState(*m_connection, m_source) == engine::FullTextState::Missing) {
            try {
                sqlite::Transaction transaction(*m_connection);
                engine::createFullTextIndex(*m_connection, m_source);
                transaction.commit();
            } catch (const engine::EngineError& e) {
                if (isCancelled() || !meansNotWritable(e))
                    throw;
                openCopy(); // a file that may not be changed is indexed in memory
            }
        }
        if (m_inMemory) {
            sqlite::Transaction transaction(*m_connection);
            engine::createFullTextIndex(*m_connection, m_source);
            transaction.commit();
        }
        engine::fillFullTextIndex(*m_connection, m_source, !m_inMemory,
                                  [&](const engine::FullTextProgress& p) {
                                      if (progress && p.total > 0)
                                          progress(int(p.done * 100 / p.total));
                                      return !isCancelled();
                                  });
        if (isCancelled())
            throw Cancelled();
    } catch (const engine::EngineError&) {
        if (isCancelled())
            throw Cancelled();
        throw;
    }
}

int DictionaryIndex::count(const QString& match) {
    try {
        sqlite::StatementLease count = m_connection->reuse(
            QStringLiteral("SELECT count(*) FROM %1 WHERE %1 MATCH ?1")
                .arg(quoteIdentifier(engine::fullTextTableName(m_config.table))));
        count->bind(1, match);
        return count->step() ? int(count->columnInt64(0)) : 0;
    } catch (const engine::EngineError&) {
        if (isCancelled())
            throw Cancelled();
        throw;
    }
}

std::vector<FoundEntry> DictionaryIndex::search(const QString& match, int offset, int limit,
                                                bool withSnippets, bool ranked) {
    std::vector<FoundEntry> found;
    if (limit <= 0)
        return found;
    const QString fts = quoteIdentifier(engine::fullTextTableName(m_config.table));
    try {
        // The best entries first: a matched word in the headword counts for more than one in
        // the text. Sorting needs only the rank; what a row shows is read for the rows kept.
        const QString rank = QStringLiteral("bm25(%1, 10.0, 1.0, 1.0)").arg(fts);
        sqlite::StatementLease best = m_connection->reuse(
            ranked ? QStringLiteral("SELECT rowid, headword, %2 FROM %1 WHERE %1 MATCH ?1 ORDER "
                                    "BY %2, rowid LIMIT ?2 OFFSET ?3")
                         .arg(fts, rank)
                   : QStringLiteral("SELECT rowid, headword, 0 FROM %1 WHERE %1 MATCH ?1 ORDER "
                                    "BY rowid LIMIT ?2 OFFSET ?3")
                         .arg(fts));
        best->bind(1, match);
        best->bind(2, qint64(limit));
        best->bind(3, qint64(offset));
        while (best->step()) {
            FoundEntry entry;
            entry.dictionary = &m_config;
            entry.rowid = best->columnInt64(0);
            entry.headword = best->columnText(1);
            entry.score = sqlite3_column_double(best->handle(), 2);
            found.push_back(std::move(entry));
        }

        // Which of the rows holding exactly its headword each one is, in row order.
        sqlite::StatementLease before = m_connection->reuse(
            QStringLiteral("SELECT count(*) FROM %1 WHERE %2 COLLATE %3 = ?1 AND %2 = ?1 AND "
                           "rowid < ?2")
                .arg(quoteIdentifier(m_config.table), quoteIdentifier(m_config.headwordColumn),
                     QLatin1String(engine::kNoCaseCollation)));
        // A line of the definition around the matched words (of the scripture when only it
        // holds them). Made row by row: a snippet costs more than all the rest.
        const QString snippet = QStringLiteral("snippet(%1, %2, char(2), char(3), '…', 16)");
        std::optional<sqlite::StatementLease> snippets;
        if (withSnippets)
            snippets.emplace(m_connection->reuse(
                QStringLiteral("SELECT %2, %3 FROM %1 WHERE %1 MATCH ?1 AND rowid = ?2")
                    .arg(fts, snippet.arg(fts).arg(1), snippet.arg(fts).arg(2))));
        for (FoundEntry& entry : found) {
            before->bind(1, entry.headword);
            before->bind(2, entry.rowid);
            entry.duplicate = before->step() ? int(before->columnInt64(0)) : 0;
            before->reset();
            if (!snippets)
                continue;
            (*snippets)->bind(1, match);
            (*snippets)->bind(2, entry.rowid);
            if ((*snippets)->step()) {
                const QString inDefinition = (*snippets)->columnText(0);
                const QString inScripture = (*snippets)->columnText(1);
                entry.snippet =
                    oneLine(!inDefinition.contains(kMatchStart) && inScripture.contains(kMatchStart)
                                ? inScripture
                                : inDefinition);
            }
            (*snippets)->reset();
        }
    } catch (const engine::EngineError&) {
        if (isCancelled())
            throw Cancelled();
        throw;
    }
    return found;
}

} // namespace tolvane::find
