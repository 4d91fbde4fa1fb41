// What a new user meets in the shell: the menus from the keyboard, window titles as
// written, a reading area that fills a larger main window, and names for screen readers.

#include "ShellFixture.h"

#include "dictwindow/DictionaryWindow.h"
#include "dictwindow/SearchBox.h"
#include "dictwindow/WordList.h"
#include "platform/Twips.h"
#include "shell/AboutDialog.h"
#include "shell/ApplicationSetup.h"
#include "shell/MainWindow.h"
#include "shell/MenuKeys.h"
#include "shell/Workspace.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QStyle>
#include <QTest>

using namespace tolvane;
using platform::twipsRect;

namespace {

class NewUserTest : public test::ShellFixture {
protected:
    void SetUp() override {
        writeAllDictionaries();
        startProgram();
        mainWindow()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow()));
    }
    QMenuBar* bar() { return mainWindow()->menuBar(); }
    // Keys go where the platform would send them: an open menu, else the focus widget.
    void key(Qt::Key k, Qt::KeyboardModifiers mods = {}) {
        QWidget* target = QApplication::activePopupWidget();
        if (!target)
            target = QApplication::focusWidget() ? QApplication::focusWidget() : mainWindow();
        QTest::keyClick(target, k, mods);
    }
    // Alt pressed and released with no other key between.
    void loneAlt() {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : mainWindow();
        QTest::keyPress(target, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(target, Qt::Key_Alt, Qt::NoModifier);
    }
};

TEST_F(NewUserTest, F10MarksTheMenusAndTheArrowsAndEnterChooseADictionary) {
    key(Qt::Key_F10);
    ASSERT_NE(bar()->activeAction(), nullptr);
    EXPECT_EQ(bar()->activeAction()->objectName(), QStringLiteral("mnuDictionaries"));
    key(Qt::Key_Down); // opens the menu on its first item, KJV
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }));
    for (int i = 0; i < 2; ++i) // Hitchcock, Easton's
        key(Qt::Key_Down);
    key(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([this] { return forms->frmEastons().isLoaded(); }));
    EXPECT_EQ(mainWindow()->windowTitle(), QStringLiteral("Tolvane - Easton's Bible Dictionary"));
}

TEST_F(NewUserTest, TheMenuTheKeysActOnIsDrawnMarked) {
    QAction* first = bar()->actions().first();
    const QRect item = bar()->actionGeometry(first);
    const QImage before = bar()->grab(item).toImage();
    key(Qt::Key_F10);
    ASSERT_EQ(bar()->activeAction(), first);
    EXPECT_NE(bar()->grab(item).toImage(), before);
}

TEST_F(NewUserTest, F10ThenRightAndEnterOpensAboutAndEscapeGivesTheFocusBack) {
    action(QStringLiteral("mnuDictionariesKJV"))->trigger();
    QWidget* search = forms->dictionaryWindow(data::kingJamesConfig()).controls().txtSearch;
    search->setFocus();
    key(Qt::Key_F10);
    key(Qt::Key_Escape);
    EXPECT_EQ(bar()->activeAction(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), search);

    key(Qt::Key_F10);
    key(Qt::Key_Down); // the open menu passes Right on to the bar
    key(Qt::Key_Right);
    ASSERT_NE(bar()->activeAction(), nullptr);
    EXPECT_EQ(bar()->activeAction()->objectName(), QStringLiteral("mnuAbout"));
    key(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([this] { return forms->Dialog().isLoaded(); }));
}

TEST_F(NewUserTest, ALoneAltMovesIntoTheMenuBarWhereArrowsAndEnterWork) {
    action(QStringLiteral("mnuDictionariesKJV"))->trigger();
    ASSERT_TRUE(forms->Form1().isLoaded());
    loneAlt();
    ASSERT_NE(bar()->activeAction(), nullptr);
    EXPECT_EQ(bar()->activeAction()->objectName(), QStringLiteral("mnuDictionaries"));
    key(Qt::Key_Right); // About, a command on the bar itself
    EXPECT_EQ(bar()->activeAction()->objectName(), QStringLiteral("mnuAbout"));
    key(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([this] { return forms->Dialog().isLoaded(); }));
}

