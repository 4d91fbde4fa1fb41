// The full-text index: what a typed query becomes, what it finds, and how the index follows
// the table through every add, change and delete, and through a fill that is cut short.

#include "EngineTestFiles.h"
#include "engine/FullTextIndex.h"
#include "engine/FullTextMarks.h"
#include "engine/FullTextQuery.h"
#include "engine/FullTextResults.h"
#include "engine/sqlite/Connection.h"
#include "engine/sqlite/Statement.h"
#include "support/TestSupport.h"

#include <QRegularExpression>

using namespace tolvane::engine;
using namespace tolvane::test;

namespace {

const FullTextSource kWordsSource{"words", "headword", "definition", {}};

// The headwords of the rows the typed query finds, in row order.
QStringList found(sqlite::Connection& db, const QString& typed) {
    const FullTextQuery query = translateFullTextQuery(typed);
    EXPECT_TRUE(query.isValid()) << typed.toStdString();
    sqlite::Statement select(db, QStringLiteral("SELECT w.headword FROM words_fts JOIN words w ON "
                                                "w.rowid = words_fts.rowid WHERE words_fts MATCH "
                                                "?1 ORDER BY w.rowid"));
    select.bind(1, query.match);
    QStringList headwords;
    while (select.step())
        headwords << select.columnText(0);
    return headwords;
}

qint64 count(sqlite::Connection& db, const QString& sql) {
    sqlite::Statement select(db, sql);
    return select.step() ? select.columnInt64(0) : -1;
}

struct Translation {
    const char* typed;
    const char* match; // nullptr: malformed
};

void PrintTo(const Translation& t, std::ostream* os) {
    *os << t.typed;
}

class QueryLanguage : public testing::TestWithParam<Translation> {};

TEST_P(QueryLanguage, TypedTextBecomesQuotedTermsOrANote) {
    const FullTextQuery query = translateFullTextQuery(QString::fromUtf8(GetParam().typed));
    if (GetParam().match) {
        EXPECT_TRUE(query.isValid()) << query.problem.toStdString();
        EXPECT_EQ(query.match, QString::fromUtf8(GetParam().match));
    } else {
        EXPECT_FALSE(query.isValid());
        EXPECT_FALSE(query.problem.isEmpty());
        EXPECT_FALSE(query.problem.contains(QRegularExpression("[0-9]"))); // no error number
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QueryLanguage,
    testing::Values(
        Translation{"grace  truth", "\"grace\" \"truth\""},
        Translation{"\"tree of life\"", "\"tree of life\""}, Translation{"bless*", "\"bless\"*"},
        Translation{"\"holy spi\"*", "\"holy spi\"*"},
        // FTS5 operators and column filters typed by the user stay words.
        Translation{"grace OR NOT truth", "\"grace\" \"OR\" \"NOT\" \"truth\""},
        Translation{"headword:x (y)", "\"headword:x\" \"(y)\""}, Translation{"  - && ", ""},
        Translation{"", ""}, Translation{"\"unclosed phrase", nullptr}, Translation{"*", nullptr},
        Translation{"grace *", nullptr}, Translation{"bl*ss", nullptr},
        Translation{"\"\"*", nullptr},
        // Typographic quotation marks, as pasted from a text, make a phrase too.
        Translation{"\u201ctree of life\u201d grace", "\"tree of life\" \"grace\""},
        Translation{"\u201etree of\u201c \u00ablife\u00bb", "\"tree of\" \"life\""},
        // Words beyond U+FFFF are words; a term typed again is searched once.
        Translation{"\xf0\x90\x8c\xb0\xf0\x90\x8c\xb1", "\"\xf0\x90\x8c\xb0\xf0\x90\x8c\xb1\""},
        Translation{"the The \"THE\" the* the*", "\"the\" \"the\"*"}));

TEST(QueryLanguageLimits, ControlCharactersPartWordsAndLongQueriesFoldOrAreRefused) {
    EXPECT_EQ(translateFullTextQuery(QString::fromUtf8("gra\0ce\x01x", 8)).match,
              QStringLiteral("\"gra\" \"ce\" \"x\""));
    EXPECT_EQ(translateFullTextQuery(QString::fromUtf8("\"tree\0of\tlife\"", 14)).match,
              QStringLiteral("\"tree of life\""));
    // The box holds 32,767 characters: repeated terms fold into one.
    EXPECT_EQ(translateFullTextQuery(QStringLiteral("the ").repeated(8191)).match,
              QStringLiteral("\"the\""));
    EXPECT_EQ(translateFullTextQuery(QStringLiteral("a* ").repeated(10922)).match,
              QStringLiteral("\"a\"*"));
    // Too many different words, plain or in phrases, are refused with a note.
    QStringList words;
    for (int i = 0; i < kMostFullTextWords; ++i)
        words << QStringLiteral("w%1").arg(i);
    EXPECT_TRUE(translateFullTextQuery(words.join(QLatin1Char(' '))).isValid());
    for (const QString& typed :
         {words.join(QLatin1Char(' ')) + QStringLiteral(" more"),
          QLatin1Char('"') + words.join(QLatin1Char(' ')) + QStringLiteral(" more\"")}) {
        const FullTextQuery query = translateFullTextQuery(typed);
        EXPECT_FALSE(query.isValid());
        EXPECT_TRUE(query.isEmpty());
        EXPECT_TRUE(query.problem.contains(QString::number(kMostFullTextWords)));
    }
}

class FullTextFile : public testing::Test {
protected:
    DictionaryFile file{{"Eden", "the garden where Adam lived"},
                        {"Éden", "a place; see Eden"},
                        {"Tree", "the tree of life stood in the garden"},
                        {"Life", "life of the tree, not the tree of life"},
                        {"Bless", "to make holy"},
                        {"Blessing", "a gift"}};
    sqlite::Connection db{file.path(), sqlite::OpenMode::ReadWrite};

    void SetUp() override {
        sqlite::Transaction transaction(db);
        buildFullTextIndex(db, kWordsSource);
        transaction.commit();
    }
};

TEST_F(FullTextFile, WordsPhrasesPrefixesCaseAndAccents) {
    EXPECT_EQ(found(db, "garden adam"), QStringList({"Eden"}));
    EXPECT_EQ(found(db, "adam garden"), QStringList({"Eden"})); // any order
    EXPECT_EQ(found(db, "\"tree of life\""), QStringList({"Tree", "Life"}));
    EXPECT_EQ(found(db, "\"life of tree\""), QStringList()); // as written only
    EXPECT_EQ(found(db, "\"life of the tree\""), QStringList({"Life"}));
    EXPECT_EQ(found(db, "bless*"), QStringList({"Bless", "Blessing"}));
    EXPECT_EQ(found(db, "bless"), QStringList({"Bless"}));
    EXPECT_EQ(found(db, "eden"), QStringList({"Eden", "Éden"}));
    EXPECT_EQ(found(db, "ÉDEN"), QStringList({"Eden", "Éden"}));
    EXPECT_EQ(found(db, "not"), QStringList({"Life"})); // an FTS5 keyword is a word here
    EXPECT_EQ(fullTextState(db, kWordsSource), FullTextState::Complete);
}

TEST_F(FullTextFile, FindsWordsPartedByControlCharactersAndWordsBeyondTheBasicPlane) {
    EXPECT_EQ(found(db, QString::fromUtf8("garden\0adam", 11)), QStringList({"Eden"}));
    db.exec(QString::fromUtf8("INSERT INTO words (headword, definition) VALUES ('Goth', "
                              "'\xf0\x90\x8c\xb0\xf0\x90\x8c\xb1 letters')"));
    EXPECT_EQ(found(db, QString::fromUtf8("\xf0\x90\x8c\xb0\xf0\x90\x8c\xb1")),
              QStringList({"Goth"}));
}

TEST_F(FullTextFile, FollowsAddEditAndDeleteThroughRecordsets) {
    auto dao = file.open();
    auto rs = dao->OpenRecordset("words", dbOpenTable);
    rs->AddNew();
    rs->Fields("headword").SetValue("Zeal");
    rs->Fields("definition").SetValue("ardour for the temple");
    rs->Update();
    EXPECT_EQ(found(db, "ardour"), QStringList({"Zeal"}));

    rs = dao->OpenRecordset("SELECT * FROM words WHERE headword = 'Tree'");
    rs->MoveFirst();
    rs->Edit();
    rs->Fields("definition").SetValue("an oak");
    rs->Update();
    EXPECT_EQ(found(db, "oak"), QStringList({"Tree"}));
    EXPECT_EQ(found(db, "\"tree of life\""), QStringList({"Life"})); // the old text is gone

    rs = dao->OpenRecordset("SELECT * FROM words WHERE headword = 'Life'");
    rs->MoveFirst();
    rs->Delete();
    EXPECT_EQ(found(db, "\"tree of life\""), QStringList());
    EXPECT_EQ(count(db, "SELECT count(*) FROM words_fts"), count(db, "SELECT count(*) FROM words"));
}

// Each result as "headword: snippet", best first.
QStringList ranked(sqlite::Connection& db, const QString& typed, int words = 6) {
    EXPECT_EQ(registerFullTextResultFunctions(db.handle()), 0);
    sqlite::Statement select(
        db, QStringLiteral("SELECT headword, tolvane_snippet(words_fts, '[', ']', '…', ?2) FROM "
                           "words_fts WHERE words_fts MATCH ?1 ORDER BY tolvane_rank(words_fts), "
                           "rowid"));
    select.bind(1, translateFullTextQuery(typed).match);
    select.bind(2, qint64(words));
    QStringList results;
    while (select.step())
        results << select.columnText(0) + QStringLiteral(": ") + select.columnText(1);
    return results;
}

TEST_F(FullTextFile, HeadwordsRankFirstThenTheTextsThatSayItMostWithTheirMatchesMarked) {
    EXPECT_EQ(ranked(db, "tree"), QStringList({"Tree: the [tree] of life stood in…",
                                               "Life: life of the [tree], not the…"}));
    EXPECT_EQ(ranked(db, "\"tree of life\"", 12), // once in each: row order
              QStringList({"Tree: the [tree of life] stood in the garden",
                           "Life: …tree, not the [tree of life]"}));
    // Only the headword holds it: the text from its start, unmarked.
    EXPECT_EQ(ranked(db, "blessing"), QStringList({"Blessing: a gift"}));

    // Far into a long text: a little before the match, and what follows, cut.
    QStringList words;
    for (int i = 0; i < 40; ++i)
        words << QStringLiteral("w%1").arg(i);
    db.exec(QStringLiteral("UPDATE words SET definition = '%1, and the end.' WHERE headword = "
                           "'Bless'")
                .arg(words.join(QLatin1Char(' '))));
    EXPECT_EQ(ranked(db, "w30"), QStringList({"Bless: …w29 [w30] w31 w32 w33 w34…"}));
    EXPECT_EQ(ranked(db, "end"), QStringList({"Bless: …the [end]."}));
}

// Each mark as "text:marked" (its text's number, and what it covers there).
QStringList marked(const QString& typed, const QStringList& texts) {
    QStringList result;
    for (const TextMark& m : fullTextMarks(translateFullTextQuery(typed).match, texts))
        result << QString::number(m.text) + QLatin1Char(':') + texts[m.text].mid(m.start, m.length);
    return result;
}

TEST(FullTextMarks, PhrasesWholeWordsEverywherePrefixesAndAcrossTexts) {
    const QStringList entry{"Tree", "that tree; the tree of life, that Life",
                            "Gen. 2:9 TREE of LIFE"};
    EXPECT_EQ(marked("\"tree of life\"", entry), QStringList({"1:tree of life", "2:TREE of LIFE"}));
    EXPECT_EQ(marked("life tree", entry),
              QStringList({"0:Tree", "1:tree", "1:tree", "1:life", "1:Life", "2:TREE", "2:LIFE"}));
    EXPECT_EQ(marked("li*", entry), QStringList({"1:life", "1:Life", "2:LIFE"}));
    // A word in the headword and one in the text match together; a word in none, nothing.
    EXPECT_EQ(marked("tree gen", entry).size(), 5);
    EXPECT_TRUE(marked("tree oak", entry).isEmpty());
    // Places count in UTF-16 units, whatever the text holds before them.
    const QStringList odd{"x", QStringLiteral("\u00c9den \U0001D11E \x02 Éden"), ""};
    EXPECT_EQ(marked("eden", odd), QStringList({"1:\u00c9den", "1:Éden"}));
    EXPECT_TRUE(marked("", odd).isEmpty());
}

TEST(FullTextBuild, AFillCutShortKeepsEveryRowAndCarriesOnLater) {
    std::vector<EngineRow> rows;
    for (int i = 0; i < 250; ++i)
        rows.push_back({QStringLiteral("word%1").arg(i), QStringLiteral("text number%1").arg(i)});
    DictionaryFile file(rows);
    {
        sqlite::Connection db(file.path(), sqlite::OpenMode::ReadWrite);
        createFullTextIndex(db, kWordsSource);
        int steps = 0;
        const bool complete = fillFullTextIndex(
            db, kWordsSource, true, [&](const FullTextProgress&) { return ++steps < 2; }, 100);
        EXPECT_FALSE(complete); // stopped after two steps, as a crash would
        EXPECT_EQ(fullTextState(db, kWordsSource), FullTextState::Partial);
        // A row stored meanwhile in the part not yet filled is indexed once, not twice.
        db.exec("UPDATE words SET definition = 'changed' WHERE headword = 'word240'");
    }
    EXPECT_EQ(file.rowsOnDisk().size(), rows.size());
    auto dao = file.open(); // the file opens and reads as before
    EXPECT_EQ(dao->OpenRecordset("words", dbOpenTable)->RecordCount(), 250);

    sqlite::Connection db(file.path(), sqlite::OpenMode::ReadWrite);
    EXPECT_EQ(count(db, "SELECT count(*) FROM words_fts"), 201);
    EXPECT_TRUE(fillFullTextIndex(db, kWordsSource, true, {}, 100));
    EXPECT_EQ(fullTextState(db, kWordsSource), FullTextState::Complete);
    EXPECT_EQ(count(db, "SELECT count(*) FROM words_fts"), 250);
    EXPECT_EQ(found(db, "changed"), QStringList({"word240"}));
    EXPECT_EQ(found(db, "number7"), QStringList({"word7"}));
}

// Other programs may store rows under row ids 0 and below: a fill takes them in, and an index
// filled without them is not complete.
TEST(FullTextBuild, RowIdsAtAndBelowZeroAreIndexed) {
    DictionaryFile file({{"one", "positive"}});
    sqlite::Connection db(file.path(), sqlite::OpenMode::ReadWrite);
    db.exec("INSERT INTO words (rowid, headword, definition) VALUES (0, 'zero', 'nought'), "
            "(-5, 'minus', 'below'), (-9223372036854775808, 'lowest', 'bottom')");
    createFullTextIndex(db, kWordsSource);
    EXPECT_TRUE(fillFullTextIndex(db, kWordsSource, true, {}, 2));
    EXPECT_EQ(fullTextState(db, kWordsSource), FullTextState::Complete);
    EXPECT_EQ(found(db, "nought"), QStringList({"zero"}));
    EXPECT_EQ(found(db, "below"), QStringList({"minus"}));
    EXPECT_EQ(found(db, "bottom"), QStringList({"lowest"}));
    EXPECT_EQ(count(db, "SELECT count(*) FROM words_fts"), 4);

    // An index whose progress row claims it complete while it lacks them is filled again.
    db.exec("DELETE FROM words_fts WHERE rowid <= 0");
    db.exec("UPDATE tolvane_fulltext SET filled_through = 1, fill_target = 1");
    EXPECT_EQ(fullTextState(db, kWordsSource), FullTextState::Partial);
    EXPECT_TRUE(fillFullTextIndex(db, kWordsSource, true));
    EXPECT_EQ(fullTextState(db, kWordsSource), FullTextState::Complete);
    EXPECT_EQ(count(db, "SELECT count(*) FROM words_fts"), 4);
}

} // namespace
