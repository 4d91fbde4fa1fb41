// Table and dynaset recordsets: which rows they hold, in which order, how they move, and how
// the query dialect selects rows (LIKE and = without regard to case, beyond ASCII too).

#include "EngineTestFiles.h"
#include "engine/Pattern.h"
#include "engine/sqlite/Connection.h"
#include "support/TestSupport.h"

#include <QRandomGenerator>
#include <algorithm>
#include <functional>

using namespace tolvane::engine;
using namespace tolvane::test;

namespace {

const std::vector<EngineRow> kWords{
    {"ABATE", "to lessen"}, {"abase", "to lower"}, {"ÉDEN", "a garden"},   {"Ablution", "washing"},
    {"éden", "lowercase"},  {"EDGE", "a border"},  {"O'NEIL", "a name"},   {"PSALM 23", "a song"},
    {"A*B", "a star"},      {"BAT", "an animal"},  {"cat", "another one"}, {"rat", "a third"},
};

QStringList headwords(Database& db, const QString& query) {
    auto rs = db.OpenRecordset(query);
    QStringList found = readColumn(*rs, "headword");
    found.sort();
    return found;
}

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

TEST(TableRecordset, HoldsEveryRowInTheTablesOwnOrder) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto rs = db->OpenRecordset("words", dbOpenTable);
    EXPECT_EQ(rs->Type(), dbOpenTable);
    EXPECT_EQ(rs->RecordCount(), static_cast<int>(kWords.size())); // exact before MoveLast
    QStringList expected;
    for (const EngineRow& row : kWords)
        expected << row.headword;
    EXPECT_EQ(readColumn(*rs, "headword"), expected);
    // Any letter case names the table and the fields.
    auto upper = db->OpenRecordset("WORDS", dbOpenTable);
    EXPECT_EQ(upper->Fields("HEADWORD").Value().toString(), "ABATE");
    EXPECT_EQ(upper->Fields("Definition").Value().toString(), "to lessen");
}

TEST(TableRecordset, NeedsAnExistingTableName) {
    DictionaryFile file(kWords);
    auto db = file.open();
    EXPECT_EQ(errorNumber([&] { db->OpenRecordset("SELECT * FROM words", dbOpenTable); }),
              err::InvalidOperation);
    const QString message = errorMessage([&] { db->OpenRecordset("dbwords", dbOpenTable); });
    EXPECT_TRUE(message.contains("'dbwords'")) << message.toStdString();
    EXPECT_TRUE(message.contains(db->Name())) << message.toStdString();
    EXPECT_EQ(errorNumber([&] { db->OpenRecordset("dbwords", dbOpenTable); }), err::TableNotFound);
    EXPECT_EQ(errorNumber([&] { db->OpenRecordset("sqlite_master", dbOpenTable); }),
              err::TableNotFound);
}

TEST(Dynaset, OpensFromQueryOrBareTableName) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto all = db->OpenRecordset("words");
    EXPECT_EQ(all->Type(), dbOpenDynaset);
    EXPECT_EQ(all->RecordCount(), static_cast<int>(kWords.size()));
    EXPECT_EQ(db->OpenRecordset("SELECT * FROM words;")->RecordCount(), all->RecordCount());
    EXPECT_EQ(db->OpenRecordset("select * from [Words]")->RecordCount(), all->RecordCount());
}

TEST(Dynaset, QueryErrorsNameTheQuery) {
    DictionaryFile file(kWords);
    auto db = file.open();
    const QString noTable = "SELECT * FROM data1 WHERE field1 LIKE 'a'& '*'";
    EXPECT_EQ(errorNumber([&] { db->OpenRecordset(noTable); }), err::TableNotFound);
    EXPECT_TRUE(errorMessage([&] { db->OpenRecordset(noTable); }).contains(noTable));
    const QString noColumn = "SELECT * FROM words WHERE field1 = 'a'";
    EXPECT_EQ(errorNumber([&] { db->OpenRecordset(noColumn); }), err::ItemNotFound);
    EXPECT_TRUE(errorMessage([&] { db->OpenRecordset(noColumn); }).contains(noColumn));
    const QString malformed = "SELECT * FROM words WHERE headword LIKE 'o'neil'& '*'";
    EXPECT_EQ(errorNumber([&] { db->OpenRecordset(malformed); }), err::SyntaxError);
    EXPECT_TRUE(errorMessage([&] { db->OpenRecordset(malformed); }).contains(malformed));
    auto rs = db->OpenRecordset("words");
    EXPECT_EQ(errorNumber([&] { rs->Fields("field9"); }), err::ItemNotFound);
}

