// The query dialect: what the dictionary windows send, and everything else refused with a
// syntax error that quotes the query.

#include "engine/QueryParser.h"
#include "EngineTestFiles.h"
#include "support/TestSupport.h"

using namespace tolvane::engine;
using tolvane::test::errorMessage;
using tolvane::test::errorNumber;

namespace {

TEST(QueryParser, PrefixQueryJoinsTextsAroundAmpersand) {
    const ParsedQuery q = parseQuery("SELECT * FROM data1 WHERE field1 LIKE 'ab'& '*'");
    EXPECT_EQ(q.table, "data1");
    ASSERT_TRUE(q.where);
    EXPECT_EQ(q.where->column, "field1");
    EXPECT_EQ(q.where->op, QueryCondition::Op::Like);
    EXPECT_EQ(q.where->value, "ab*");
}

TEST(QueryParser, HeadwordQueryInAnyLetterCase) {
    const ParsedQuery q = parseQuery("Select * from dbwords where dbword = 'ABASE'");
    EXPECT_EQ(q.table, "dbwords");
    ASSERT_TRUE(q.where);
    EXPECT_EQ(q.where->op, QueryCondition::Op::Equal);
    EXPECT_EQ(q.where->value, "ABASE");
    EXPECT_EQ(parseQuery("sElEcT * FrOm t WhErE c LiKe 'x'").where->op, QueryCondition::Op::Like);
}

TEST(QueryParser, QuotesInsideTexts) {
    EXPECT_EQ(parseQuery("SELECT * FROM t WHERE c = 'O''Neil'").where->value, "O'Neil");
    EXPECT_EQ(parseQuery("SELECT * FROM t WHERE c = \"say \"\"hi\"\"\"").where->value,
              "say \"hi\"");
    EXPECT_EQ(parseQuery("SELECT * FROM t WHERE c = \"O'Neil\"").where->value, "O'Neil");
    EXPECT_EQ(parseQuery("SELECT * FROM t WHERE c = ''").where->value, "");
    // The empty text, not a null one: a null value would be bound as NULL.
    EXPECT_FALSE(parseQuery("SELECT * FROM t WHERE c = ''").where->value.isNull());
    EXPECT_FALSE(parseQuery("SELECT * FROM t WHERE c = '' & \"\"").where->value.isNull());
    EXPECT_EQ(parseQuery("SELECT * FROM t WHERE c LIKE 'a' & \"b\" & '*'").where->value, "ab*");
}

TEST(QueryParser, BracketedNamesSemicolonAndBareTable) {
    const ParsedQuery q = parseQuery("SELECT * FROM [my words] WHERE [Head Word] = 'x';");
    EXPECT_EQ(q.table, "my words");
    EXPECT_EQ(q.where->column, "Head Word");
    EXPECT_FALSE(parseQuery("SELECT * FROM data1").where);
    EXPECT_EQ(parseQuery("data1").table, "data1");
    EXPECT_EQ(parseQuery("[select]").table, "select"); // brackets make it a name
    EXPECT_EQ(parseQuery("Ordbok").table, "Ordbok");
}

TEST(QueryParser, MalformedQueriesAreSyntaxErrorsQuotingTheText) {
    const char* bad[] = {
        "",
        "SELECT",
        "SELECT field1 FROM data1",
        "SELECT * data1",
        "SELECT * FROM",
        "SELECT * FROM data1 WHERE",
        "SELECT * FROM data1 WHERE field1",
        "SELECT * FROM data1 WHERE field1 LIKE",
        "SELECT * FROM data1 WHERE field1 LIKE 'ab'&",
        "SELECT * FROM data1 WHERE field1 LIKE 'ab' '*'",
        "SELECT * FROM data1 WHERE field1 LIKE 'o'neil'& '*'", // a quote typed in the search box
        "SELECT * FROM data1 WHERE field1 = 'ab",
        "SELECT * FROM data1 WHERE field1 = field2",
        "SELECT * FROM data1 WHERE field1 = 'a' OR 1 = 1",
        "SELECT * FROM data1; DROP TABLE data1",
        "SELECT * FROM [data1 WHERE field1 = 'a'",
        "SELECT * FROM data1 WHERE field1 < 'a'",
        "SELECT * FROM data1 WHERE field1 = 1",
        "SELECT * FROM data1 ORDER BY field1",
        "data1 data2",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        EXPECT_EQ(errorNumber([&] { parseQuery(QString::fromUtf8(text)); }), err::SyntaxError);
        EXPECT_TRUE(errorMessage([&] {
                        parseQuery(QString::fromUtf8(text));
                    }).contains(QStringLiteral("'%1'").arg(QString::fromUtf8(text))));
    }
}

TEST(QueryParser, MessagesQuoteTheQueryAsTyped) {
    // Placeholders typed into a query are text, not formatting.
    for (const char* text : {"SELECT * FROM t WHERE c = '%1' '%2'", "SELECT * FROM [%1] [%2]"}) {
        const QString message = errorMessage([&] { parseQuery(QString::fromUtf8(text)); });
        EXPECT_TRUE(message.startsWith(QStringLiteral("Syntax error in query expression '") +
                                       QString::fromUtf8(text) + QStringLiteral("': ")))
            << message.toStdString();
        EXPECT_TRUE(message.contains("unexpected '%2' at position ")) << message.toStdString();
    }
}

TEST(QueryParser, TellsQueriesFromTableNames) {
    EXPECT_TRUE(looksLikeQuery("SELECT * FROM data1"));
    EXPECT_TRUE(looksLikeQuery("  select * from data1"));
    EXPECT_FALSE(looksLikeQuery("data1"));
    EXPECT_FALSE(looksLikeQuery("selections"));
}

} // namespace
