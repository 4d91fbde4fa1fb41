// The Find menu through the real windows: finding words in entries and opening a result,
// following a word of an entry with a double-click, and Back and Forward across dictionaries.

#include "ShellFixture.h"

#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/EntryLinks.h"
#include "dictwindow/EntryMarks.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "find/FindResultList.h"
#include "find/FindWindow.h"
#include "shell/AboutDialog.h"
#include "shell/MainWindow.h"
#include "shell/WindowPlacement.h"
#include "support/DictionaryFiles.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>

using namespace tolvane;

namespace {

class FindTest : public test::ShellFixture {
protected:
    void SetUp() override {
        writeAllDictionaries();
        QString exodus; // the words sought far down a long entry, and parts of them before
        for (int i = 0; i < 120; ++i)
            exodus += QStringLiteral("he knew that the people groaned, line %1.\n").arg(i);
        exodus += QStringLiteral("He was assured that God would bless his resolution; that God "
                                 "would bless them he was ASSURED THAT GOD WOULD BLESS.");
        test::writeDictionaryFile(dir.path(), data::eastonsConfig(),
                                  {{"Moses", exodus},
                                   {"Aaron", "the brother of Moses"},
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
        waitForResults(w);
    }
    void waitForResults(find::FindWindow* w) {
        EXPECT_TRUE(QTest::qWaitFor([w] { return !w->isSearching(); }, 10000))
            << w->lblCount()->text().toStdString();
    }
    QStringList shownRows(find::FindWindow* w) {
        QStringList rows;
        auto* model = w->lstResults()->results();
        for (int i = 0; i < model->rowCount(); ++i)
            rows << model->data(model->index(i, 0), Qt::DisplayRole).toString();
        return rows;
    }
    // The marked places of the definition box, the current one in brackets.
    QStringList marks(const dictwindow::DictionaryControls& c) {
        QStringList texts;
        dictwindow::EntryMarks* m = window(data::eastonsConfig()).entryMarks();
        for (const auto& selection : c.txtSurname->extraSelections()) {
            const QString text = selection.cursor.selectedText();
            texts << (m && selection.cursor == m->currentCursor() ? "[" + text + "]" : text);
        }
        return texts;
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
    EXPECT_FALSE(action("mnuFindForward")->isEnabled()); // at the end
    QTest::keyClick(mainWindow(), Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(eastons().txtForename->text(), "Aaron");
    EXPECT_TRUE(fakes.messages->calls.empty());
}

// Closing the main window closes the Find window with it, so the program ends; the About
// dialog stays open as it always has.
TEST_F(FindTest, ClosingTheMainWindowClosesTheFindWindowButNotAbout) {
    openFind();
    choose("mnuAbout");
    ASSERT_TRUE(aboutDialog() && aboutDialog()->isVisible());
    mainWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(forms->findWindow(), nullptr);
    QStringList visible;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            visible << w->objectName();
    EXPECT_EQ(visible, QStringList{aboutDialog()->objectName()});
}

TEST_F(FindTest, CtrlQInTheFindWindowEndsTheProgram) {
    find::FindWindow* w = openFind();
    QTest::keyClick(w->txtFind(), Qt::Key_Q, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(forms->frmMain().isLoaded());
    EXPECT_FALSE(forms->frmFind().isLoaded());
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(top->isVisible()) << top->objectName().toStdString();
}

TEST_F(FindTest, TheFindWindowOpensWhollyOnTheMainWindowsScreen) {
    // Beside the main window where there is room, else within the screen.
    const QRect screen = mainWindow()->screen()->availableGeometry();
    for (int x : {screen.left(), screen.center().x() - mainWindow()->width() / 2,
                  screen.right() - mainWindow()->frameGeometry().width() + 1}) {
        SCOPED_TRACE(x);
        mainWindow()->move(x, screen.top());
        find::FindWindow* w = openFind();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        EXPECT_TRUE(screen.contains(w->frameGeometry()))
            << w->frameGeometry().x() << "+" << w->frameGeometry().width();
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The case reported: a main window leaving too little room on either side of a screen
    // 1600 pixels wide, and a window 480 wide in a frame of its own.
    const QRect wide(0, 0, 1600, 1200);
    EXPECT_EQ(shell::besideWindow({450, 100, 720, 320}, {484, 300}, wide, 8),
              QRect(0, 100, 484, 300));
    EXPECT_EQ(shell::besideWindow({300, 100, 480, 320}, {484, 300}, wide, 8),
              QRect(788, 100, 484, 300)); // right of it
    EXPECT_EQ(shell::besideWindow({1000, 100, 480, 320}, {484, 300}, wide, 8),
              QRect(508, 100, 484, 300)); // left of it
    EXPECT_EQ(shell::besideWindow({0, 1000, 480, 320}, {484, 300}, wide, 8),
              QRect(488, 900, 484, 300)); // up from the bottom
}

TEST_F(FindTest, ThisDictionarySearchesAgainInTheDictionaryOpenedNext) {
    choose("mnuDictionariesEastons");
    find::FindWindow* w = openFind();
    type(w, "meaning");
    EXPECT_EQ(w->lblCount()->text(), "0 entries"); // Easton's entries here say otherwise
    choose("mnuDictionariesKJV");
    waitForResults(w);
    EXPECT_EQ(w->lblCount()->text(), "5 entries");
    EXPECT_TRUE(shownRows(w).first().startsWith("KJV"));
}

TEST_F(FindTest, APhraseIsMarkedWhereItStandsWholeInTheSnippetAndTheEntry) {
    choose("mnuDictionariesEastons");
    find::FindWindow* w = openFind();
    // Between the typographic quotation marks a text pasted from elsewhere brings.
    w->txtFind()->insert(QStringLiteral("\u201cassured that god would bless\u201d"));
    waitForResults(w);
    ASSERT_EQ(shownRows(w).size(), 1);
    const QString snippet = w->lstResults()->results()->entry(0).snippet;
    EXPECT_EQ(snippet.count(find::kMatchStart), 1) << snippet.toStdString();
    EXPECT_TRUE(snippet.contains(QString(find::kMatchStart) + "assured that God would bless" +
                                 find::kMatchEnd))
        << snippet.toStdString();

    // Opened, the entry is scrolled to the first mark, each occurrence marked (the words
    // standing apart are not); F3 and Shift+F3 step round them, from the Find window too.
    QTest::keyClick(w->txtFind(), Qt::Key_Return);
    const auto& c = eastons();
    ASSERT_EQ(c.txtForename->text(), "Moses");
    EXPECT_EQ(marks(c),
              (QStringList{"[assured that God would bless]", "ASSURED THAT GOD WOULD BLESS"}));
    EXPECT_GT(c.txtSurname->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(c.txtSurname->viewport()->rect().contains(c.txtSurname->cursorRect()));
    EXPECT_TRUE(action("mnuFindNextMatch")->isEnabled());
    QTest::keyClick(w->txtFind(), Qt::Key_F3);
    EXPECT_EQ(marks(c),
              (QStringList{"assured that God would bless", "[ASSURED THAT GOD WOULD BLESS]"}));
    QTest::keyClick(w->txtFind(), Qt::Key_F3);
    EXPECT_EQ(marks(c).first(), "[assured that God would bless]"); // round the end
    QTest::keyClick(w->txtFind(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(marks(c).last(), "[ASSURED THAT GOD WOULD BLESS]");
    // In the palette's highlight colours: the current one in full, the other lighter.
    const QPalette palette = c.txtSurname->palette();
    const auto selections = c.txtSurname->extraSelections();
    EXPECT_EQ(selections.last().format.background().color(),
              palette.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(selections.last().format.foreground().color(),
              palette.color(QPalette::Active, QPalette::HighlightedText));
    EXPECT_NE(selections.first().format.background().color(),
              palette.color(QPalette::Active, QPalette::Base));

    // Words: every occurrence of each. Another entry takes the marks away.
    type(w, "god assured");
    QTest::keyClick(w->txtFind(), Qt::Key_Return);
    EXPECT_EQ(marks(c), (QStringList{"[assured]", "God", "God", "ASSURED", "GOD"}));
    clickItem(c.lstdata, "Moses");
    QCoreApplication::processEvents(); // the boxes drop the marks once the edit is over
    EXPECT_TRUE(marks(c).isEmpty());
    EXPECT_FALSE(action("mnuFindNextMatch")->isEnabled());
    // So does a change of the text (the editor's Add empties the boxes).
    QTest::keyClick(w->txtFind(), Qt::Key_Return);
    ASSERT_EQ(marks(c).size(), 5);
    window(data::eastonsConfig()).cmdAdd_Click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(marks(c).isEmpty());
    window(data::eastonsConfig()).cmdcancel_Click();
}

// Back and Forward, and the zoom, are enabled only when they can act.
TEST_F(FindTest, CommandsAreEnabledOnlyWhenTheyCanAct) {
    QAction* back = action("mnuFindBack");
    QAction* forward = action("mnuFindForward");
    EXPECT_FALSE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());
    EXPECT_FALSE(action("mnuViewZoomIn")->isEnabled());
    choose("mnuDictionariesEastons");
    EXPECT_TRUE(action("mnuViewZoomIn")->isEnabled());
    clickItem(eastons().lstdata, "Aaron");
    EXPECT_FALSE(back->isEnabled()); // one entry: nothing before it
    clickItem(eastons().lstdata, "Abel");
    EXPECT_TRUE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());
    choose("mnuFindBack");
    EXPECT_FALSE(back->isEnabled());
    EXPECT_TRUE(forward->isEnabled());

    choose("mnuViewZoomIn");
    EXPECT_EQ(window(data::eastonsConfig()).entryZoomPercent(), 110);
    choose("mnuViewZoomNormal");
    EXPECT_EQ(window(data::eastonsConfig()).entryZoomPercent(), 100);
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
