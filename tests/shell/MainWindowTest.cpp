// The main window as the user meets it: start-up, the three menus, opening dictionaries
// through the Dictionaries menu, and the Website command.

#include "ShellFixture.h"

#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "platform/Twips.h"
#include "shell/AboutDialog.h"
#include "shell/MainWindow.h"
#include "shell/MenuKeys.h"
#include "shell/Workspace.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QSet>
#include <QTest>
#include <map>

using namespace tolvane;
using tolvane::platform::pixelsToTwips;

namespace {

class MainWindowTest : public test::ShellFixture {
protected:
    dictwindow::DictionaryWindow& kjv() { return forms->dictionaryWindow(data::kingJamesConfig()); }
    dictwindow::DictionaryWindow& eastons() {
        return forms->dictionaryWindow(data::eastonsConfig());
    }
    dictwindow::DictionaryWindow& hitchcock() {
        return forms->dictionaryWindow(data::hitchcockConfig());
    }
    QStringList loadedDictionaries() {
        QStringList names;
        for (const auto* config : data::allConfigs())
            if (forms->dictionaryForm(*config).isLoaded())
                names << config->windowName;
        return names;
    }
    QStringList listed(dictwindow::DictionaryWindow& w) {
        QStringList items;
        for (int i = 0; i < w.controls().lstdata->ListCount(); ++i)
            items << w.controls().lstdata->List(i);
        return items;
    }
};

TEST_F(MainWindowTest, StartsAsTolvaneWithThreeMenusAndNoChildWindow) {
    startProgram();
    shell::MainWindow* main = mainWindow();
    EXPECT_EQ(main->objectName(), QStringLiteral("frmMain"));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Tolvane"));
    EXPECT_EQ(pixelsToTwips(main->frameGeometry().width()), 6945);
    // 4600 twips is 306.7 pixels; the nearest whole pixel is 307.
    EXPECT_EQ(main->frameGeometry().height(), platform::twipsToPixels(4600));
    EXPECT_EQ(main->windowState(), Qt::WindowNoState);
    EXPECT_TRUE(main->workspace()->subWindowList().isEmpty());
    EXPECT_FALSE(main->windowIcon().isNull());

    QStringList titles;
    for (QAction* a : main->menuBar()->actions())
        titles << shell::plainCaption(a->text());
    // The original three, then the added Find and View menus.
    EXPECT_EQ(titles, (QStringList{"Dictionaries", "About", "Website", "Find", "View"}));
    EXPECT_EQ(action("mnuAbout")->menu(), nullptr) << "About is a command, not a menu";
}

TEST_F(MainWindowTest, UserResizeIsKeptWhenTheWindowMoves) {
    startProgram();
    mainWindow()->resize(600, 420);
    mainWindow()->move(mainWindow()->pos() + QPoint(15, 10));
    QCoreApplication::processEvents();
    EXPECT_EQ(mainWindow()->size(), QSize(600, 420));
}

// The captions are drawn exactly as written; every menu and item has an access key of its own
// within its menu, and the commands that can act only later start disabled.
TEST_F(MainWindowTest, MenuItemsHaveTheirCaptionsAccessKeysAndShortcuts) {
    startProgram();
    auto items = [this](const char* menuName) {
        QStringList list;
        for (QAction* a : mainWindow()->findChild<QMenu*>(menuName)->actions())
            list << (a->isSeparator()
                         ? QStringLiteral("-")
                         : a->objectName() + QStringLiteral("=") + shell::plainCaption(a->text()));
        return list;
    };
    EXPECT_EQ(
        items("mnuDictionaries"),
        (QStringList{
            "mnuDictionariesKJV=KJV Archaic Words",
            "mnuDictioanariesHitchcock=Hitchcocks Bible Names",
            "mnuDictionariesEastons=Easton's Bible Dictionary", "-",
            "mnuDictionariesGet=Get Dictionaries...", "-", "mnuDictionariesPrint=Print Entry...",
            "mnuDictionariesPdf=Save Entry as PDF...", "mnuDictionariesCopy=Copy Entry",
            "mnuDictionariesExport=Export Dictionary as CSV...", "-", "mnuDictionariesExit=Exit"}));
    EXPECT_EQ(items("mnuWebsite"), (QStringList{"mnuWebsiteMore=More Freeware from Kestrane"}));
    EXPECT_EQ(items("mnuFind"),
              (QStringList{"mnuFindEntries=Find in Entries...", "mnuFindBack=Back",
                           "mnuFindForward=Forward", "-", "mnuFindNextMatch=Next Match",
                           "mnuFindPreviousMatch=Previous Match"}));
    EXPECT_EQ(items("mnuView"), (QStringList{"mnuViewZoomIn=Zoom In", "mnuViewZoomOut=Zoom Out",
                                             "mnuViewZoomNormal=Normal Size"}));

    const std::map<QString, QKeySequence> shortcuts{
        {"mnuDictionariesExit", QKeySequence("Ctrl+Q")},
        {"mnuDictionariesPrint", QKeySequence("Ctrl+P")},
        {"mnuDictionariesCopy", QKeySequence("Ctrl+Shift+C")},
        {"mnuFindEntries", QKeySequence("Ctrl+F")},
        {"mnuFindBack", QKeySequence("Alt+Left")},
        {"mnuFindForward", QKeySequence("Alt+Right")},
        {"mnuFindNextMatch", QKeySequence("F3")},
        {"mnuFindPreviousMatch", QKeySequence("Shift+F3")}};
    // Nothing to go back to, no entry to zoom, no marks to step through.
    const QSet<QString> disabled{"mnuFindBack",         "mnuFindForward",    "mnuViewZoomIn",
                                 "mnuViewZoomOut",      "mnuViewZoomNormal", "mnuFindNextMatch",
                                 "mnuFindPreviousMatch"};
    std::map<QWidget*, QSet<QKeySequence>> accessKeys; // per menu, and the bar
    for (QAction* a : mainWindow()->findChildren<QAction*>()) {
        if (a->objectName().isEmpty() || a->isSeparator())
            continue; // Qt's own actions
        SCOPED_TRACE(a->objectName().toStdString());
        const QKeySequence accessKey = QKeySequence::mnemonic(a->text());
        EXPECT_FALSE(accessKey.isEmpty());
        for (QObject* in : a->associatedObjects()) {
            auto* menu = qobject_cast<QWidget*>(in);
            ASSERT_NE(menu, nullptr);
            EXPECT_FALSE(accessKeys[menu].contains(accessKey))
                << accessKey.toString().toStdString();
            accessKeys[menu].insert(accessKey);
        }
        const auto shortcut = shortcuts.find(a->objectName());
        EXPECT_EQ(a->shortcut(), shortcut == shortcuts.end() ? QKeySequence() : shortcut->second);
        EXPECT_EQ(a->isEnabled(), !disabled.contains(a->objectName()));
        EXPECT_TRUE(a->isVisible());
        EXPECT_FALSE(a->isCheckable());
    }
    EXPECT_EQ(QKeySequence::mnemonic(action("mnuDictionaries")->text()), QKeySequence("Alt+D"));
}

TEST_F(MainWindowTest, EachDictionaryCommandShowsItsWindowAtTopLeftAndClosesTheOthers) {
    writeAllDictionaries();
    startProgram();
    struct Case {
        const char* item;
        const data::DictionaryConfig* shown;
        const char* caption;
    };
    const Case cases[] = {
        {"mnuDictionariesKJV", &data::kingJamesConfig(),
         "Tolvane - King James Dictionary of Archaic Words"},
        {"mnuDictionariesEastons", &data::eastonsConfig(), "Tolvane - Easton's Bible Dictionary"},
        {"mnuDictioanariesHitchcock", &data::hitchcockConfig(),
         "Tolvane - Hitchcock's Bible Names"},
        {"mnuDictionariesKJV", &data::kingJamesConfig(),
         "Tolvane - King James Dictionary of Archaic Words"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        choose(QString::fromLatin1(c.item));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(mainWindow()->windowTitle(), QString::fromUtf8(c.caption));
        EXPECT_EQ(loadedDictionaries(), QStringList{c.shown->windowName});
        const auto subs = mainWindow()->workspace()->subWindowList();
        ASSERT_EQ(subs.size(), 1);
        QMdiSubWindow* sub = subs.first();
        EXPECT_EQ(sub, forms->dictionaryForm(*c.shown).widget());
        EXPECT_TRUE(sub->isVisible());
        EXPECT_EQ(sub->pos(), QPoint(0, 0));
        EXPECT_TRUE(sub->windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_EQ(sub->widget()->objectName(), c.shown->windowName);
        EXPECT_EQ(sub->widget()->geometry(), QRect(QPoint(0, 0), sub->size()))
            << "the window is its client area: no frame, no title bar";
        EXPECT_EQ(listed(forms->dictionaryWindow(*c.shown)), [&] {
            QStringList words = headwordsOf(*c.shown);
            std::sort(words.begin(), words.end(), [](const QString& a, const QString& b) {
                return QString::compare(a, b, Qt::CaseInsensitive) < 0;
            });
            return words;
        }());
    }
    EXPECT_TRUE(fakes.messages->calls.empty());
}

TEST_F(MainWindowTest, FirstCommandLeavesTheTwoNeverOpenedWindowsUnloadedAndTheirFilesUntouched) {
    test::writeDictionary(dir.path(), data::kingJamesConfig(),
                          headwordsOf(data::kingJamesConfig()));
    startProgram();
    choose(QStringLiteral("mnuDictionariesKJV"));
    EXPECT_EQ(loadedDictionaries(), QStringList{"Form1"});
    EXPECT_FALSE(QFileInfo::exists(path(data::eastonsConfig())));
    EXPECT_FALSE(QFileInfo::exists(path(data::hitchcockConfig())));
    EXPECT_EQ(eastons().db, nullptr);
    EXPECT_EQ(hitchcock().db, nullptr);
    EXPECT_TRUE(fakes.messages->calls.empty());
}

TEST_F(MainWindowTest, ChoosingTheOpenDictionaryAgainKeepsItAsItIs) {
    writeAllDictionaries();
    startProgram();
    choose(QStringLiteral("mnuDictionariesEastons"));
    QPointer<QWidget> sub = forms->frmEastons().widget();
    const auto db = eastons().db;
    auto* search = eastons().controls().txtSearch;
    search->setFocus();
    search->selectAll();
    QTest::keyClicks(search, QStringLiteral("ab"));
    ASSERT_EQ(listed(eastons()), QStringList{"Abana"});
    sub->move(40, 30);

    choose(QStringLiteral("mnuDictionariesEastons"));
    EXPECT_EQ(forms->frmEastons().widget(), sub.data()) << "the window was loaded again";
    EXPECT_EQ(eastons().db, db) << "the database was opened again";
    EXPECT_EQ(search->text(), QStringLiteral("ab"));
    EXPECT_EQ(listed(eastons()), QStringList{"Abana"});
    EXPECT_EQ(sub->pos(), QPoint(0, 0));
    EXPECT_EQ(mainWindow()->windowTitle(), QStringLiteral("Tolvane - Easton's Bible Dictionary"));
}

TEST_F(MainWindowTest, ReopeningAClosedDictionaryLoadsItAfresh) {
    writeAllDictionaries();
    startProgram();
    choose(QStringLiteral("mnuDictionariesKJV"));
    QPointer<QWidget> first = forms->Form1().widget();
    const auto firstDb = kjv().db;
    QTest::keyClicks(kjv().controls().txtSearch, QStringLiteral("b"));
    ASSERT_EQ(listed(kjv()), QStringList{"BEWRAY"});

    choose(QStringLiteral("mnuDictionariesEastons"));
    EXPECT_FALSE(forms->Form1().isLoaded());
    EXPECT_EQ(kjv().controls().form, nullptr);
    EXPECT_NE(kjv().db, nullptr) << "the instance keeps its variables after unloading";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "the unloaded window's controls were not destroyed";

    choose(QStringLiteral("mnuDictionariesKJV"));
    ASSERT_TRUE(forms->Form1().isLoaded());
    EXPECT_NE(kjv().db, firstDb) << "loading opens the database afresh";
    EXPECT_EQ(kjv().controls().txtSearch->text(), QStringLiteral("Enter word here..."));
    EXPECT_EQ(listed(kjv()).size(), headwordsOf(data::kingJamesConfig()).size());
}

TEST_F(MainWindowTest, OpenedWindowIsActivatedWithThePromptSelectedInTheSearchBox) {
    writeAllDictionaries();
    startProgram();
    choose(QStringLiteral("mnuDictioanariesHitchcock"));
    auto* search = hitchcock().controls().txtSearch;
    EXPECT_TRUE(search->hasFocus());
    EXPECT_EQ(search->selectedText(), QStringLiteral("Enter word here..."));
    EXPECT_EQ(mainWindow()->workspace()->activeSubWindow(), forms->frmHitchcock().widget());
}

TEST_F(MainWindowTest, ComingBackToTheMainWindowActivatesTheDictionaryWindowAgain) {
    writeAllDictionaries();
    startProgram();
    choose(QStringLiteral("mnuDictionariesEastons"));
    auto* search = eastons().controls().txtSearch;
    QTest::keyClicks(search, QStringLiteral("ab"));
    search->setCursorPosition(1);
    auto* list = eastons().controls().lstdata;
    list->setFocus();

    choose(QStringLiteral("mnuAbout"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(aboutDialog()));
    aboutDialog()->close();
    mainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow()));
    // Form_Activate ran: the search box has the focus and the selection runs from the caret.
    EXPECT_TRUE(search->hasFocus());
    EXPECT_EQ(search->selectedText(), QStringLiteral("b"));

    // A message box is no window of the program's own: coming back from it activates nothing.
    search->setCursorPosition(1);
    list->setFocus();
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Error"), QStringLiteral("Note"));
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    box.close();
    mainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow()));
    EXPECT_TRUE(list->hasFocus());
    EXPECT_FALSE(search->hasSelectedText());
}