TEST(Dynaset, PrefixQueryIgnoresCaseBeyondAscii) {
    DictionaryFile file(kWords);
    auto db = file.open();
    EXPECT_EQ(headwords(*db, "SELECT * FROM words WHERE headword LIKE 'ab'& '*'"),
              sorted({"ABATE", "abase", "Ablution"}));
    EXPECT_EQ(headwords(*db, "SELECT * FROM words WHERE headword LIKE 'éd'& '*'"),
              sorted({"ÉDEN", "éden"}));
    EXPECT_EQ(headwords(*db, "SELECT * FROM words WHERE headword LIKE 'ÉD'& '*'"),
              sorted({"ÉDEN", "éden"}));
    EXPECT_EQ(headwords(*db, "SELECT * FROM words WHERE headword LIKE 'ed'& '*'"),
              QStringList{"EDGE"});
    EXPECT_EQ(db->OpenRecordset("SELECT * FROM words WHERE headword LIKE 'zz'& '*'")->RecordCount(),
              0);
}

TEST(Dynaset, EqualsIgnoresCaseTheSameWay) {
    DictionaryFile file(kWords);
    auto db = file.open();
    EXPECT_EQ(headwords(*db, "Select * from words where headword = 'éden'"),
              sorted({"ÉDEN", "éden"}));
    EXPECT_EQ(headwords(*db, "Select * from words where headword = 'ABASE'"), QStringList{"abase"});
    EXPECT_EQ(headwords(*db, "Select * from words where headword = 'aba'"), QStringList{});
    // Wildcards mean nothing to =.
    EXPECT_EQ(headwords(*db, "Select * from words where headword = 'a*b'"), QStringList{"A*B"});
    EXPECT_EQ(headwords(*db, "Select * from words where headword = 'O''Neil'"),
              QStringList{"O'NEIL"});
}

TEST(Dynaset, EveryPatternClassThroughAQuery) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto like = [&](const QString& pattern) {
        return headwords(*db, QStringLiteral("SELECT * FROM words WHERE headword LIKE '%1'")
                                  .arg(QString(pattern).replace("'", "''")));
    };
    EXPECT_EQ(like("a?a*"), sorted({"ABATE", "abase"}));
    EXPECT_EQ(like("psalm ##"), QStringList{"PSALM 23"});
    EXPECT_EQ(like("[bc]at"), sorted({"BAT", "cat"}));
    EXPECT_EQ(like("[a-c]at"), sorted({"BAT", "cat"}));
    EXPECT_EQ(like("[!bc]at"), QStringList{"rat"});
    EXPECT_EQ(like("a[*]b"), QStringList{"A*B"});
    EXPECT_EQ(like("*e"), sorted({"ABATE", "abase", "EDGE"}));
    EXPECT_EQ(like("o'*"), QStringList{"O'NEIL"});
    EXPECT_EQ(like("[ab*"), QStringList{}); // unterminated: a literal '[', and no failure
}

// The index only narrows the candidates; the answers must be the same without it, and the
// same as testing every row with the matcher.
TEST(Dynaset, IndexedAndUnindexedLookupsAgreeWithTheMatcher) {
    QRandomGenerator random(20261207);
    const QString letters = QStringLiteral("aAbBéÉzZ?*[]#1 'ßΣσς");
    std::vector<EngineRow> rows;
    for (int i = 0; i < 600; ++i) {
        QString word;
        const int length = 1 + static_cast<int>(random.bounded(5));
        for (int k = 0; k < length; ++k)
            word += letters[static_cast<qsizetype>(random.bounded(letters.size()))];
        rows.push_back({word, QString::number(i)});
    }
    DictionaryFile indexed(rows, true);
    DictionaryFile plain(rows, false);
    auto withIndex = indexed.open();
    auto withoutIndex = plain.open();
    const QStringList patterns{"a*",    "A*",  "é*",      "ab*", "a?*",    "*b",  "[ab]*",
                               "[!a]*", "z#*", "Σ*",      "σ*",  "ς*",     "[*",  "ß*",
                               "a",     "''*", "[a-z]b*", "?",   "É[éb]*", "*[]*"};
    // And whatever else could be typed into a search box (a quote would end the text, so the
    // window's query doubles it here).
    QStringList typed = patterns;
    const QString keys = QStringLiteral("aAbBéÉzZ?*[]!-#1 'ßσ");
    for (int i = 0; i < 150; ++i) {
        QString text;
        const int length = 1 + static_cast<int>(random.bounded(6));
        for (int k = 0; k < length; ++k)
            text += keys[static_cast<qsizetype>(random.bounded(keys.size()))];
        typed << text << text + "*";
    }
    for (const QString& pattern : typed) {
        SCOPED_TRACE(pattern.toStdString());
        const LikePattern matcher(pattern);
        QStringList expected;
        for (const EngineRow& row : rows) {
            if (matcher.matches(row.headword))
                expected << row.headword;
        }
        expected.sort();
        QString literal = pattern;
        literal.replace("'", "''");
        const QString query =
            QStringLiteral("SELECT * FROM words WHERE headword LIKE '%1'").arg(literal);
        EXPECT_EQ(headwords(*withIndex, query), expected);
        EXPECT_EQ(headwords(*withoutIndex, query), expected);
        EXPECT_EQ(withIndex->HasRows(query), !expected.isEmpty());
        EXPECT_EQ(withoutIndex->HasRows(query), !expected.isEmpty());
    }
}

