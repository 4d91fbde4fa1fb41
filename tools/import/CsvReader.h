#pragma once
// A strict reader of comma-separated text as RFC 4180 defines it, streaming from a device.
// Records end in CRLF (a bare LF is taken too); a field that holds a comma, a double quote
// or a line break is quoted and its quotes are doubled. Everything else is refused with the
// line it was found on, because a dictionary import must not guess at broken input:
//   - a quoted field that is never closed (reported at the line where it opened),
//   - a character between a closing quote and the next comma or line end,
//   - a double quote inside an unquoted field,
//   - a carriage return outside quotes that is not followed by a line feed,
//   - bytes that are not UTF-8, and NUL bytes.
// A UTF-8 byte order mark at the very start is skipped. Field values are returned as the
// exact bytes between the delimiters (quotes removed, doubled quotes made single).

#include <QByteArray>
#include <QString>
#include <stdexcept>
#include <vector>

QT_BEGIN_NAMESPACE
class QIODevice;
QT_END_NAMESPACE

namespace tolvane::import {

class CsvError : public std::runtime_error {
public:
    CsvError(int line, const QString& message)
        : std::runtime_error(message.toStdString()), m_line(line), m_message(message) {}
    int line() const noexcept { return m_line; }
    const QString& message() const noexcept { return m_message; }

private:
    int m_line;
    QString m_message;
};

struct CsvRecord {
    int line = 0;                   // the line the record starts on (1-based)
    std::vector<QByteArray> fields; // UTF-8 bytes of each field
};

class CsvReader {
public:
    explicit CsvReader(QIODevice& input);

    // Reads the next record into `record`; false at the end of the input. Throws CsvError.
    bool next(CsvRecord& record);

    // Bytes consumed from the device so far, for progress reports.
    qint64 bytesRead() const { return m_consumed; }

private:
    bool fetch(char& c);
    qint64 readMore(qsizetype at); // into m_buffer at `at`; throws on a failed read
    void checkField(const QByteArray& field, int firstLine) const;

    QIODevice& m_input;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qint64 m_consumed = 0;
    int m_line = 1;
    bool m_started = false;
};

// Offset of the first byte that breaks UTF-8 (overlong forms, surrogates and code points
// past U+10FFFF included), or -1 when the bytes are valid.
qsizetype firstInvalidUtf8(const QByteArray& bytes);

} // namespace tolvane::import