TEST_F(MainWindowTest, TabCyclesThroughTheVisibleControlsOfAnOpenDictionary) {
    writeAllDictionaries();
    startProgram();
    auto tabFromSearchBox = [](int presses) {
        QStringList visited;
        for (int i = 0; i < presses; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        return visited;
    };
    choose(QStringLiteral("mnuDictionariesEastons"));
    ASSERT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("txtSearch"));
    EXPECT_EQ(tabFromSearchBox(5),
              (QStringList{"txtForename", "txtSurname", "lstdata", "Command1", "txtSearch"}));
    choose(QStringLiteral("mnuDictionariesKJV"));
    ASSERT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("txtSearch"));
    EXPECT_EQ(tabFromSearchBox(6), (QStringList{"rtb1", "Command1", "lstdata", "txtSurname",
                                                "txtForename", "txtSearch"}));
}

TEST_F(MainWindowTest, DictionaryWindowCannotBeClosedMovedOrResizedFromTheKeyboard) {
    writeAllDictionaries();
    startProgram();
    choose(QStringLiteral("mnuDictionariesKJV"));
    QWidget* sub = forms->Form1().widget();
    const QRect geometry = sub->geometry();
    for (const QKeySequence& keys :
         {QKeySequence(QKeySequence::Close), QKeySequence("Ctrl+F4"), QKeySequence("Ctrl+F7"),
          QKeySequence("Ctrl+F8"), QKeySequence("Alt+-")}) {
        SCOPED_TRACE(keys.toString().toStdString());
        QTest::keySequence(QApplication::focusWidget(), keys);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        ASSERT_TRUE(forms->Form1().isLoaded());
        EXPECT_EQ(sub->geometry(), geometry);
    }
    EXPECT_EQ(static_cast<QMdiSubWindow*>(sub)->systemMenu(), nullptr);
}

