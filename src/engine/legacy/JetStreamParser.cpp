#include "engine/legacy/JetStreamParser.h"

#include "engine/legacy/JetProtocol.h"

#include <QStringDecoder>
#include <cstring>

namespace tolvane::engine::legacy {

namespace js = jetstream;

namespace {

// Jet allows 255 columns per table; anything far beyond that is not a table description.
constexpr quint32 kMaxColumns = 4096;

class Reader {
public:
    explicit Reader(QByteArrayView bytes) : m_data(bytes.data()), m_size(bytes.size()) {}

    qsizetype left() const { return m_size - m_pos; }
    qsizetype position() const { return m_pos; }

    quint32 u32() {
        need(4);
        quint32 v = 0;
        for (int i = 0; i < 4; ++i)
            v |= quint32(static_cast<unsigned char>(m_data[m_pos + i])) << (8 * i);
        m_pos += 4;
        return v;
    }
    unsigned char u8() {
        need(1);
        return static_cast<unsigned char>(m_data[m_pos++]);
    }
    QByteArrayView bytes(qsizetype n) {
        need(n);
        QByteArrayView v(m_data + m_pos, n);
        m_pos += n;
        return v;
    }

    struct Truncated {};

private:
    void need(qsizetype n) const {
        if (n < 0 || left() < n)
            throw Truncated{};
    }
    const char* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
};

[[noreturn]] void malformed(const QString& what) { throw JetStreamError(what); }

QString utf8(QByteArrayView bytes, const char* what) {
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        malformed(QStringLiteral("%1 is not valid UTF-8").arg(QLatin1String(what)));
    return text;
}

class Parser {
public:
    explicit Parser(const QByteArray& bytes) : m_in(QByteArrayView(bytes)) {}

    ParsedJetStream run() {
        try {
            const QByteArrayView magic = m_in.bytes(js::kMagicSize);
            if (std::memcmp(magic.data(), js::kMagic, js::kMagicSize) != 0)
                malformed(QStringLiteral("it does not start with the stream's mark"));
            while (m_in.left() > 0 && !m_finished)
                record();
        } catch (const Reader::Truncated&) {
            return std::move(m_result); // ended early: complete stays false
        }
        if (m_in.left() > 0)
            malformed(QStringLiteral("bytes follow its last record"));
        return std::move(m_result);
    }

private:
    enum class State { ExpectFormat, BetweenTables, InColumns, InRows };

    void record() {
        const unsigned char tag = m_in.u8();
        const quint32 length = m_in.u32();
        Reader payload(m_in.bytes(length));
        switch (tag) {
        case js::Failure:
            m_result.failure = utf8(payload.bytes(payload.left()), "a failure report");
            m_finished = true;
            return;
        case js::Format:
            expect(State::ExpectFormat, "format");
            m_result.database.format = utf8(payload.bytes(payload.left()), "the format name");
            if (m_result.database.format != QLatin1String("JET3") &&
                m_result.database.format != QLatin1String("JET4"))
                malformed(QStringLiteral("it names an unknown format"));
            m_state = State::BetweenTables;
            return;
        case js::Table:
            table(payload);
            return;
        case js::Column:
            column(payload);
            return;
        case js::Row:
            row(payload);
            break;
        case js::TableDone:
            tableDone(payload);
            break;
        case js::End:
            end(payload);
            return;
        default:
            malformed(QStringLiteral("it holds an unknown record at byte %1").arg(m_in.position()));
        }
    }

    void expect(State state, const char* record) const {
        if (m_state != state)
            malformed(QStringLiteral("a %1 record is out of place").arg(QLatin1String(record)));
    }

    void finishPayload(Reader& payload, const char* record) const {
        if (payload.left() != 0)
            malformed(QStringLiteral("a %1 record is longer than its contents").arg(QLatin1String(record)));
    }

    void table(Reader& payload) {
        expect(State::BetweenTables, "table");
        try {
            m_columnCount = payload.u32();
        } catch (const Reader::Truncated&) {
            malformed(QStringLiteral("a table record is too short"));
        }
        if (m_columnCount == 0 || m_columnCount > kMaxColumns)
            malformed(QStringLiteral("a table claims %1 columns").arg(m_columnCount));
        LegacyTable t;
        t.name = utf8(payload.bytes(payload.left()), "a table name");
        if (t.name.isEmpty())
            malformed(QStringLiteral("a table has no name"));
        m_result.database.tables.push_back(std::move(t));
        m_state = State::InColumns;
    }

    void column(Reader& payload) {
        expect(State::InColumns, "column");
        LegacyTable& t = m_result.database.tables.back();
        if (payload.left() < 1)
            malformed(QStringLiteral("a column record is too short"));
        t.columnTypes.push_back(payload.u8());
        const QString name = utf8(payload.bytes(payload.left()), "a column name");
        if (name.isEmpty())
            malformed(QStringLiteral("a column of table '%1' has no name").arg(t.name));
        t.columns.push_back(name);
        if (quint32(t.columns.size()) == m_columnCount)
            m_state = State::InRows;
    }

    void row(Reader& payload) {
        expect(State::InRows, "row");
        LegacyTable& t = m_result.database.tables.back();
        LegacyRow values;
        values.reserve(m_columnCount);
        try {
            for (quint32 i = 0; i < m_columnCount; ++i) {
                const unsigned char present = payload.u8();
                if (present == 0) {
                    values.emplace_back(std::nullopt);
                } else if (present == 1) {
                    const quint32 n = payload.u32();
                    values.emplace_back(utf8(payload.bytes(n), "a value"));
                } else {
                    malformed(QStringLiteral("a row of table '%1' is garbled").arg(t.name));
                }
            }
        } catch (const Reader::Truncated&) {
            malformed(QStringLiteral("a row of table '%1' is shorter than its columns").arg(t.name));
        }
        finishPayload(payload, "row");
        t.rows.push_back(std::move(values));
    }

    void tableDone(Reader& payload) {
        expect(State::InRows, "table end");
        const LegacyTable& t = m_result.database.tables.back();
        quint32 count = 0;
        try {
            count = payload.u32();
        } catch (const Reader::Truncated&) {
            malformed(QStringLiteral("a table end record is too short"));
        }
        finishPayload(payload, "table end");
        if (count != t.rows.size())
            malformed(QStringLiteral("table '%1' announced %2 rows but %3 arrived")
                          .arg(t.name, QString::number(count), QString::number(t.rows.size())));
        m_state = State::BetweenTables;
    }

    void end(Reader& payload) {
        expect(State::BetweenTables, "end");
        quint32 count = 0;
        try {
            count = payload.u32();
        } catch (const Reader::Truncated&) {
            malformed(QStringLiteral("the end record is too short"));
        }
        finishPayload(payload, "end");
        if (count != m_result.database.tables.size())
            malformed(QStringLiteral("it announced %1 tables but %2 arrived")
                          .arg(QString::number(count),
                               QString::number(m_result.database.tables.size())));
        m_result.complete = true;
        m_finished = true;
    }

    Reader m_in;
    ParsedJetStream m_result;
    State m_state = State::ExpectFormat;
    quint32 m_columnCount = 0;
    bool m_finished = false;
};

} // namespace

ParsedJetStream parseJetStream(const QByteArray& bytes) { return Parser(bytes).run(); }

const LegacyTable* LegacyDatabase::table(const QString& name) const {
    for (const LegacyTable& t : tables)
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

} // namespace tolvane::engine::legacy
