#include "find/DictionaryIndex.h"

#include "data/DataOperations.h"
#include "data/FileProblems.h"
#include "data/FullTextSource.h"
#include "engine/EngineError.h"
#include "engine/FileSniffer.h"
#include "engine/FullTextResults.h"
#include "engine/ListIndexBuild.h"
#include "engine/NoCaseCollation.h"
#include "engine/OpenDatabase.h"
#include "engine/Schema.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "find/MemoryCopy.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unordered_map>
#include <utility>

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
           e.number() == engine::err::FileInUse || e.number() == engine::err::DiskIo ||
           e.number() == engine::err::DiskFull;
}

bool isBetter(const FoundEntry& a, const FoundEntry& b) {
    return a.score != b.score ? a.score < b.score : a.rowid < b.rowid;
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
        // Nothing is written into a file that does not hold the dictionary's table.
        data::requireDictionaryTable(*m_connection, m_config);
        if (m_connection->isReadOnly())
            openCopy();
    } else {
        engine::openDatabaseFile(m_path); // throws the error that says what is wrong
    }
    setUpSearching(*m_connection);
    if (!m_inMemory)
        m_fileId = fileIdentity(m_path, false);
}

DictionaryIndex::~DictionaryIndex() = default;

bool DictionaryIndex::stillCurrent() const {
    return fileIdentity(m_path, m_inMemory) == m_fileId;
}

// SQLite asks every few hundred steps of a statement whether to go on; results are ranked
// and cut into snippets by the index's own cheap functions.
void DictionaryIndex::setUpSearching(sqlite::Connection& connection) {
    sqlite3_progress_handler(connection.handle(), 500, interruptWhenAsked, &m_cancelled);
    if (const int rc = engine::registerFullTextResultFunctions(connection.handle());
        rc != SQLITE_OK)
        throw engine::EngineError(engine::err::InvalidOperation,
                                  QStringLiteral("The full-text search of %1 cannot be set up "
                                                 "(SQLite error %2).")
                                      .arg(QDir::toNativeSeparators(m_path), QString::number(rc)));
}

// A private copy of the dictionary's table in memory, with the same row ids, indexed there.
void DictionaryIndex::openCopy() {
    // A copy goes stale when the file changes from now on, even in place.
    const quint64 copiedFile = fileIdentity(m_path, true);
    m_connection = copyIntoMemory(m_config, m_path);
    setUpSearching(*m_connection);
    m_inMemory = true;
    m_fileId = copiedFile;
}

bool DictionaryIndex::isPrepared() {
    if (!m_prepared)
        m_prepared =
            engine::fullTextState(*m_connection, m_source) == engine::FullTextState::Complete;
    return m_prepared;
}

void DictionaryIndex::prepare(const std::function<void(int percent)>& progress) {
    auto fill = [&] {
        engine::fillFullTextIndex(*m_connection, m_source, !m_inMemory,
                                  [&](const engine::FullTextProgress& p) {
                                      if (progress)
                                          progress(p.percent());
                                      return !isCancelled();
                                  });
    };
    try {
        if (isPrepared())
            return;
        bool madeHere = false; // the index was not in the file before this call
        while (!m_inMemory) {
            try {
                if (engine::fullTextState(*m_connection, m_source) ==
                    engine::FullTextState::Missing) {
                    sqlite::Transaction transaction(*m_connection);
                    engine::createFullTextIndex(*m_connection, m_source);
                    transaction.commit();
                    madeHere = true;
                }
                fill();
                break;
            } catch (const engine::EngineError& e) {
                if (isCancelled() || !meansNotWritable(e))
                    throw;
                // The word list of an older file being made (it holds the write lock for a
                // while, and lets go by itself): the index is made in the file after it.
                if (e.number() == engine::err::FileInUse && waitForListBuild())
                    continue;
                if (isCancelled())
                    throw Cancelled();
                // A file that may not be changed, or has no room to grow, is indexed in
                // memory. A write that failed is undone first, and an index begun here taken
                // out again: the file is left as it was, and the copy can read it.
                if (e.number() == engine::err::DiskFull || e.number() == engine::err::DiskIo)
                    engine::restoreAfterFailedFill(*m_connection, m_source, madeHere);
                if (e.number() == engine::err::DiskFull)
                    m_note = data::diskFullSearchNote(m_config, m_path);
                m_connection.reset(); // the file is let go before it is copied
                openCopy();
            }
        }
        if (m_inMemory) {
            sqlite::Transaction transaction(*m_connection);
            engine::createFullTextIndex(*m_connection, m_source);
            transaction.commit();
            fill();
        }
        if (isCancelled())
            throw Cancelled();
    } catch (const engine::EngineError&) {
        if (isCancelled())
            throw Cancelled();
        throw;
    }
}

// True once no list build of this program holds the file any more; false when there was none,
// or the search was cancelled meanwhile.
bool DictionaryIndex::waitForListBuild() {
    if (!engine::listBuildHoldsWriteLock(m_path))
        return false;
    while (engine::listBuildHoldsWriteLock(m_path))
        if (isCancelled())
            return false;
        else
            QThread::msleep(20);
    return true;
}

