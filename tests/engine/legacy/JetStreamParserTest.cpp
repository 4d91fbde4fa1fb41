// The reading side of the helper's stream: what it accepts, and that it refuses every kind
// of damage instead of guessing.

#include "engine/legacy/JetProtocol.h"
#include "engine/legacy/JetStreamParser.h"
#include "support/TestSupport.h"

using namespace tolvane::engine::legacy;
namespace js = tolvane::engine::jetstream;

namespace {

class Stream {
public:
    Stream() { m_bytes.append(js::kMagic, js::kMagicSize); }

    Stream& record(char tag, const QByteArray& payload) {
        m_bytes.append(tag);
        m_bytes.append(u32(quint32(payload.size())));
        m_bytes.append(payload);
        return *this;
    }
    Stream& format(const char* name = "JET4") { return record(js::Format, name); }
    Stream& table(const char* name, quint32 columns) { return record(js::Table, u32(columns) + name); }
    Stream& column(const char* name, char type = js::kTypeText) {
        return record(js::Column, QByteArray(1, type) + name);
    }
    Stream& row(const std::vector<std::optional<QByteArray>>& values) {
        QByteArray payload;
        for (const auto& v : values) {
            if (!v) {
                payload.append('\0');
            } else {
                payload.append('\1');
                payload.append(u32(quint32(v->size())));
                payload.append(*v);
            }
        }
        return record(js::Row, payload);
    }
    Stream& done(quint32 rows) { return record(js::TableDone, u32(rows)); }
    Stream& end(quint32 tables) { return record(js::End, u32(tables)); }
    Stream& raw(const QByteArray& bytes) {
        m_bytes.append(bytes);
        return *this;
    }

    const QByteArray& bytes() const { return m_bytes; }

    static QByteArray u32(quint32 v) {
        QByteArray b;
        for (int i = 0; i < 4; ++i)
            b.append(char((v >> (8 * i)) & 0xff));
        return b;
    }

private:
    QByteArray m_bytes;
};

Stream oneTable() {
    Stream s;
    s.format().table("dbwords", 2).column("dbword").column("dbdesc", js::kTypeMemo);
    s.row({QByteArray("AARON"), QByteArray("Brother of Moses,\r\nson of Amram")});
    s.row({QByteArray("\xc3\x89LOI"), std::nullopt});
    return s.done(2);
}

TEST(JetStream, ACompleteStreamGivesTablesColumnsAndRowsWithNulls) {
    const ParsedJetStream parsed = parseJetStream(oneTable().end(1).bytes());
    EXPECT_TRUE(parsed.complete);
    EXPECT_FALSE(parsed.failure);
    EXPECT_EQ(parsed.database.format, "JET4");
    ASSERT_EQ(parsed.database.tables.size(), 1u);
    const LegacyTable& t = parsed.database.tables[0];
    EXPECT_EQ(t.name, "dbwords");
    EXPECT_EQ(t.columns, (QStringList{"dbword", "dbdesc"}));
    EXPECT_EQ(t.columnTypes, (std::vector<int>{js::kTypeText, js::kTypeMemo}));
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0][1], QStringLiteral("Brother of Moses,\r\nson of Amram"));
    EXPECT_EQ(t.rows[1][0], QString::fromUtf8("ÉLOI"));
    EXPECT_EQ(t.rows[1][1], std::nullopt);
    EXPECT_EQ(parsed.database.table(QStringLiteral("DBWORDS")), &t);
}

TEST(JetStream, AStreamThatStopsAnywhereIsIncompleteNotAShorterTable) {
    const QByteArray whole = oneTable().end(1).bytes();
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        const ParsedJetStream parsed = parseJetStream(whole.left(cut));
        EXPECT_FALSE(parsed.complete) << "cut at " << cut;
        EXPECT_FALSE(parsed.failure) << "cut at " << cut;
    }
}

TEST(JetStream, TheHelpersOwnFailureReportIsReturned) {
    Stream s;
    s.format().table("data1", 1).record(js::Failure, "table 'data1' is damaged");
    const ParsedJetStream parsed = parseJetStream(s.bytes());
    EXPECT_FALSE(parsed.complete);
    EXPECT_EQ(parsed.failure, QStringLiteral("table 'data1' is damaged"));
}

struct Damage {
    const char* what;
    QByteArray bytes;
};

std::vector<Damage> damages() {
    std::vector<Damage> d;
    QByteArray wrongMark = oneTable().end(1).bytes();
    wrongMark[0] = 'X';
    d.push_back({"wrong opening mark", wrongMark});
    d.push_back({"text before the format", Stream().table("t", 1).bytes()});
    d.push_back({"unknown format", Stream().format("JET9").bytes()});
    d.push_back({"unknown record", Stream().format().record('Q', "").bytes()});
    d.push_back({"row before its columns", Stream().format().table("t", 2).column("a").row({QByteArray("x")}).bytes()});
    d.push_back({"too few fields", Stream().format().table("t", 2).column("a").column("b").row({QByteArray("x")}).bytes()});
    d.push_back({"too many fields", Stream().format().table("t", 1).column("a").row({QByteArray("x"), QByteArray("y")}).bytes()});
    d.push_back({"field longer than its row", Stream().format().table("t", 1).column("a").record(js::Row, QByteArray("\1\xff\0\0\0ab", 7)).bytes()});
    d.push_back({"bad presence flag", Stream().format().table("t", 1).column("a").record(js::Row, QByteArray("\2", 1)).bytes()});
    d.push_back({"invalid UTF-8 in a value", Stream().format().table("t", 1).column("a").row({QByteArray("\xc3(")}).bytes()});
    d.push_back({"invalid UTF-8 in a name", Stream().format().table("\xff", 1).bytes()});
    d.push_back({"zero columns", Stream().format().table("t", 0).bytes()});
    d.push_back({"absurd column count", Stream().format().table("t", 1'000'000).bytes()});
    d.push_back({"row count disagrees", Stream().format().table("t", 1).column("a").row({QByteArray("x")}).done(2).bytes()});
    d.push_back({"table count disagrees", oneTable().end(2).bytes()});
    d.push_back({"bytes after the end", oneTable().end(1).raw("junk").bytes()});
    d.push_back({"empty table name", Stream().format().table("", 1).bytes()});
    return d;
}

TEST(JetStream, EveryKindOfDamageIsRefused) {
    for (const Damage& d : damages()) {
        EXPECT_THROW(parseJetStream(d.bytes), JetStreamError) << d.what;
    }
}

TEST(JetStream, TableNamesHoldingPlaceholdersAreReportedAsTheyAre) {
    Stream s;
    s.format().table("t%1%2", 1).column("c").row({QByteArray("x")}).done(3);
    try {
        parseJetStream(s.bytes());
        FAIL() << "a wrong row count was accepted";
    } catch (const JetStreamError& e) {
        EXPECT_EQ(e.what(), "table 't%1%2' announced 3 rows but 1 arrived");
    }
}

} // namespace
