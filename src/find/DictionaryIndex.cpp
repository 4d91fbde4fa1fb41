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

// One read transaction around a burst of statements: the file is locked and checked once
// for all of them, not once for each (which costs more than a small statement itself).
class DictionaryIndex::Reading {
public:
    explicit Reading(sqlite::Connection& connection)
        : m_connection(connection), m_began(sqlite3_get_autocommit(connection.handle()) != 0) {
        if (m_began)
            m_connection.exec(QStringLiteral("BEGIN"));
    }
    ~Reading() {
        if (!m_began || sqlite3_get_autocommit(m_connection.handle()))
            return; // an interrupted statement may have ended it already
        // Nothing was written: a read that cannot commit only ends.
        if (sqlite3_exec(m_connection.handle(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            sqlite3_exec(m_connection.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;

private:
    sqlite::Connection& m_connection;
    bool m_began;
};

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

FirstPage DictionaryIndex::firstPage(const QString& match, int limit, int rankAtOnce) {
    FirstPage page;
    try {
        Reading reading(*m_connection);
        // Counting stops one past rankAtOnce: beyond that, the count waits for count().
        sqlite::StatementLease some = m_connection->reuse(
            QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM %1 WHERE %1 MATCH ?1 LIMIT ?2)")
                .arg(quoteIdentifier(engine::fullTextTableName(m_config.table))));
        some->bind(1, match);
        some->bind(2, qint64(rankAtOnce) + 1);
        const int found = some->step() ? int(some->columnInt64(0)) : 0;
        if (found <= rankAtOnce)
            page.count = found;
        if (found > 0)
            page.entries = search(match, 0, std::min(limit, found), true, found <= rankAtOnce);
    } catch (const engine::EngineError&) {
        if (isCancelled())
            throw Cancelled();
        throw;
    }
    return page;
}

std::vector<FoundEntry> DictionaryIndex::search(const QString& match, int offset, int limit,
                                                bool withSnippets, bool ranked) {
    std::vector<FoundEntry> found;
    if (limit <= 0)
        return found;
    const QString fts = quoteIdentifier(engine::fullTextTableName(m_config.table));
    try {
        Reading reading(*m_connection);
        // The best entries first: a matched word in the headword counts for more than one in
        // the text. Sorting needs only the rank; what a row shows is read for the rows kept.
        sqlite::StatementLease best = m_connection->reuse(
            ranked ? QStringLiteral("SELECT rowid, bm25(%1, 10.0, 1.0, 1.0) AS score FROM %1 "
                                    "WHERE %1 MATCH ?1 ORDER BY score, rowid LIMIT ?2 OFFSET ?3")
                         .arg(fts)
                   : QStringLiteral("SELECT rowid, 0 FROM %1 WHERE %1 MATCH ?1 ORDER BY rowid "
                                    "LIMIT ?2 OFFSET ?3")
                         .arg(fts));
        best->bind(1, match);
        best->bind(2, qint64(limit));
        best->bind(3, qint64(offset));
        while (best->step()) {
            FoundEntry entry;
            entry.dictionary = &m_config;
            entry.rowid = best->columnInt64(0);
            entry.score = sqlite3_column_double(best->handle(), 1);
            found.push_back(std::move(entry));
        }
        fillIn(found, match, withSnippets);
    } catch (const engine::EngineError&) {
        if (isCancelled())
            throw Cancelled();
        throw;
    }
    return found;
}

// What each row shows: its headword, which of the rows holding exactly that headword it is
// (in row order), and a line of the definition around the matched words (of the scripture
// when only it holds them). Made row by row for the rows kept: a snippet costs more than
// finding and ranking the row.
void DictionaryIndex::fillIn(std::vector<FoundEntry>& found, const QString& match,
                             bool withSnippets) {
    const QString fts = quoteIdentifier(engine::fullTextTableName(m_config.table));
    const QString duplicate =
        QStringLiteral("(SELECT count(*) FROM %1 WHERE %2 COLLATE %3 = %4.headword AND %2 = "
                       "%4.headword AND %1.rowid < %4.rowid)")
            .arg(quoteIdentifier(m_config.table), quoteIdentifier(m_config.headwordColumn),
                 QLatin1String(engine::kNoCaseCollation), fts);
    const QString snippet = QStringLiteral("snippet(%1, %2, char(2), char(3), '…', 16)");
    sqlite::StatementLease row = m_connection->reuse(
        withSnippets
            ? QStringLiteral("SELECT headword, %2, %3, %4 FROM %1 WHERE %1 MATCH ?1 AND "
                             "rowid = ?2")
                  .arg(fts, duplicate, snippet.arg(fts).arg(1), snippet.arg(fts).arg(2))
            : QStringLiteral("SELECT headword, %2 FROM %1 WHERE rowid = ?2").arg(fts, duplicate));
    for (FoundEntry& entry : found) {
        if (withSnippets)
            row->bind(1, match);
        row->bind(2, entry.rowid);
        if (row->step()) {
            entry.headword = row->columnText(0);
            entry.duplicate = int(row->columnInt64(1));
            if (withSnippets) {
                const QString inDefinition = row->columnText(2);
                const QString inScripture = row->columnText(3);
                entry.snippet =
                    oneLine(!inDefinition.contains(kMatchStart) && inScripture.contains(kMatchStart)
                                ? inScripture
                                : inDefinition);
            }
        }
        row->reset();
    }
}

} // namespace tolvane::find
