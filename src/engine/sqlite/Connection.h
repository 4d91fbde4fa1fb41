#pragma once
// A thin owner of one sqlite3 connection. Every connection the engine opens goes through
// here, so every one gets the same setup: the case-insensitive collation the headword index
// is built on, and a busy timeout so a file locked by another process is waited for briefly
// instead of failing at once.
//
// Threading: a connection belongs to the thread that opened it (in this program the
// user-interface thread). SQLite itself would allow more, but the engine's caches and change
// counters are not synchronised, so no other thread may touch it.
//
// Errors: every failure is thrown as EngineError with a message that names the file (the
// display name given at open) and carries SQLite's own explanation.

#include "engine/EngineError.h"

#include <QHashFunctions>
#include <QString>
#include <chrono>
#include <memory>
#include <thread>
#include <unordered_map>

struct sqlite3;

namespace tolvane::engine::sqlite {

class Statement;
class StatementLease;

enum class OpenMode {
    ReadWrite,       // an existing file, for reading and writing; never creates it
    ReadOnly,        // an existing file, read only
    ReadWriteCreate, // creates the file when missing (tools that build dictionary files)
    Memory,          // a private in-memory database (filled from another source)
};

class Connection {
public:
    // How long a write waits for a lock held by another process before failing with
    // err::FileInUse.
    static constexpr std::chrono::milliseconds kBusyTimeout{3000};

    // Opens `path`. `displayName` is the name used in error messages (defaults to the path).
    Connection(const QString& path, OpenMode mode, const QString& displayName = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const noexcept { return m_db; }
    const QString& path() const noexcept { return m_path; }
    const QString& displayName() const noexcept { return m_displayName; }
    // True when SQLite opened the file read-only (asked to, or the file is not writable).
    bool isReadOnly() const;

    // Runs one or more statements without results.
    void exec(const QString& sql);
    Statement prepare(const QString& sql);
    // A statement prepared once and kept for reuse; handed out reset and unbound. The engine
    // runs the same few statements over and over (one per keystroke), and preparing costs
    // more than running them on a small result.
    StatementLease reuse(const QString& sql);

    qint64 lastInsertRowid() const;
    int changes() const;
    // Changes whenever another connection (in this or another process) commits to the file.
    qint64 dataVersion();

    // Throws the EngineError that fits SQLite result code `rc`; `what` says what was being
    // done ("reading table 'data1'"). Used by Statement too.
    [[noreturn]] void fail(int rc, const QString& what) const;
    // The same for a statement that failed: the message says "`doing` a query", and the
    // statement itself goes only to the program's error output (stderr), cut to a few hundred
    // characters. SQL means nothing to the reader of a message, and a statement built from a
    // wide header can run to megabytes.
    [[noreturn]] void failStatement(int rc, const char* doing, const QString& sql) const;

    // Debug check that the caller is on the owner thread.
    void assertOwnerThread() const;

private:
    friend class StatementLease;
    friend class NoBusyWait;
    struct CachedStatement;

    int m_noBusyWait = 0; // NoBusyWait scopes open on this connection

    sqlite3* m_db = nullptr;
    std::unordered_map<QString, std::unique_ptr<CachedStatement>> m_statements;
    QString m_path;
    QString m_displayName;
    std::thread::id m_owner;
};

// A statement borrowed from Connection::reuse. Should the same statement be borrowed twice
// at once, the second borrower gets a fresh one of its own.
class StatementLease {
public:
    StatementLease(StatementLease&& other) noexcept;
    StatementLease(const StatementLease&) = delete;
    StatementLease& operator=(const StatementLease&) = delete;
    StatementLease& operator=(StatementLease&&) = delete;
    ~StatementLease();
    Statement& operator*() const noexcept { return *m_statement; }
    Statement* operator->() const noexcept { return m_statement; }

private:
    friend class Connection;
    StatementLease(Statement* statement, bool* inUse, std::unique_ptr<Statement> own);
    Statement* m_statement;
    bool* m_inUse;
    std::unique_ptr<Statement> m_own;
};

// For as long as it lives, a lock held by another connection fails at once (err::FileInUse)
// instead of being waited for: for the user-interface thread, which tries again later from its
// event loop rather than stand still while another thread or program writes the file.
class NoBusyWait {
public:
    explicit NoBusyWait(Connection& connection);
    ~NoBusyWait();
    NoBusyWait(const NoBusyWait&) = delete;
    NoBusyWait& operator=(const NoBusyWait&) = delete;

private:
    Connection& m_connection;
};

// One transaction. BEGIN IMMEDIATE takes the write lock up front, so a file locked by
// another process fails at the start (after the busy timeout) rather than half way.
// Destroyed without commit() it rolls back.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& m_connection;
    bool m_open = true;
};

} // namespace tolvane::engine::sqlite