TEST_F(MainWindowTest, MissingDictionaryFileIsReportedOnceAndTheProgramGoesOn) {
    test::writeDictionary(dir.path(), data::eastonsConfig(), headwordsOf(data::eastonsConfig()));
    startProgram();
    choose(QStringLiteral("mnuDictionariesKJV"));

    ASSERT_EQ(fakes.messages->calls.size(), 1u);
    EXPECT_EQ(fakes.messages->calls[0].style, platform::Critical);
    EXPECT_TRUE(fakes.messages->calls[0].text.contains(path(data::kingJamesConfig())))
        << fakes.messages->calls[0].text.toStdString();
    // The caption was set before the window failed to load; the window is not open.
    EXPECT_EQ(mainWindow()->windowTitle(),
              QStringLiteral("Tolvane - King James Dictionary of Archaic Words"));
    EXPECT_FALSE(forms->Form1().isLoaded());
    EXPECT_EQ(kjv().controls().form, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(mainWindow()->workspace()->subWindowList().isEmpty());

    // The program goes on: another dictionary opens normally.
    choose(QStringLiteral("mnuDictionariesEastons"));
    EXPECT_EQ(loadedDictionaries(), QStringList{"frmEastons"});
    EXPECT_EQ(fakes.messages->calls.size(), 1u);
}

TEST_F(MainWindowTest, FailedLoadDoesNotCloseTheDictionaryThatWasOpen) {
    test::writeDictionary(dir.path(), data::eastonsConfig(), headwordsOf(data::eastonsConfig()));
    startProgram();
    choose(QStringLiteral("mnuDictionariesEastons"));
    choose(QStringLiteral("mnuDictioanariesHitchcock"));
    // The failing Show stops the command before it closes anything.
    EXPECT_EQ(fakes.messages->calls.size(), 1u);
    EXPECT_EQ(loadedDictionaries(), QStringList{"frmEastons"});
}

TEST_F(MainWindowTest, WebsiteCommandHandsTheMakersPageToThePlatformAndReportsNoFailure) {
    startProgram();
    choose(QStringLiteral("mnuWebsiteMore"));
    fakes.starter->fail = true;
    choose(QStringLiteral("mnuWebsiteMore"));
    fakes.starter->fail = false;
    fakes.starter->throws = true;
    choose(QStringLiteral("mnuWebsiteMore"));
    ASSERT_EQ(fakes.starter->started.size(), 3u);
    for (const QUrl& url : fakes.starter->started)
        EXPECT_EQ(url, platform::makerWebPage());
    EXPECT_TRUE(fakes.messages->calls.empty());
    EXPECT_EQ(mainWindow()->windowTitle(), QStringLiteral("Tolvane"));
}

TEST_F(MainWindowTest, ClosingTheMainWindowClosesTheDictionaryWindowFirst) {
    writeAllDictionaries();
    startProgram();
    choose(QStringLiteral("mnuDictionariesKJV"));
    QPointer<shell::MainWindow> main = mainWindow();
    EXPECT_TRUE(main->close());
    EXPECT_FALSE(forms->Form1().isLoaded());
    EXPECT_FALSE(forms->frmMain().isLoaded());
    EXPECT_EQ(kjv().controls().form, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(main.isNull());
}

} // namespace
