// The query texts, byte for byte, for each dictionary; a single quote in the user's text is
// doubled so it stays inside the literal.
#include "data/Queries.h"
#include "data/DataOperations.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tolvane::data;

TEST(Queries, AreTheExactTextsOfEachDictionary) {
    EXPECT_EQ(headwordQuery(kingJamesConfig(), "ABASE"),
              QStringLiteral("Select * from data1 where field1 = 'ABASE'"));
    EXPECT_EQ(prefixQuery(kingJamesConfig(), "ab"),
              QStringLiteral("SELECT * FROM data1 WHERE field1 LIKE 'ab'& '*'"));
    EXPECT_EQ(headwordQuery(eastonsConfig(), "Aaron"),
              QStringLiteral("Select * from dbwords where dbword = 'Aaron'"));
    EXPECT_EQ(prefixQuery(eastonsConfig(), "Aa"),
              QStringLiteral("SELECT * FROM dbwords WHERE dbword LIKE 'Aa'& '*'"));
    EXPECT_EQ(headwordQuery(hitchcockConfig(), "Abel"),
              QStringLiteral("Select * from hitchcock where field1 = 'Abel'"));
    EXPECT_EQ(prefixQuery(hitchcockConfig(), "z"),
              QStringLiteral("SELECT * FROM hitchcock WHERE field1 LIKE 'z'& '*'"));
}

TEST(Queries, HeadwordQueryTrimsOnlySpacesAroundTheChosenItem) {
    EXPECT_EQ(headwordQuery(kingJamesConfig(), "  ABASE "),
              QStringLiteral("Select * from data1 where field1 = 'ABASE'"));
    EXPECT_EQ(headwordQuery(eastonsConfig(), " Olives, Mount of "),
              QStringLiteral("Select * from dbwords where dbword = 'Olives, Mount of'"));
    // Inner spaces, tabs and other blanks belong to the headword.
    EXPECT_EQ(headwordQuery(kingJamesConfig(), "\tFETCH  A COMPASS\u00a0"),
              QStringLiteral("Select * from data1 where field1 = '\tFETCH  A COMPASS\u00a0'"));
    EXPECT_EQ(headwordQuery(kingJamesConfig(), "   "),
              QStringLiteral("Select * from data1 where field1 = ''"));
}

TEST(Queries, PrefixQueryTakesTheSearchTextWholeWithItsPatternCharacters) {
    EXPECT_EQ(prefixQuery(kingJamesConfig(), " a?a* "),
              QStringLiteral("SELECT * FROM data1 WHERE field1 LIKE ' a?a* '& '*'"));
    EXPECT_EQ(prefixQuery(eastonsConfig(), "Lord\u2019s"),
              QStringLiteral("SELECT * FROM dbwords WHERE dbword LIKE 'Lord\u2019s'& '*'"));
}

TEST(Queries, DoubleASingleQuoteInTheUsersText) {
    EXPECT_EQ(headwordQuery(eastonsConfig(), " Aaron's "),
              QStringLiteral("Select * from dbwords where dbword = 'Aaron''s'"));
    EXPECT_EQ(prefixQuery(hitchcockConfig(), "'"),
              QStringLiteral("SELECT * FROM hitchcock WHERE field1 LIKE ''''& '*'"));
    EXPECT_EQ(prefixQuery(kingJamesConfig(), "x' OR 'a'='a"),
              QStringLiteral("SELECT * FROM data1 WHERE field1 LIKE 'x'' OR ''a''=''a'& '*'"));
    EXPECT_EQ(quotedLiteralBody("''"), QStringLiteral("''''"));
}

TEST(Queries, DictionaryPathIsTheFolderFollowedDirectlyByTheSuffix) {
    EXPECT_EQ(dictionaryPath(kingJamesConfig(), "/opt/tolvane"),
              QStringLiteral("/opt/tolvane/db2.mdb"));
    EXPECT_EQ(dictionaryPath(eastonsConfig(), "/opt/tolvane"),
              QStringLiteral("/opt/tolvane/data.mdb"));
    EXPECT_EQ(dictionaryPath(hitchcockConfig(), "/opt/tolvane/"),
              QStringLiteral("/opt/tolvane//names.mdb"));
}
