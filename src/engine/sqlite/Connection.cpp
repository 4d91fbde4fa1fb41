#include "engine/sqlite/Connection.h"

#include "engine/FullTextFunctions.h"
#include "engine/ListCollation.h"
#include "engine/NoCaseCollation.h"
#include "engine/sqlite/Statement.h"

#include <QFile>
#include <cassert>
#include <cstdio>
#include <sqlite3.h>
#include <utility>

namespace tolvane::engine::sqlite {

namespace {

int flagsFor(OpenMode mode) {
    switch (mode) {
    case OpenMode::ReadWrite:
        return SQLITE_OPEN_READWRITE;
    case OpenMode::ReadOnly:
        return SQLITE_OPEN_READONLY;
    case OpenMode::ReadWriteCreate:
        return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    case OpenMode::Memory:
        return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_MEMORY;
    }
    return SQLITE_OPEN_READWRITE;
}

} // namespace

Connection::Connection(const QString& path, OpenMode mode, const QString& displayName)
    : m_path(path), m_displayName(displayName.isEmpty() ? path : displayName),
      m_owner(std::this_thread::get_id()) {
    const QByteArray file =
        mode == OpenMode::Memory ? QByteArray(":memory:") : QFile::encodeName(path);
    // Extended result codes tell a locked file from a damaged one.
    const int rc =
        sqlite3_open_v2(file.constData(), &m_db, flagsFor(mode) | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        // Take the message before the handle is gone.
        try {
            fail(rc, QStringLiteral("opening"));
        } catch (...) {
            sqlite3_close(m_db);
            m_db = nullptr;
            throw;
        }
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, static_cast<int>(kBusyTimeout.count()));
    int setupRc = registerNoCaseCollation(m_db);
    if (setupRc == SQLITE_OK)
        setupRc = registerListCollation(m_db);
    if (setupRc == SQLITE_OK)
        setupRc = registerFullTextFunctions(m_db); // the full-text index's triggers call it
    if (setupRc != SQLITE_OK) {
        try {
            fail(setupRc, QStringLiteral("setting up the connection"));
        } catch (...) {
            sqlite3_close(m_db);
            m_db = nullptr;
            throw;
        }
    }
}

struct Connection::CachedStatement {
    explicit CachedStatement(Statement&& s) : statement(std::move(s)) {}
    Statement statement;
    bool inUse = false;
};

Connection::~Connection() {
    m_statements.clear(); // finalise before closing, so the file really closes
    if (m_db)
        sqlite3_close_v2(m_db);
}

bool Connection::isReadOnly() const {
    return sqlite3_db_readonly(m_db, "main") == 1;
}

void Connection::exec(const QString& sql) {
    assertOwnerThread();
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    sqlite3_free(message);
    if (rc != SQLITE_OK)
        failStatement(rc, "running", sql);
}

Statement Connection::prepare(const QString& sql) {
    return Statement(*this, sql);
}

StatementLease Connection::reuse(const QString& sql) {
    auto found = m_statements.find(sql);
    if (found == m_statements.end())
        found = m_statements.emplace(sql, std::make_unique<CachedStatement>(Statement(*this, sql)))
                    .first;
    CachedStatement& cached = *found->second;
    if (cached.inUse) {
        auto own = std::make_unique<Statement>(*this, sql);
        Statement* raw = own.get();
        return StatementLease(raw, nullptr, std::move(own));
    }
    cached.inUse = true;
    return StatementLease(&cached.statement, &cached.inUse, nullptr);
}

StatementLease::StatementLease(Statement* statement, bool* inUse, std::unique_ptr<Statement> own)
    : m_statement(statement), m_inUse(inUse), m_own(std::move(own)) {}

StatementLease::StatementLease(StatementLease&& other) noexcept
    : m_statement(other.m_statement), m_inUse(std::exchange(other.m_inUse, nullptr)),
      m_own(std::move(other.m_own)) {
    other.m_statement = nullptr;
}

StatementLease::~StatementLease() {
    if (m_statement && !m_own) {
        m_statement->reset();
        m_statement->clearBindings();
    }
    if (m_inUse)
        *m_inUse = false;
}

qint64 Connection::lastInsertRowid() const {
    return sqlite3_last_insert_rowid(m_db);
}

int Connection::changes() const {
    return sqlite3_changes(m_db);
}

qint64 Connection::dataVersion() {
    StatementLease statement = reuse(QStringLiteral("PRAGMA data_version"));
    return statement->step() ? statement->columnInt64(0) : 0;
}

void Connection::failStatement(int rc, const char* doing, const QString& sql) const {
    constexpr qsizetype kShown = 200;
    const QString shown = sql.size() <= kShown ? sql : sql.left(kShown) + QStringLiteral("...");
    const QString detail =
        m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
    // A lock met without waiting is asked again later: nothing went wrong.
    const bool lockedNoWait = m_noBusyWait > 0 && ((rc & 0xff) == SQLITE_BUSY);
    if (!lockedNoWait)
        std::fprintf(stderr, "tolvane: %s: %s \"%s\": %s\n", qPrintable(m_displayName), doing,
                     qPrintable(shown), qPrintable(detail));
    fail(rc, QLatin1String(doing) + QStringLiteral(" a query"));
}

void Connection::fail(int rc, const QString& what) const {
    const QString detail =
        m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const QString file = m_displayName;
    // A full disk met inside a virtual table (the full-text index making its tables) comes
    // back as a plain error that only says so in its text.
    if (detail.contains(QLatin1String(sqlite3_errstr(SQLITE_FULL))))
        rc = SQLITE_FULL;
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw EngineError(err::FileInUse,
                          QStringLiteral("The database file '%1' is in use by another program: it "
                                         "stayed locked for %2 seconds while %3. Try again later.")
                              .arg(file, QString::number(kBusyTimeout.count() / 1000.0), what));
    case SQLITE_READONLY:
        throw EngineError(err::ReadOnly,
                          QStringLiteral("Cannot update '%1': the database file is read-only (%2).")
                              .arg(file, detail));
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        throw EngineError(err::UnrecognizedFormat,
                          QStringLiteral("Unrecognized database format '%1': the file is not a "
                                         "database or is damaged (%2).")
                              .arg(file, detail));
    case SQLITE_CANTOPEN:
        throw EngineError(
            err::FileNotFound,
            QStringLiteral("Could not open the database file '%1' (%2).").arg(file, detail));
    case SQLITE_PERM:
    case SQLITE_AUTH:
        throw EngineError(
            err::FileInUse,
            QStringLiteral("The database file '%1' may not be used (%2).").arg(file, detail));
    case SQLITE_FULL:
        throw EngineError(err::DiskFull,
                          QStringLiteral("Not enough space on disk for '%1' while %2 (%3).")
                              .arg(file, what, detail));
    case SQLITE_IOERR:
        throw EngineError(err::DiskIo,
                          QStringLiteral("Disk or input/output error on '%1' while %2 (%3).")
                              .arg(file, what, detail));
    default:
        throw EngineError(
            err::DiskIo,
            QStringLiteral("Database error on '%1' while %2: %3").arg(file, what, detail));
    }
}

void Connection::assertOwnerThread() const {
    assert(std::this_thread::get_id() == m_owner && "sqlite connection used off its owner thread");
}

NoBusyWait::NoBusyWait(Connection& connection) : m_connection(connection) {
    if (m_connection.m_noBusyWait++ == 0)
        sqlite3_busy_timeout(m_connection.handle(), 0);
}

NoBusyWait::~NoBusyWait() {
    if (--m_connection.m_noBusyWait == 0)
        sqlite3_busy_timeout(m_connection.handle(),
                             static_cast<int>(Connection::kBusyTimeout.count()));
}

Transaction::Transaction(Connection& connection) : m_connection(connection) {
    m_connection.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction() {
    if (m_open)
        sqlite3_exec(m_connection.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    m_connection.exec(QStringLiteral("COMMIT"));
    m_open = false;
}

} // namespace tolvane::engine::sqlite