QString DictionaryIndex::takeNote() {
    return std::exchange(m_note, QString());
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

DictionaryIndex::HeldReading::HeldReading(DictionaryIndex& index)
    : m_reading(std::make_unique<Reading>(*index.m_connection)) {}

DictionaryIndex::HeldReading::~HeldReading() = default;

FirstPage DictionaryIndex::firstPage(const QString& match, int shown, int listed, int rankAtOnce) {
    FirstPage page;
    if (shown <= 0)
        return page;
    const QString fts = quoteIdentifier(engine::fullTextTableName(m_config.table));
    try {
        Reading reading(*m_connection);
        // Every match with its rank, as far as one past rankAtOnce: a word in more entries is
        // neither counted nor ranked yet.
        std::vector<FoundEntry>& found = page.entries;
        sqlite::StatementLease matches =
            m_connection->reuse(QStringLiteral("SELECT rowid, %2(%1) FROM %1 WHERE %1 MATCH ?1")
                                    .arg(fts, QLatin1String(engine::kFullTextRankFunction)));
        matches->bind(1, match);
        while (found.size() <= size_t(rankAtOnce) && matches->step()) {
            FoundEntry& entry = found.emplace_back();
            entry.dictionary = &m_config;
            entry.rowid = matches->columnInt64(0);
            entry.score = sqlite3_column_double(matches->handle(), 1);
        }
        if (found.size() > size_t(rankAtOnce)) {
            found.resize(size_t(shown)); // the first in row order, unranked
            for (FoundEntry& entry : found)
                entry.score = 0;
            return page;
        }
        page.count = int(found.size());
        const auto kept = found.begin() + std::min(found.size(), size_t(std::max(shown, listed)));
        std::partial_sort(found.begin(), kept, found.end(), isBetter);
        found.erase(kept, found.end());
    } catch (const engine::EngineError&) {
        if (isCancelled())
            throw Cancelled();
        throw;
    }
    return page;
}

void DictionaryIndex::describe(std::span<FoundEntry> found, const QString& match) {
    try {
        Reading reading(*m_connection);
        fillIn(found, match, true);
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
        Reading reading(*m_connection);
        // The best entries first: a matched word in the headword counts for more than one in
        // the text. Sorting needs only the rank; what a row shows is read for the rows kept.
        sqlite::StatementLease best = m_connection->reuse(
            ranked ? QStringLiteral("SELECT rowid, %2(%1) AS score FROM %1 WHERE %1 MATCH ?1 "
                                    "ORDER BY score, rowid LIMIT ?2 OFFSET ?3")
                         .arg(fts, QLatin1String(engine::kFullTextRankFunction))
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
// when only it holds them). One query for all the rows not described yet, going through the
// matches between the first and the last of them: each query of the index costs more than
// a snippet.
void DictionaryIndex::fillIn(std::span<FoundEntry> found, const QString& match, bool withSnippets) {
    std::unordered_map<qint64, FoundEntry*> byRowid;
    qint64 first = 0, last = 0;
    QString wanted = QStringLiteral("[");
    for (FoundEntry& entry : found) {
        if (entry.described)
            continue;
        first = byRowid.empty() ? entry.rowid : std::min(first, entry.rowid);
        last = byRowid.empty() ? entry.rowid : std::max(last, entry.rowid);
        byRowid.emplace(entry.rowid, &entry);
        wanted += QString::number(entry.rowid) + QLatin1Char(',');
    }
    if (byRowid.empty())
        return;
    wanted.back() = QLatin1Char(']');
    const QString fts = quoteIdentifier(engine::fullTextTableName(m_config.table));
    // The index holds the same headword as the table.
    auto duplicate = [&](const QString& row, const QString& headword) {
        return QStringLiteral("(SELECT count(*) FROM %1 AS earlier WHERE earlier.%2 COLLATE %3 = "
                              "%4.%5 AND earlier.%2 = %4.%5 AND earlier.rowid < %4.rowid)")
            .arg(quoteIdentifier(m_config.table), quoteIdentifier(m_config.headwordColumn),
                 QLatin1String(engine::kNoCaseCollation), row, headword);
    };
    // With snippets, the rows wanted are a filter on the matches in their range (the plus
    // keeps SQLite from querying the index once for each); without, they are looked up.
    sqlite::StatementLease rows = m_connection->reuse(
        withSnippets
            ? QStringLiteral("SELECT rowid, headword, %2, %3(%1, char(2), char(3), '…', 16) FROM "
                             "%1 WHERE %1 MATCH ?1 AND rowid BETWEEN ?2 AND ?3 AND +rowid IN "
                             "(SELECT value FROM json_each(?4))")
                  .arg(fts, duplicate(fts, QStringLiteral("headword")),
                       QLatin1String(engine::kFullTextSnippetFunction))
            : QStringLiteral("SELECT rowid, %2, %3 FROM %1 WHERE rowid IN (SELECT value FROM "
                             "json_each(?4)) AND ?2 <= ?3")
                  .arg(quoteIdentifier(m_config.table), quoteIdentifier(m_config.headwordColumn),
                       duplicate(quoteIdentifier(m_config.table),
                                 quoteIdentifier(m_config.headwordColumn))));
    if (withSnippets)
        rows->bind(1, match);
    rows->bind(2, first);
    rows->bind(3, last);
    rows->bind(4, wanted);
    while (rows->step()) {
        const auto it = byRowid.find(rows->columnInt64(0));
        if (it == byRowid.end())
            continue;
        FoundEntry& entry = *it->second;
        entry.headword = rows->columnText(1);
        entry.duplicate = int(rows->columnInt64(2));
        if (withSnippets) {
            entry.snippet = oneLine(rows->columnText(3));
            entry.described = true;
        }
    }
}

} // namespace tolvane::find
