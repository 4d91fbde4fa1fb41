// The Find menu through the real windows: finding words in entries and opening a result,
// following a word of an entry with a double-click, and Back and Forward across dictionaries.

#include "ShellFixture.h"

#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/EntryLinks.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "find/FindResultList.h"
#include "find/FindWindow.h"
#include "shell/MainWindow.h"
#include "support/DictionaryFiles.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>

using namespace tolvane;

namespace {

class FindTest : public test::ShellFixture {
protected:
    void SetUp() override {
        writeAllDictionaries();
        test::writeDictionaryFile(dir.path(), data::eastonsConfig(),
                                  {{"Aaron", "the brother of Moses"},
                                   {"Abel", "a meadow; the first Abel"},
                                   {"Abel", "a city near the meadow, the second Abel"},
                                   {"Melchizedek", "king of Salem and priest (See PRIEST.)"},
                                   {"Priest", "one who offers sacrifice"},
                                   {"Priesthood", "the office of a priest"}});
        startProgram();
    }

    dictwindow::DictionaryWindow& window(const data::DictionaryConfig& config) {
        return forms->dictionaryWindow(config);
    }
    const dictwindow::DictionaryControls& eastons() {
        return window(data::eastonsConfig()).controls();
    }
    QStringList listed(const dictwindow::DictionaryControls& c) {
        QStringList items;
        for (int i = 0; i < c.lstdata->ListCount(); ++i)
            items << c.lstdata->List(i);
        return items;
    }
    void clickItem(dictwindow::WordList* list, const QString& item) {
        for (int i = 0; i < list->ListCount(); ++i)
            if (list->List(i) == item) {
                const QRect r = list->visualRect(list->model()->index(i, 0));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
                return;
            }
        ADD_FAILURE() << "no item " << item.toStdString();
    }
    // Double-clicks the first place `word` stands in the box.
    void doubleClickWord(QPlainTextEdit* box, const QString& word) {
        const QTextCursor found = box->document()->find(word);
        ASSERT_FALSE(found.isNull());
        QTextCursor inside(box->document());
        inside.setPosition(found.selectionStart() + 1);
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, box->cursorRect(inside).center());
    }
    find::FindWindow* openFind() {
        choose("mnuFindEntries");
        find::FindWindow* w = forms->findWindow();
        EXPECT_NE(w, nullptr);
        EXPECT_TRUE(w && w->isWindow() && w->isVisible()); // a window of its own
        return w;
    }
    // Types into the Find window and waits for the results or a note.
    void type(find::FindWindow* w, const QString& text) {
        w->txtFind()->clear();
        QTest::keyClicks(w->txtFind(), text);
        EXPECT_TRUE(QTest::qWaitFor([w] { return !w->isSearching(); }, 10000))
            << w->lblCount()->text().toStdString();
    }
};

TEST_F(FindTest, OpeningAResultOpensItsDictionaryOnTheRightOneOfEqualHeadwords) {
    choose("mnuDictionariesKJV");
    find::FindWindow* w = openFind();
    w->optAllDictionaries()->click();
    type(w, "CITY meadow");
    EXPECT_EQ(w->lblCount()->text(), "1 entry");
    auto* results = w->lstResults();
    ASSERT_EQ(results->results()->rowCount(), 1);
    EXPECT_EQ(results->results()->data(results->results()->index(0, 0), Qt::DisplayRole).toString(),
              "Easton's  Abel  a city near the meadow, the second Abel");

    const QRect row = results->visualRect(results->results()->index(0, 0));
    // A double-click is a click and then the second press.
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane - Easton's Bible Dictionary");
    EXPECT_FALSE(forms->Form1().isLoaded()); // the same command as the menu item
    const auto& c = eastons();
    EXPECT_EQ(c.txtSearch->text(), "Abel");
    EXPECT_EQ(listed(c), (QStringList{"Abel", "Abel"}));
    EXPECT_EQ(c.lstdata->ListIndex(), 1);
    EXPECT_EQ(c.txtForename->text(), "Abel");
    EXPECT_EQ(c.txtSurname->toPlainText(), "a city near the meadow, the second Abel");
    EXPECT_TRUE(fakes.messages->calls.empty());
}

