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

#include <QString>
#include <chrono>
#include <thread>

struct sqlite3;

namespace tolvane::engine::sqlite {

class Statement;

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

    qint64 lastInsertRowid() const;
    int changes() const;
    // Changes whenever another connection (in this or another process) commits to the file.
    qint64 dataVersion();

    // Throws the EngineError that fits SQLite result code `rc`; `what` says what was being
    // done ("reading table 'data1'"). Used by Statement too.
    [[noreturn]] void fail(int rc, const QString& what) const;

    // Debug check that the caller is on the owner thread.
    void assertOwnerThread() const;

private:
    sqlite3* m_db = nullptr;
    QString m_path;
    QString m_displayName;
    std::thread::id m_owner;
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
