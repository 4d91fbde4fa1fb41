// Opening a dictionary, the word list fill with its "No Records Found" shortening, and the
// search box.

#include "WindowFixture.h"

#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "engine/EngineError.h"
#include "platform/ErrorGuard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

namespace tolvane::test {
namespace {

using data::kingJamesConfig;

const QString kNoRecords = QStringLiteral("Error/0: No Records Found");
const QString kPrompt = QStringLiteral("Enter word here...");

QStringList repeated(const QString& line, int times) {
    QStringList lines;
    for (int i = 0; i < times; ++i)
        lines << line;
    return lines;
}

class SearchTest : public WindowFixture {
protected:
    void SetUp() override { open(kingJamesConfig(), rows); }
    std::vector<DictRow> rows = sampleRows();
};

TEST_F(SearchTest, OpeningListsEveryHeadwordSortedLeavingOutMissingOnes) {
    EXPECT_EQ(listItems(), sortedHeadwords(rows));
    EXPECT_EQ(listItems().size(), int(rows.size()) - 1); // the row without a headword
    EXPECT_TRUE(messageLog().isEmpty());
    EXPECT_EQ(c().txtSearch->text(), kPrompt);
    EXPECT_EQ(win().rs->Type(), engine::dbOpenTable);
    EXPECT_TRUE(win().rs->isEOF()); // listed to the end: no current row
}

// A whole list replacing a whole list: the set it replaces is closed before the new one is
// read, so two whole tables are never held at once.
TEST_F(SearchTest, EmptyingTheBoxClosesTheWholeListItReplaces) {
    const auto before = win().rs;
    c().txtSearch->setText(QString());
    EXPECT_NE(win().rs, before);
    try {
        before->RecordCount();
        ADD_FAILURE() << "the replaced set is still open";
    } catch (const NumberedError& e) {
        EXPECT_EQ(e.number(), engine::err::ObjectClosed);
    }
    EXPECT_EQ(listItems(), sortedHeadwords(rows));
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_F(SearchTest, FirstActivationSelectsThePromptSoTheFirstKeyReplacesIt) {
    EXPECT_EQ(c().txtSearch->selectedText(), kPrompt);
    EXPECT_EQ(QApplication::focusWidget(), c().txtSearch);
    typeKeys(QStringLiteral("a"));
    EXPECT_EQ(c().txtSearch->text(), QStringLiteral("a"));
    EXPECT_EQ(listItems(), headwordsBeginningWith(rows, QStringLiteral("a")));
    typeKeys(QStringLiteral("b"));
    EXPECT_EQ(listItems(), headwordsBeginningWith(rows, QStringLiteral("ab")));
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_F(SearchTest, ActivationAgainSelectsFromTheCaretToTheEnd) {
    typeKeys(QStringLiteral("abi"));
    pressKey(Qt::Key_Home);
    pressKey(Qt::Key_Right);
    win().Form_Activate();
    EXPECT_EQ(c().txtSearch->selectedText(), QStringLiteral("bi"));
    EXPECT_EQ(c().txtSearch->text(), QStringLiteral("abi"));
    EXPECT_EQ(QApplication::focusWidget(), c().txtSearch);
}

TEST_F(SearchTest, TypingAfterThePromptShortensOneCharacterPerMessage) {
    pressKey(Qt::Key_End);
    typeKeys(QStringLiteral("x"));
    // "Enter word here...x" down to "Ent", the longest prefix that begins a headword.
    EXPECT_EQ(messageLog(), repeated(kNoRecords, int(kPrompt.size()) + 1 - 3));
    EXPECT_EQ(c().txtSearch->text(), QStringLiteral("Ent"));
    EXPECT_EQ(listItems(), QStringList{QStringLiteral("Entreat")});
    EXPECT_EQ(listFills(), 2); // the load, then once for the whole shortening
}

TEST_F(SearchTest, OneShorteningKeepsTheMatchingPrefix) {
    typeKeys(QStringLiteral("abx"));
    EXPECT_EQ(messageLog(), QStringList{kNoRecords});
    EXPECT_EQ(c().txtSearch->text(), QStringLiteral("ab"));
    EXPECT_EQ(listItems(), headwordsBeginningWith(rows, QStringLiteral("ab")));
    EXPECT_EQ(win().messageAnswer(), 1);
}

TEST_F(SearchTest, KShorteningsEndWithTheWholeTable) {
    resetCounters();
    c().txtSearch->setText(QStringLiteral("qzq"));
    EXPECT_EQ(messageLog(), repeated(kNoRecords, 3));
    EXPECT_EQ(c().txtSearch->text(), QString());
    EXPECT_EQ(listItems(), sortedHeadwords(rows));
    EXPECT_EQ(win().rs->Type(), engine::dbOpenTable);
    EXPECT_EQ(listFills(), 1);
}

TEST_F(SearchTest, EmptyingTheBoxListsTheWholeTable) {
    typeKeys(QStringLiteral("ab"));
    pressKey(Qt::Key_Backspace);
    EXPECT_EQ(listItems(), headwordsBeginningWith(rows, QStringLiteral("a")));
    pressKey(Qt::Key_Backspace);
    EXPECT_EQ(listItems(), sortedHeadwords(rows));
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_F(SearchTest, PatternCharactersActAsTheEnginesPatterns) {
    struct Case {
        QString text;
        QStringList expected;
    } cases[] = {
        {QStringLiteral("a?a"), {QStringLiteral("ABASE"), QStringLiteral("Abate")}},
        {QStringLiteral("*ide"), {QStringLiteral("abide")}},
        {QStringLiteral("#"), {QStringLiteral("1 Esdras")}},
        {QStringLiteral("[by]e"), {QStringLiteral("Bewray"), QStringLiteral("Bewray")}},
        {QStringLiteral("[!a-c]n"), {QStringLiteral("Entreat")}},
    };
    for (const auto& k : cases) {
        c().txtSearch->setText(k.text);
        EXPECT_EQ(listItems(), k.expected) << k.text.toStdString();
        EXPECT_EQ(c().txtSearch->text(), k.text);
    }
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_F(SearchTest, NoTypedTextRaisesAnyMessageButNoRecordsFound) {
    const QStringList texts{QStringLiteral("["),  QStringLiteral("a["),  QStringLiteral("]"),
                            QStringLiteral("[!"), QStringLiteral("[z-a]"), QStringLiteral("%"),
                            QStringLiteral("_"),  QStringLiteral("'"),   QStringLiteral("''"),
                            QStringLiteral("\""), QStringLiteral("\\"),  QStringLiteral("a' OR '1'='1"),
                            QStringLiteral("*"),  QStringLiteral("?"),   QStringLiteral("&"),
                            QStringLiteral("ab'& '"), QStringLiteral("\t"), QStringLiteral("é")};
    for (const QString& t : texts) {
        c().txtSearch->setText(QString());
        resetCounters();
        c().txtSearch->insert(t); // as pasted
        for (const QString& line : messageLog())
            EXPECT_EQ(line, kNoRecords) << "typing " << t.toStdString();
    }
}

TEST_F(SearchTest, SingleQuoteInTheSearchTextFindsTheHeadword) {
    c().txtSearch->setText(QString());
    typeKeys(QStringLiteral("aaron's"));
    EXPECT_EQ(listItems(), QStringList{QStringLiteral("Aaron's rod")});
    EXPECT_TRUE(messageLog().isEmpty());
}

TEST_F(SearchTest, AssigningTheSameTextRunsNothingAndADifferentOneRunsTheSearchAtOnce) {
    c().txtSearch->setText(QStringLiteral("b"));
    const auto before = win().rs;
    resetCounters();
    c().txtSearch->setText(QStringLiteral("b"));
    EXPECT_EQ(win().rs, before);
    EXPECT_EQ(listFills(), 0);
    c().txtSearch->setText(QStringLiteral("br"));
    EXPECT_NE(win().rs, before); // replaced before setText returned
    EXPECT_EQ(listItems(), QStringList{QStringLiteral("BRUIT")});
    // Filling the list never runs the click handler.
    EXPECT_FALSE(c().cmdEdit->isEnabled());
    EXPECT_EQ(c().txtForename->text(), QString());
}

TEST_F(SearchTest, AHugePastedTextShortensWithoutDeepRecursionAndFillsTheListOnce) {
    const int length = 20000;
    resetCounters();
    QElapsedTimer timer;
    timer.start();
    c().txtSearch->setText(QString(length, QChar(u'~')));
    EXPECT_EQ(messageCount(), length);
    EXPECT_EQ(c().txtSearch->text(), QString());
    EXPECT_EQ(listItems(), sortedHeadwords(rows));
    EXPECT_EQ(listFills(), 1);
    EXPECT_LT(timer.elapsed(), 60000) << "shortening took " << timer.elapsed() << " ms";
}

TEST_F(SearchTest, AHugePastedTextStopsAtItsLongestPrefixThatFindsRows) {
    // A long headword, so that the prefix that finds rows is itself too long to show.
    const QString longWord = QString(1500, QChar(u'l'));
    auto extra = rows;
    extra.push_back({longWord, QStringLiteral("long"), QStringLiteral("x")});
    writeDictionaryFile(dir.path(), kingJamesConfig(), extra);
    load(kingJamesConfig());
    for (const QString& tail : {QString(3000, QChar(u'~')), QStringLiteral("*") + QString(2000, QChar(u'~'))}) {
        SCOPED_TRACE(tail.left(1).toStdString());
        const QString head = longWord.left(1200);
        resetCounters();
        c().txtSearch->setText(head + tail);
        const int kept = tail.startsWith(u'*') ? 1 : 0; // "lll...*" finds the long word too
        EXPECT_EQ(messageCount(), int(tail.size()) - kept);
        EXPECT_EQ(c().txtSearch->text(), head + tail.left(kept));
        EXPECT_EQ(listItems(), QStringList{longWord});
        EXPECT_EQ(listFills(), 1);
    }
}

class EmptyTableTest : public WindowFixture {};

TEST_F(EmptyTableTest, AnEmptyTableEndsInAnEmptyListWithoutAnError) {
    open(kingJamesConfig(), {});
    // One message for the whole table, one per shorter prompt, one for the table again.
    EXPECT_EQ(messageLog(), repeated(kNoRecords, int(kPrompt.size()) + 1));
    EXPECT_EQ(listItems(), QStringList());
    EXPECT_EQ(c().txtSearch->text(), QString());
    resetCounters();
    typeKeys(QStringLiteral("a"));
    EXPECT_EQ(messageLog(), repeated(kNoRecords, 2));
    EXPECT_EQ(listItems(), QStringList());
}

TEST_F(EmptyTableTest, DeletingTheLastRowLeavesAnEmptyList) {
    open(kingJamesConfig(), {{QStringLiteral("ONLY"), QStringLiteral("one"), QStringLiteral("x")}});
    c().txtSearch->setText(QString());
    clickHeadword(QStringLiteral("ONLY"));
    fakes.messages->queueAnswer(6);
    resetCounters();
    guarded(&dictwindow::DictionaryWindow::cmdDelete_Click);
    EXPECT_EQ(messageLog(),
              (QStringList{QStringLiteral("Delete Record/4: Are You Sure You Want To Delete This Record"),
                           kNoRecords}));
    EXPECT_EQ(listItems(), QStringList());
    EXPECT_EQ(storedCount(), 0);
}

class OpeningFailureTest : public WindowFixture {};

TEST_F(OpeningFailureTest, AMissingFileIsNamedAndTheWindowDoesNotOpen) {
    dictwindow::DictionaryWindow window(kingJamesConfig());
    std::unique_ptr<QWidget> form(window.createControls());
    try {
        window.Form_Load();
        FAIL() << "opened a missing file";
    } catch (const NumberedError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("db2.mdb"))) << e.message().toStdString();
    }
    EXPECT_EQ(window.db, nullptr);
    // Through the handler guard: one report, and the program goes on.
    platform::runGuarded([&] { window.Form_Load(); });
    ASSERT_EQ(messageCount(), 1);
    EXPECT_EQ(fakes.messages->calls[0].title, QStringLiteral("Tolvane"));
    EXPECT_TRUE(fakes.messages->calls[0].text.contains(dir.filePath(QStringLiteral("db2.mdb"))));

    // Another dictionary still opens.
    open(data::hitchcockConfig(), {{QStringLiteral("Aaron"), QStringLiteral("a teacher")}});
    EXPECT_EQ(listItems(), QStringList{QStringLiteral("Aaron")});
}

TEST_F(OpeningFailureTest, AForeignOrUnreadableFileIsNamedWithItsCause) {
    writeFile(dir.filePath(QStringLiteral("db2.mdb")), QByteArray("Standard Jet DB\0garbage", 23));
    dictwindow::DictionaryWindow window(kingJamesConfig());
    std::unique_ptr<QWidget> form(window.createControls());
    platform::runGuarded([&] { window.Form_Load(); });
    ASSERT_EQ(messageCount(), 1);
    EXPECT_TRUE(fakes.messages->calls[0].text.contains(QStringLiteral("db2.mdb")))
        << fakes.messages->calls[0].text.toStdString();
    EXPECT_EQ(window.db, nullptr);

    // A database of the right kind that lacks the table.
    writeDictionaryFile(dir.path(), data::eastonsConfig(), {});
    QFile::remove(dir.filePath(QStringLiteral("db2.mdb")));
    QFile::rename(dir.filePath(QStringLiteral("data.mdb")), dir.filePath(QStringLiteral("db2.mdb")));
    resetCounters();
    platform::runGuarded([&] { window.Form_Load(); });
    ASSERT_EQ(messageCount(), 1);
    EXPECT_TRUE(fakes.messages->calls[0].text.contains(QStringLiteral("data1")))
        << fakes.messages->calls[0].text.toStdString();
    EXPECT_EQ(window.db, nullptr);
}

} // namespace
} // namespace tolvane::test