TEST_F(FindTest, ThisDictionaryPhrasesPrefixesAndMalformedQueries) {
    choose("mnuDictionariesEastons");
    find::FindWindow* w = openFind();
    EXPECT_TRUE(w->optThisDictionary()->isChecked());
    type(w, "\"the second abel\"");
    EXPECT_EQ(w->lblCount()->text(), "1 entry");
    type(w, "priest*");
    EXPECT_EQ(w->lblCount()->text(), "3 entries");
    for (const char* malformed : {"\"the second", "*", "bl*ss"}) {
        type(w, malformed);
        EXPECT_FALSE(w->lblCount()->text().isEmpty()) << malformed;
        EXPECT_FALSE(w->lblCount()->text().contains(QRegularExpression("[0-9]"))) << malformed;
        EXPECT_EQ(w->lstResults()->results()->rowCount(), 0);
    }
    EXPECT_TRUE(fakes.messages->calls.empty()); // a note in the window, never a message box
}

TEST_F(FindTest, ADoubleClickedWordIsLookedUpAndAWordNoHeadwordBeginsWithChangesNothing) {
    choose("mnuDictionariesEastons");
    find::FindWindow* w = openFind();
    const auto& c = eastons();
    clickItem(c.lstdata, "Melchizedek");
    ASSERT_EQ(c.txtForename->text(), "Melchizedek");

    doubleClickWord(c.txtSurname, "PRIEST.)");
    EXPECT_EQ(c.txtSearch->text(), "PRIEST");
    EXPECT_EQ(listed(c), (QStringList{"Priest", "Priesthood"}));
    EXPECT_EQ(c.txtForename->text(), "Priest");
    EXPECT_EQ(c.txtSurname->toPlainText(), "one who offers sacrifice");

    doubleClickWord(c.txtSurname, "sacrifice");
    EXPECT_EQ(c.txtSearch->text(), "PRIEST"); // nothing changes
    EXPECT_EQ(listed(c), (QStringList{"Priest", "Priesthood"}));
    EXPECT_EQ(c.txtForename->text(), "Priest");
    EXPECT_EQ(w->lblCount()->text(), "No headword begins with \"sacrifice\".");
    EXPECT_TRUE(fakes.messages->calls.empty());
}

TEST_F(FindTest, BackAndForwardMoveAcrossADictionarySwitch) {
    choose("mnuDictionariesKJV");
    clickItem(window(data::kingJamesConfig()).controls().lstdata, "BEWRAY");
    choose("mnuDictionariesEastons");
    clickItem(eastons().lstdata, "Aaron");

    choose("mnuFindBack");
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane - King James Dictionary of Archaic Words");
    EXPECT_FALSE(forms->frmEastons().isLoaded());
    EXPECT_EQ(window(data::kingJamesConfig()).controls().txtForename->text(), "BEWRAY");

    QTest::keyClick(mainWindow(), Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(mainWindow()->windowTitle(), "Tolvane - Easton's Bible Dictionary");
    EXPECT_EQ(eastons().txtForename->text(), "Aaron");

    QTest::mousePress(mainWindow(), Qt::BackButton);
    EXPECT_EQ(window(data::kingJamesConfig()).controls().txtForename->text(), "BEWRAY");
    choose("mnuFindForward");
    EXPECT_EQ(eastons().txtForename->text(), "Aaron");
    choose("mnuFindForward"); // at the end: nothing happens
    EXPECT_EQ(eastons().txtForename->text(), "Aaron");
    EXPECT_TRUE(fakes.messages->calls.empty());
}

TEST_F(FindTest, AnEntryLinkFollowedGoesIntoTheHistoryAndBackReturns) {
    choose("mnuDictionariesEastons");
    const auto& c = eastons();
    clickItem(c.lstdata, "Melchizedek");
    const QTextCursor found =
        c.txtSurname->document()->find("PRIEST", 0, QTextDocument::FindCaseSensitively);
    QTextCursor inside(c.txtSurname->document());
    inside.setPosition(found.selectionStart() + 2);
    auto* links = window(data::eastonsConfig()).definitionLinks();
    ASSERT_EQ(links->links().size(), 1u);
    ASSERT_NE(links->linkAt(c.txtSurname->cursorRect(inside).center() + QPoint(1, 0)), nullptr);
    QTest::mouseClick(c.txtSurname->viewport(), Qt::LeftButton, {},
                      c.txtSurname->cursorRect(inside).center() + QPoint(1, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return c.txtForename->text() == "Priest"; }, 3000));
    EXPECT_EQ(listed(c), (QStringList{"Priest", "Priesthood"}));
    EXPECT_EQ(c.lstdata->List(c.lstdata->ListIndex()), "Priest");

    choose("mnuFindBack");
    EXPECT_EQ(c.txtForename->text(), "Melchizedek");
    EXPECT_EQ(c.txtSurname->toPlainText(), "king of Salem and priest (See PRIEST.)");
    EXPECT_TRUE(fakes.messages->calls.empty());
}

} // namespace