TEST_F(NewUserTest, AltWithALetterInADictionaryWindowTypesNothing) {
    action(QStringLiteral("mnuDictionariesEastons"))->trigger();
    auto* box = forms->dictionaryWindow(data::eastonsConfig()).controls().txtSearch;
    const QString before = box->text();
    QTest::keyClick(box, Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(box->text(), before);
    EXPECT_TRUE(fakes.messages->calls.empty());
}

// Access keys are underlined only while Alt is held or the keyboard is in the menus, so the
// bar looks exactly as written otherwise; Alt+D opens Dictionaries, a letter chooses an item.
TEST_F(NewUserTest, AccessKeysAreDrawnWhileAltIsHeldAndOpenMenusAndChooseItems) {
    const auto underlined = [](QWidget* w) {
        return w->style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, w) != 0;
    };
    const QImage plain = bar()->grab().toImage();
    EXPECT_FALSE(underlined(bar()));
    QTest::keyPress(mainWindow(), Qt::Key_Alt, Qt::AltModifier);
    EXPECT_TRUE(underlined(bar()));
    EXPECT_NE(bar()->grab().toImage(), plain);
    QTest::keyRelease(mainWindow(), Qt::Key_Alt, Qt::NoModifier); // into the bar: still shown
    EXPECT_TRUE(underlined(bar()));
    key(Qt::Key_Escape);
    EXPECT_FALSE(underlined(bar()));
    EXPECT_EQ(bar()->grab().toImage(), plain);

    key(Qt::Key_D, Qt::AltModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), QStringLiteral("mnuDictionaries"));
    EXPECT_TRUE(underlined(menu)); // the keyboard is in the menu
    key(Qt::Key_E);
    ASSERT_TRUE(QTest::qWaitFor([this] { return forms->frmEastons().isLoaded(); }));

    // A menu opened with the mouse shows no underlines.
    choose(QStringLiteral("mnuViewZoomIn"));
    QMenu* view = mainWindow()->findChild<QMenu*>(QStringLiteral("mnuView"));
    QTest::mouseClick(bar(), Qt::LeftButton, {},
                      bar()->actionGeometry(view->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([view] { return view->isVisible(); }));
    EXPECT_FALSE(underlined(view));
    key(Qt::Key_Escape);
}

TEST_F(NewUserTest, WindowTitlesAreShownAsWrittenWithNoApplicationNameAdded) {
    const QString nameBefore = QApplication::applicationName();
    shell::setUpApplication();
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("Tolvane"));
    // The platform appends a display name that was set to every title; one that was not set
    // follows the application name.
    QApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
    QApplication::setApplicationName(nameBefore);
}

