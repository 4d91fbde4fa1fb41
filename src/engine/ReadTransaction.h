#pragma once
// A read transaction over a few statements, so that they take the file's shared lock once
// and see one state of the file: taking the lock costs system calls and a look at page 1 and
// the journal every time, which is most of a short read's own time. BEGIN and COMMIT are
// kept prepared. Inside a caller's transaction there is nothing to do.

#include "engine/EngineError.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"

#include <sqlite3.h>

namespace tolvane::engine {

class ReadTransaction {
public:
    explicit ReadTransaction(sqlite::Connection& connection)
        : m_connection(connection), m_own(sqlite3_get_autocommit(connection.handle()) != 0) {
        if (m_own)
            m_connection.reuse(QStringLiteral("BEGIN"))->run();
    }
    ~ReadTransaction() {
        if (!m_own)
            return;
        try { // a read transaction: ending it only drops the lock
            m_connection.reuse(QStringLiteral("COMMIT"))->run();
        } catch (const EngineError&) {
            sqlite3_exec(m_connection.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    sqlite::Connection& m_connection;
    bool m_own;
};

} // namespace tolvane::engine
