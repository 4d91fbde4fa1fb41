#include "engine/sqlite/Statement.h"

#include "engine/sqlite/Connection.h"

#include <sqlite3.h>
#include <utility>

namespace tolvane::engine::sqlite {

Statement::Statement(Connection& connection, const QString& sql)
    : m_connection(&connection), m_sql(sql) {
    connection.assertOwnerThread();
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(connection.handle(), utf8.constData(),
                                      static_cast<int>(utf8.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        connection.failStatement(rc, "preparing", sql);
    }
}

Statement::~Statement() {
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement&& other) noexcept
    : m_connection(other.m_connection), m_stmt(std::exchange(other.m_stmt, nullptr)),
      m_sql(std::move(other.m_sql)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        if (m_stmt)
            sqlite3_finalize(m_stmt);
        m_connection = other.m_connection;
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_sql = std::move(other.m_sql);
    }
    return *this;
}

void Statement::bind(int index, const QString& text) {
    if (text.isNull()) {
        bindNull(index);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    bindUtf8(index, utf8);
}

void Statement::bindUtf8(int index, QByteArrayView utf8) {
    // SQLITE_TRANSIENT: SQLite copies the bytes, so temporaries are safe.
    const int rc = sqlite3_bind_text(m_stmt, index, utf8.data() ? utf8.data() : "",
                                     static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        m_connection->fail(rc, QStringLiteral("binding a value"));
}

void Statement::bind(int index, qint64 value) {
    const int rc = sqlite3_bind_int64(m_stmt, index, value);
    if (rc != SQLITE_OK)
        m_connection->fail(rc, QStringLiteral("binding a value"));
}

void Statement::bindNull(int index) {
    const int rc = sqlite3_bind_null(m_stmt, index);
    if (rc != SQLITE_OK)
        m_connection->fail(rc, QStringLiteral("binding a value"));
}

void Statement::bind(int index, const QVariant& value) {
    if (value.isNull())
        bindNull(index);
    else
        bind(index, value.toString());
}

bool Statement::step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(m_stmt);
    m_connection->failStatement(rc, "running", m_sql);
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(m_stmt);
}

void Statement::clearBindings() {
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const {
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 Statement::columnInt64(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

QByteArrayView Statement::columnUtf8(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    if (!text)
        return {};
    return QByteArrayView(text, sqlite3_column_bytes(m_stmt, column));
}

QString Statement::columnText(int column) const {
    if (isNull(column))
        return {};
    const QByteArrayView utf8 = columnUtf8(column);
    QString text = QString::fromUtf8(utf8);
    if (text.isNull())
        text = QStringLiteral(""); // an empty text is not a missing value
    return text;
}

QVariant Statement::columnValue(int column) const {
    if (isNull(column))
        return {};
    return QVariant(columnText(column));
}

} // namespace tolvane::engine::sqlite
