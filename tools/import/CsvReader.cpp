#include "import/CsvReader.h"

#include <QIODevice>

namespace tolvane::import {

namespace {
constexpr qint64 ChunkSize = 64 * 1024;

QString describeByte(char c) {
    return QStringLiteral("0x%1").arg(static_cast<unsigned char>(c), 2, 16, QLatin1Char('0'));
}
} // namespace

qsizetype firstInvalidUtf8(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        unsigned min = 0;
        unsigned cp = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2, min = 0x80, cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3, min = 0x800, cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4, min = 0x10000, cp = b & 0x07;
        } else {
            return i;
        }
        if (i + length > n)
            return i;
        for (int k = 1; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return i;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return i;
        i += length;
    }
    return -1;
}

CsvReader::CsvReader(QIODevice& input) : m_input(input) {}

qint64 CsvReader::readMore(qsizetype at) {
    const qint64 got = m_input.read(m_buffer.data() + at, ChunkSize);
    // A failed read must not pass for the end of the file: the import would report a
    // truncated dictionary as complete.
    if (got < 0)
        throw CsvError(m_line,
                       QStringLiteral("reading the file failed: %1").arg(m_input.errorString()));
    return got;
}

bool CsvReader::fetch(char& c) {
    if (m_pos >= m_buffer.size()) {
        m_buffer.resize(ChunkSize);
        qsizetype filled = readMore(0);
        if (!m_started) {
            // A pipe or any other short-reading device may hand over the byte order mark in
            // pieces: read on while what came so far could still be the start of one.
            static const QByteArray bom("\xEF\xBB\xBF");
            while (filled > 0 && filled < bom.size() &&
                   bom.startsWith(QByteArrayView(m_buffer.constData(), filled))) {
                m_buffer.resize(filled + ChunkSize);
                const qint64 got = readMore(filled);
                if (got == 0)
                    break;
                filled += got;
            }
        }
        m_buffer.resize(filled);
        m_pos = 0;
        if (m_buffer.isEmpty())
            return false;
        if (!m_started) {
            m_started = true;
            if (m_buffer.startsWith("\xEF\xBB\xBF")) {
                m_pos = 3;
                m_consumed += 3;
                if (m_pos >= m_buffer.size())
                    return fetch(c);
            }
        }
    }
    c = m_buffer.at(m_pos++);
    ++m_consumed;
    return true;
}

void CsvReader::checkField(const QByteArray& field, int firstLine) const {
    const qsizetype bad = firstInvalidUtf8(field);
    const qsizetype nul = field.indexOf('\0');
    if (bad < 0 && nul < 0)
        return;
    const bool isNul = nul >= 0 && (bad < 0 || nul < bad);
    const qsizetype at = isNul ? nul : bad;
    const int line = firstLine + static_cast<int>(field.left(at).count('\n'));
    if (isNul)
        throw CsvError(line, QStringLiteral("NUL byte in a field"));
    throw CsvError(line, QStringLiteral("not UTF-8 text (byte %1); save the file as UTF-8")
                             .arg(describeByte(field.at(at))));
}

bool CsvReader::next(CsvRecord& record) {
    enum class State { FieldStart, Unquoted, Quoted, AfterQuote };
    record.fields.clear();
    record.line = m_line;

    State state = State::FieldStart;
    QByteArray field;
    int fieldLine = m_line;
    int quoteLine = m_line;
    bool any = false;

    auto endField = [&] {
        checkField(field, fieldLine);
        record.fields.push_back(field);
        field.clear();
        fieldLine = m_line;
    };
    auto expectLineFeed = [&] {
        char lf = 0;
        if (!fetch(lf) || lf != '\n')
            throw CsvError(m_line, QStringLiteral("carriage return not followed by a line feed "
                                                  "outside quotes"));
        ++m_line;
    };

    char c = 0;
    while (fetch(c)) {
        any = true;
        switch (state) {
        case State::FieldStart:
        case State::Unquoted:
        case State::AfterQuote:
            if (c == ',') {
                endField();
                state = State::FieldStart;
            } else if (c == '\n' || c == '\r') {
                endField();
                if (c == '\r')
                    expectLineFeed();
                else
                    ++m_line;
                return true;
            } else if (state == State::AfterQuote) {
                throw CsvError(m_line, QStringLiteral("unexpected character '%1' after a closing "
                                                      "quote (a quote inside a quoted field is "
                                                      "written twice)")
                                           .arg(QString::fromLatin1(&c, 1)));
            } else if (c == '"') {
                if (state == State::Unquoted)
                    throw CsvError(m_line,
                                   QStringLiteral("double quote inside an unquoted field "
                                                  "(quote the field and double the quote)"));
                state = State::Quoted;
                quoteLine = m_line;
            } else {
                field.append(c);
                state = State::Unquoted;
            }
            break;
        case State::Quoted:
            if (c == '"') {
                state = State::AfterQuote;
            } else {
                if (c == '\n')
                    ++m_line;
                field.append(c);
            }
            break;
        }
        // A doubled quote: the closing quote is immediately followed by another one.
        if (state == State::AfterQuote) {
            char following = 0;
            if (!fetch(following))
                break;
            if (following == '"') {
                field.append('"');
                state = State::Quoted;
            } else {
                // Hand the byte back to the loop.
                --m_pos;
                --m_consumed;
            }
        }
    }

    if (state == State::Quoted)
        throw CsvError(quoteLine, QStringLiteral("quoted field is never closed"));
    if (!any)
        return false;
    endField();
    return true;
}

} // namespace tolvane::import