// Asking whether a source has rows answers as opening it would, with its errors.
TEST(Dynaset, HasRowsAnswersAsTheSetWouldAndFailsAsItWould) {
    DictionaryFile file(kWords);
    auto db = file.open();
    EXPECT_TRUE(db->HasRows("words"));
    EXPECT_TRUE(db->HasRows("SELECT * FROM words WHERE headword = 'bat'"));
    EXPECT_FALSE(db->HasRows("SELECT * FROM words WHERE headword = 'ba'"));
    EXPECT_FALSE(db->HasRows("SELECT * FROM words WHERE headword LIKE 'zz*'"));
    auto errorOf = [&](const QString& source) {
        try {
            db->HasRows(source);
        } catch (const EngineError& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(errorOf("SELECT * FROM nowhere WHERE headword LIKE 'a*'"), err::TableNotFound);
    EXPECT_EQ(errorOf("SELECT * FROM words WHERE nothing LIKE 'a*'"), err::ItemNotFound);
    DictionaryFile empty({});
    EXPECT_FALSE(empty.open()->HasRows("words"));
}

TEST(Moves, CountsAndMovesThroughASet) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto rs = db->OpenRecordset("SELECT * FROM words WHERE headword LIKE 'ab*'");
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_FALSE(rs->isBOF());
    rs->MoveLast();
    const QString last = rs->Fields("headword").Value().toString();
    rs->MoveFirst();
    const QString first = rs->Fields("headword").Value().toString();
    EXPECT_NE(first, last);
    rs->MoveNext();
    rs->MoveNext();
    EXPECT_EQ(rs->Fields("headword").Value().toString(), last);
    rs->MoveNext(); // past the last row: allowed once
    EXPECT_TRUE(rs->isEOF());
    EXPECT_EQ(errorNumber([&] { rs->Fields("headword").Value(); }), err::NoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs->MoveNext(); }), err::NoCurrentRecord);
    rs->MovePrevious();
    EXPECT_EQ(rs->Fields("headword").Value().toString(), last);
    rs->MoveFirst();
    rs->MovePrevious();
    EXPECT_TRUE(rs->isBOF());
    EXPECT_EQ(errorNumber([&] { rs->Fields("headword").Value(); }), err::NoCurrentRecord);
    EXPECT_EQ(rs->RecordCount(), 3);
}

TEST(Moves, EmptySetHasNoCurrentRow) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto rs = db->OpenRecordset("SELECT * FROM words WHERE headword = 'nothing'");
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_TRUE(rs->isEOF());
    EXPECT_TRUE(rs->isBOF());
    EXPECT_EQ(errorNumber([&] { rs->MoveFirst(); }), err::NoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs->MoveLast(); }), err::NoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs->Fields("definition").Value(); }), err::NoCurrentRecord);
}

// Closing frees the set for every holder: each use afterwards names the set and fails.
TEST(Moves, ClosedSetRefusesEveryUse) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto rs = db->OpenRecordsetInListOrder("words", "headword", dbOpenTable);
    auto field = rs->Fields("headword");
    rs->Edit();
    rs->Close();
    const QString message = errorMessage([&] { rs->RecordCount(); });
    EXPECT_TRUE(message.contains("'words'")) << message.toStdString();
    for (const auto& use : std::vector<std::function<void()>>{
             [&] { rs->MoveFirst(); }, [&] { (void)field.Value(); },
             [&] { rs->takeRemainingText(0); }, [&] { rs->Update(); }, [&] { rs->AddNew(); }})
        EXPECT_EQ(errorNumber(use), err::ObjectClosed);
    // The file itself is untouched.
    EXPECT_EQ(db->OpenRecordset("words")->RecordCount(), static_cast<int>(kWords.size()));
}