// The dictionary window's controls in client-area coordinates, by name.
std::map<QString, QRect> controlsOf(dictwindow::DictionaryWindow& w) {
    std::map<QString, QRect> g;
    for (QWidget* c : w.controls().form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        g[c->objectName()] = c->geometry();
    return g;
}

class ReadingAreaInMainWindowTest
    : public NewUserTest,
      public ::testing::WithParamInterface<const data::DictionaryConfig*> {};

TEST_P(ReadingAreaInMainWindowTest, DefaultSizeIsTheDesignAndALargerWindowGrowsTheReadingArea) {
    const data::DictionaryConfig& config = *GetParam();
    for (QAction* a : mainWindow()->findChildren<QAction*>())
        if (shell::plainCaption(a->text()) == config.menuCaption)
            a->trigger();
    dictwindow::DictionaryWindow& w = forms->dictionaryWindow(config);
    ASSERT_TRUE(w.hasControls());
    auto& c = w.controls();
    const QSize defaultSize = mainWindow()->size();

    // At the default size every control is exactly at its designed place.
    const std::map<QString, QRect> designed{
        {"Command1", twipsRect(3360, 3360, 1215, 255)},
        {"cmdAdd", twipsRect(1800, 2040, 1215, 255)},
        {"cmdDelete", twipsRect(3240, 2040, 1215, 255)},
        {"cmdEdit", twipsRect(1800, 2400, 1215, 255)},
        {"cmdend", twipsRect(3240, 2400, 1215, 255)},
        {"cmdsave", twipsRect(1800, 2760, 1215, 255)},
        {"cmdcancel", twipsRect(3240, 2760, 1215, 255)},
        {"txtSearch", twipsRect(120, 240, 2895, 285)},
        {"txtForename", twipsRect(3360, 240, 3255, 285)},
        {"txtSurname", twipsRect(3360, 840, 3255, config.definitionHeight)},
        {"lstdata", twipsRect(120, 960, 2895, 2595)},
        {"Label2", twipsRect(4560, 600, 735, 255)},
        {"Label1", twipsRect(360, 600, 2415, 255)}};
    auto expected = designed;
    if (config.hasScripture()) {
        expected["rtb1"] = twipsRect(3360, 1920, 3255, 1335);
        expected["Label3"] = twipsRect(4560, 1680, 855, 255);
    }
    EXPECT_EQ(controlsOf(w), expected);
    auto* sub = qobject_cast<QMdiSubWindow*>(forms->dictionaryForm(config).widget());
    EXPECT_EQ(sub->pos(), QPoint(0, 0));

    // Larger: the window fills what the main window gained.
    mainWindow()->resize(defaultSize + QSize(320, 240));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return mainWindow()->size() == defaultSize + QSize(320, 240); }));
    QTest::qWait(20);
    EXPECT_EQ(sub->size(), platform::twipsSize(6735, 3720) + QSize(320, 240));
    EXPECT_EQ(c.lstdata->height(), expected["lstdata"].height() + 240);
    EXPECT_EQ(c.txtSurname->width(), expected["txtSurname"].width() + 320);
    EXPECT_EQ(c.Command1->y(), expected["Command1"].y() + 240);

    // Maximised, it grows further; back at the default size it is the design again.
    mainWindow()->showMaximized();
    QTest::qWait(50);
    if (mainWindow()->size().width() > defaultSize.width() + 320) {
        EXPECT_GT(c.txtSurname->width(), expected["txtSurname"].width() + 320);
    }
    mainWindow()->showNormal();
    mainWindow()->resize(defaultSize);
    ASSERT_TRUE(QTest::qWaitFor([&] { return mainWindow()->size() == defaultSize; }));
    QTest::qWait(20);
    EXPECT_EQ(controlsOf(w), expected);
}

INSTANTIATE_TEST_SUITE_P(ThreeWindows, ReadingAreaInMainWindowTest,
                         ::testing::Values(&data::kingJamesConfig(), &data::eastonsConfig(),
                                           &data::hitchcockConfig()),
                         [](const auto& p) { return p.param->windowName.toStdString(); });

TEST_F(NewUserTest, EveryFocusableControlOfTheAboutDialogAndMainWindowHasAName) {
    action(QStringLiteral("mnuDictionariesKJV"))->trigger();
    action(QStringLiteral("mnuAbout"))->trigger();
    ASSERT_NE(aboutDialog(), nullptr);
    for (QWidget* window :
         {static_cast<QWidget*>(mainWindow()), static_cast<QWidget*>(aboutDialog())}) {
        QSet<QString> names;
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(window))
                continue;
            const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
            EXPECT_FALSE(name.isEmpty()) << w->objectName().toStdString();
            EXPECT_FALSE(names.contains(name)) << name.toStdString();
            names.insert(name);
        }
        EXPECT_FALSE(names.isEmpty());
    }
}

} // namespace
