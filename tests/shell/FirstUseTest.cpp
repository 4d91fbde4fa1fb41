// What a new reader runs into first: the empty main window says how to begin, Ctrl+F on an
// open Find window selects its text, and a Find result opened over a main window that covers
// Find takes the keyboard there.

#include "ShellFixture.h"

#include "dictwindow/DictionaryWindow.h"
#include "find/FindResultList.h"
#include "find/FindWindow.h"
#include "shell/MainWindow.h"
#include "shell/Workspace.h"
#include "support/DictionaryFiles.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using namespace tolvane;

namespace {

class FirstUseTest : public test::ShellFixture {
protected:
    void SetUp() override {
        writeAllDictionaries();
        test::writeDictionaryFile(dir.path(), data::eastonsConfig(),
                                  {{"Abel", "a meadow; the first Abel"},
                                   {"Abel", "a city near the meadow, the second Abel"},
                                   {"Priest", "one who offers sacrifice"}});
        startProgram();
    }
    find::FindWindow* openFind(const QString& text) {
        choose("mnuFindEntries");
        find::FindWindow* w = forms->findWindow();
        EXPECT_NE(w, nullptr);
        w->txtFind()->clear();
        QTest::keyClicks(w->txtFind(), text);
        EXPECT_TRUE(QTest::qWaitFor([w] { return !w->isSearching(); }, 10000));
        return w;
    }
};

TEST_F(FirstUseTest, EmptyMainWindowSaysHowToBeginUntilADictionaryIsOpen) {
    QWidget* note = mainWindow()->workspace()->welcomeNote();
    ASSERT_TRUE(QTest::qWaitFor([&] { return note->isVisible(); }));
    const QString text = static_cast<QLabel*>(note)->text();
    for (const char* words : {"Dictionaries menu", "Get Dictionaries...", "Find in Entries"})
        EXPECT_TRUE(text.contains(QLatin1String(words))) << words;
    EXPECT_TRUE(mainWindow()->workspace()->viewport()->rect().contains(note->geometry()));

    choose(QStringLiteral("mnuDictionariesEastons"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !note->isVisible(); }));
    forms->dictionaryForm(data::eastonsConfig()).Unload();
    EXPECT_TRUE(QTest::qWaitFor([&] { return note->isVisible(); }));
}

// Ctrl+F again selects the text, so that a new search replaces the old one.
TEST_F(FirstUseTest, CtrlFOnAnOpenFindWindowSelectsItsText) {
    find::FindWindow* w = openFind("meadow");
    QTest::keyClick(w->lstResults(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(w->txtFind()->hasFocus());
    QTest::keyClicks(w->txtFind(), "priest");
    EXPECT_EQ(w->txtFind()->text(), "priest");
}

// The keyboard goes to the window shown, not to the Find window hidden behind it.
TEST_F(FirstUseTest, AResultOpenedOverAMaximizedMainWindowTakesTheKeyboardThere) {
    choose("mnuFindEntries");
    forms->findWindow()->optAllDictionaries()->click();
    find::FindWindow* w = openFind("meadow city");
    mainWindow()->showMaximized();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == w; }));
    QTest::keyClick(w->txtFind(), Qt::Key_Down);
    QTest::keyClick(w->lstResults(), Qt::Key_Return);
    EXPECT_EQ(forms->dictionaryWindow(data::eastonsConfig()).controls().txtForename->text(),
              "Abel");
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == mainWindow(); }));
}

} // namespace