TEST(Dynaset, MembershipIsFixedButValuesAreLive) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto rs = db->OpenRecordset("SELECT * FROM words WHERE headword LIKE 'ab*'");
    ASSERT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(readColumn(*rs, "definition").size(), 3); // fills the cache

    // Another recordset, even through another open Database, changes and adds rows.
    auto other = file.open();
    auto writer = other->OpenRecordset("words", dbOpenTable);
    writer->Edit(); // ABATE, a member of rs
    writer->Fields("headword").SetValue("XBATE");
    writer->Fields("definition").SetValue("renamed");
    writer->Update();
    writer->AddNew();
    writer->Fields("headword").SetValue("ABBEY");
    writer->Update();

    EXPECT_EQ(rs->RecordCount(), 3); // no new member
    QStringList now = readColumn(*rs, "headword");
    now.sort();
    EXPECT_EQ(now, sorted({"XBATE", "abase", "Ablution"})); // the renamed row stays, read live
    EXPECT_TRUE(readColumn(*rs, "definition").contains("renamed"));
    EXPECT_EQ(db->OpenRecordset("SELECT * FROM words WHERE headword LIKE 'ab*'")->RecordCount(), 3);
}

TEST(Dynaset, SeesCommitsOfOtherProgramsAfterMoveFirst) {
    DictionaryFile file(kWords);
    auto db = file.open();
    auto rs = db->OpenRecordset("SELECT * FROM words WHERE headword LIKE 'éd*'");
    ASSERT_EQ(readColumn(*rs, "definition"), (QStringList{"a garden", "lowercase"}));
    // A connection that is not the engine's, as another program would hold.
    sqlite::Connection outside(file.path(), sqlite::OpenMode::ReadWrite);
    outside.exec("UPDATE words SET definition = 'changed elsewhere' WHERE definition = 'a garden'");
    rs->MoveFirst();
    EXPECT_TRUE(readColumn(*rs, "definition").contains("changed elsewhere"));
    outside.exec("DELETE FROM words WHERE definition = 'lowercase'");
    rs->MoveLast();
    EXPECT_EQ(errorNumber([&] { rs->Fields("definition").Value(); }), err::RecordDeleted);
}

TEST(Dynaset, WalksALargeSetAfterChangesCorrectly) {
    std::vector<EngineRow> rows;
    for (int i = 0; i < 5000; ++i)
        rows.push_back({QStringLiteral("w%1").arg(i, 5, 10, QLatin1Char('0')), QString::number(i)});
    DictionaryFile file(rows);
    auto db = file.open();
    auto rs = db->OpenRecordset("SELECT * FROM words WHERE headword LIKE 'W00*'");
    ASSERT_EQ(rs->RecordCount(), 1000);
    QStringList before = readColumn(*rs, "definition");
    EXPECT_EQ(before.first(), "0");
    EXPECT_EQ(before.last(), "999");
    // Change one row through a second recordset; every later read of the first sees it.
    auto edit = db->OpenRecordset("SELECT * FROM words WHERE headword = 'w00500'");
    edit->Edit();
    edit->Fields("definition").SetValue("five hundred");
    edit->Update();
    const QStringList after = readColumn(*rs, "definition");
    before[500] = "five hundred";
    EXPECT_EQ(after, before);
    // Delete through the set itself: the walk skips the row and reads the rest correctly.
    rs->MoveFirst();
    for (int i = 0; i < 10; ++i)
        rs->MoveNext();
    rs->Delete();
    before.removeAt(10);
    EXPECT_EQ(rs->RecordCount(), 999);
    EXPECT_EQ(readColumn(*rs, "definition"), before);
}

TEST(Values, NullAndEmptyAreDifferent) {
    DictionaryFile file({{"ONE", ""}});
    auto db = file.open();
    sqlite::Connection raw(file.path(), sqlite::OpenMode::ReadWrite);
    raw.exec("INSERT INTO words (headword) VALUES ('TWO')");
    auto rs = db->OpenRecordset("words", dbOpenTable);
    const QVariant empty = rs->Fields("definition").Value();
    EXPECT_FALSE(empty.isNull());
    EXPECT_EQ(empty.toString(), "");
    rs->MoveNext();
    EXPECT_TRUE(rs->Fields("definition").Value().isNull());
}

TEST(Values, EqualsEmptyTextFindsTheEmptyTextNotNull) {
    // What a headword lookup sends for a list item made of spaces only.
    for (const bool indexed : {true, false}) {
        DictionaryFile file({{"", "empty"}, {"ONE", "one"}}, indexed);
        sqlite::Connection raw(file.path(), sqlite::OpenMode::ReadWrite);
        raw.exec("INSERT INTO words (definition) VALUES ('null')");
        auto db = file.open();
        for (const char* query : {"Select * from words where headword = ''",
                                  "SELECT * FROM words WHERE headword LIKE ''"}) {
            auto rs = db->OpenRecordset(query);
            ASSERT_EQ(rs->RecordCount(), 1) << query << (indexed ? "" : " (no index)");
            EXPECT_EQ(rs->Fields("definition").Value().toString(), "empty");
        }
    }
}

} // namespace
