#pragma once
// A prepared statement: bind parameters (1-based), step through rows, read columns
// (0-based). Move-only; finalised when destroyed. Failures throw EngineError naming the
// connection's file.

#include <QByteArrayView>
#include <QString>
#include <QVariant>

struct sqlite3_stmt;

namespace tolvane::engine::sqlite {

class Connection;

class Statement {
public:
    Statement(Connection& connection, const QString& sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QString& text); // a null QString binds NULL
    void bindUtf8(int index, QByteArrayView utf8);
    void bind(int index, qint64 value);
    void bindNull(int index);
    void bind(int index, const QVariant& value); // null or text

    // Runs to the next row: true when a row is available, false when done.
    bool step();
    // Steps a statement that returns no rows.
    void run();
    void reset();
    void clearBindings();

    int columnCount() const;
    QString columnName(int column) const;
    bool isNull(int column) const;
    qint64 columnInt64(int column) const;
    QString columnText(int column) const;   // a null QString for NULL
    QVariant columnValue(int column) const; // null QVariant for NULL, else QString
    // The column's UTF-8 bytes, valid until the next step/reset. Empty view for NULL.
    QByteArrayView columnUtf8(int column) const;

    sqlite3_stmt* handle() const noexcept { return m_stmt; }

private:
    Connection* m_connection;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_sql;
};

} // namespace tolvane::engine::sqlite
